// Texts of the wizard's start (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>

/// "Kelvane ~ " and the project's web site name.
std::string welcome_title();
/// How a wizard run ends, which its welcome box announces.
enum class WizardEnding { restart, no_restart, dry_run };
/// The welcome box's text; it says how the run ends.
std::string welcome_text(WizardEnding ending);
inline constexpr std::string_view reboot_command = "sudo shutdown -r now";

/// The hidden knob that sets the countdown before the restart, in seconds (tests set 0).
inline constexpr std::string_view restart_countdown_variable = "KELVANE_RESTART_COUNTDOWN";
/// The countdown's length: the knob's value when it is a number from 0 to 600, else 10.
int restart_countdown_seconds(const std::optional<std::string>& knob);
/// "Restarting in <seconds> s; Ctrl-C keeps the machine running"
std::string restart_countdown_line(int seconds);
