// Texts of the wizard's start (pure).
#pragma once

#include <string>
#include <string_view>

/// "Kelvane ~ " and the project's web site name.
std::string welcome_title();
/// The welcome box; it announces the reboot even when the run will not reboot.
extern const std::string_view welcome_text;
inline constexpr std::string_view reboot_command = "sudo shutdown -r now";
