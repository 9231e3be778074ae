// Writing the user's settings database through the dconf service itself (ca.desrt.dconf on the
// session bus), where one change may cover any number of keys.
#pragma once

#include <string>
#include <vector>

namespace Velkor {

/// Resets the settings `keys` (absolute key paths) in one change of the user's database: one
/// "Change" call of the dconf service's writer, however many keys. The run log gets it as a
/// command with its result. True when the service made the change; otherwise false with the
/// reason in `error`. Nothing happens for an empty list.
bool dconf_reset_keys(const std::vector<std::string>& keys, std::string& error);

}  // namespace Velkor
