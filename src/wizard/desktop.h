// Wizard steps for the desktop: terminal and application settings, the drop-down terminal,
// the wallpaper and the default applications.
#pragma once

struct AppConsole;

/// The terminal profile's colours and size.
void update_config_gnome_terminal_pre(AppConsole& app);
/// The terminal profile's font; runs after the theme, which must not reset it.
void update_config_gnome_terminal_post(AppConsole& app);
/// File manager, editor, extensions, the dock's favourites led by the chosen browser,
/// background, Guake (where the installed Guake reads them).
void update_app_configs(AppConsole& app);
/// Guake and its autostart entry.
void install_guake(AppConsole& app);
void install_wallpaper();
void update_mimeapps(const AppConsole& app);
