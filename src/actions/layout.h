// The desktop layout action: the GNOME Shell extensions, their settings and the panel layout.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/dialogs.h"

struct AppConsole;

/// Asks for the layout and stores it; from the menu also installs the extensions, loads
/// their settings and applies it. `back` when chosen.
MenuResult get_choice_layout(AppConsole& app, AskedFrom from);
/// What the layout action does once the layout is chosen: the extensions, their settings
/// without the dock's favourites, then the layout (also "reset").
void change_layout(AppConsole& app);
/// Copies this release's extensions into the home and installs the extension installer.
void install_gnome_extensions(const AppConsole& app);
/// The release's extensions are in the home, and the extension installer is installed.
bool extensions_installed(const AppConsole& app);
/// The settings of `layout_name` are in place as its payloads leave them ("reset": never).
bool layout_applied(const AppConsole& app, std::string_view layout_name);
/// Loads the extensions' settings.
void update_config_gnome_extensions(AppConsole& app);
/// Loads the settings of `layout_name`, enabling no extension the release has no build of;
/// "reset" clears the desktop settings and logs out.
void apply_layout(AppConsole& app, std::string_view layout_name);
