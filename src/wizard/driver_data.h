// Texts of the wizard's start (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>

/// "Kelvane ~ " and the project's web site name.
std::string welcome_title();
/// The welcome box's text; it says whether the machine restarts at the end.
std::string welcome_text(bool reboot);
inline constexpr std::string_view reboot_command = "sudo shutdown -r now";

/// The hidden knob that sets the countdown before the restart, in seconds (tests set 0).
inline constexpr std::string_view restart_countdown_variable = "KELVANE_RESTART_COUNTDOWN";
/// The countdown's length: the knob's value when it is a number from 0 to 600, else 10.
int restart_countdown_seconds(const std::optional<std::string>& knob);
/// "Restarting in <seconds> s; Ctrl-C keeps the machine running"
std::string restart_countdown_line(int seconds);
