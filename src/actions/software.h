// The extra-software action: a checklist of optional groups, installed in one call per source.
#pragma once

#include <string_view>

struct AppConsole;

/// Shows the checklist and installs what was ticked.
void get_choice_advanced(AppConsole& app);
/// Installs the groups of `selected_install` (checklist tags separated by blanks), the archive
/// packages under the release's names once apt's simulation accepts them. Nothing is
/// installed when it finds a package missing from the release (its "E: " lines say which).
void install_extra_apps(AppConsole& app, std::string_view selected_install);
