// Wizard steps for the desktop: terminal and application settings, the drop-down terminal,
// the wallpaper and the default applications.
#pragma once

#include <string>
#include <vector>

#include "core/settings_data.h"

struct AppConsole;

/// The terminal profile's colours and size.
void update_config_gnome_terminal_pre(AppConsole& app);
/// The terminal profile's font; runs after the theme, which must not reset it.
void update_config_gnome_terminal_post(AppConsole& app);
/// File manager, editor, extensions, the dock's favourites led by the chosen browser,
/// background, Guake (where the installed Guake reads them).
void update_app_configs(AppConsole& app);
/// The settings payloads of update_app_configs, in load order.
std::vector<SettingsPayload> app_config_payloads(const AppConsole& app);
/// Guake and its autostart entry.
void install_guake(AppConsole& app);
void install_wallpaper();
void update_mimeapps(const AppConsole& app);

// Whether each step's work is in place (read-only; the step itself and `status` ask it).
bool terminal_colours_set(const AppConsole& app);
bool terminal_font_set(const AppConsole& app);
/// Every settings payload of update_app_configs in place.
bool app_configs_set(const AppConsole& app);
/// The package and its autostart entry.
bool guake_installed(const AppConsole& app);
bool wallpaper_installed();
/// The user's default-applications list is the system's with the wizard's swaps.
bool default_applications_set(const AppConsole& app);
