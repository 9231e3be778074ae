// Settings payloads and files of the desktop steps (pure). A payload is a keyfile text for
// "dconf load -f /", beginning with a line feed; it overwrites only the keys it names. What a
// later step of the same pass sets (the theme's colours and schemes, the terminal's font) is
// left to that step: a value replaced at once made every later pass load both again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings_data.h"
#include "wizard/package_steps_data.h"

/// The terminal profile's colours and size, loaded before the software steps.
extern const std::string_view terminal_colors_payload;
/// The terminal profile's font, loaded after the theme so that nothing resets it.
extern const std::string_view terminal_font_payload;
extern const std::string_view nautilus_payload;
/// The editor's colour scheme comes with the theme.
extern const std::string_view gedit_payload;
/// The background points at the wallpaper the wizard installs.
extern const std::string_view desktop_payload;
/// The drop-down terminal's settings in `guake_folder` ("/org/guake/"), and the F1/F12 keys
/// that toggle it.
SettingsPayload guake_payload(std::string_view guake_folder);
/// The autostart entry of the drop-down terminal; begins with an empty line.
extern const std::string_view guake_autostart_entry;

/// The dock's favourite applications, led by the desktop file of `web_browser` (a tag of the
/// browser menu; none for another tag). The wizard loads it, the main menu does not.
std::string favorites_payload(std::string_view web_browser);

extern const FileCopy wallpaper;
/// The system's default-applications list that the user's list starts from.
inline constexpr std::string_view system_defaults_list_path =
    "/usr/share/applications/defaults.list";
/// The system default-applications list copied over `mimeapps_path`, then three renames and
/// one more per name of `extra_video_players` (desktop file names, blank-separated), which VLC
/// replaces as it replaces Totem.
std::vector<std::string> mimeapps_commands(std::string_view mimeapps_path,
                                           std::string_view extra_video_players);
/// The user's list as those commands make it from the system's list `defaults_list`.
std::string mimeapps_text(std::string_view defaults_list, std::string_view extra_video_players);
