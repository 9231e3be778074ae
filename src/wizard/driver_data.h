// Texts of the wizard's start (pure).
#pragma once

#include <string>
#include <string_view>

/// "Kelvane ~ " and the project's web site name.
std::string welcome_title();
/// The welcome box's text; it says whether the machine restarts at the end.
std::string welcome_text(bool reboot);
inline constexpr std::string_view reboot_command = "sudo shutdown -r now";
