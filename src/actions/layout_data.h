// The layout menu, the layout and clock settings, and the commands of the layout action (pure).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/addresses_data.h"
#include "core/settings_data.h"

struct Dialog;
struct ReleaseProfile;

/// Left dock under the top panel; carries its own clock settings.
extern const std::string_view ubuntu_layout_payload;
/// Bottom taskbar.
extern const std::string_view windows_layout_payload;
/// Left taskbar.
extern const std::string_view minimal_layout_payload;
/// Loaded after the taskbar layouts: seconds and weekday hidden.
extern const std::string_view clock_payload;

/// Address of the extension-installer script that install_gnome_extensions puts into /usr/bin.
inline constexpr std::string_view extension_installer_url = extension_installer_address.url;
inline constexpr std::string_view extension_installer_path =
    "/usr/bin/gnome-shell-extension-installer";
inline constexpr std::string_view layout_reset_command = "dconf reset -f /org/gnome/";
inline constexpr std::string_view session_logout_command = "gnome-session-quit --no-prompt";
/// Said after the layout action: on Wayland a newly copied extension is not loaded before then.
inline constexpr std::string_view extensions_next_login_note =
    "On Wayland, new extensions load at the next login: log out and back in to see them all.";

/// The "Desktop Layout" menu. `standalone` (reached from the main menu) adds 'reset', 'back'
/// and the "Exit" label.
Dialog layout_menu_dialog(bool standalone);
/// The payloads that apply `layout_name` on `release`, in load order, enabling no extension
/// that has no build for the release's shell; empty for "reset" and unknown names.
std::vector<SettingsPayload> layout_payloads(std::string_view layout_name,
                                             const ReleaseProfile& release);
/// "./<extensions_folder>/*": left for the shell to expand, relative to the data folder.
std::string extensions_source(std::string_view extensions_folder);
/// "<home>/.local/share/gnome-shell/extensions/"
std::string extensions_destination(std::string_view user_home);
/// Download to `download_path` (a file in the private workspace), then move, chown and chmod
/// of the extension-installer script, in order.
std::vector<std::string> extension_installer_commands(std::string_view download_path);
