// Settings payloads of the wizard: keyfile texts for "dconf load -f /", each beginning with a
// line feed. A payload overwrites only the keys it names.
#pragma once

#include <string_view>

/// The terminal profile's colours and size, loaded before the software steps.
extern const std::string_view terminal_colors_payload;
/// The terminal profile's font, loaded after the theme so that nothing resets it.
extern const std::string_view terminal_font_payload;
extern const std::string_view nautilus_payload;
/// The editor scheme "kate" here holds only until the theme sets its own.
extern const std::string_view gedit_payload;
/// The background points at the wallpaper the wizard installs.
extern const std::string_view desktop_payload;
/// The drop-down terminal and the F1/F12 keys that toggle it.
extern const std::string_view guake_payload;
