// Wizard steps that prepare the package system and install software.
#pragma once

#include <string_view>

#include "wizard/package_steps_data.h"

struct AppConsole;

void enable_extra_repositories(const AppConsole& app);
/// Simulates every archive install of the pass with apt before anything changes; a missing
/// name ends the run with the stop block.
void check_packages(const AppConsole& app);
void install_dependencies(AppConsole& app);
/// The Firefox snap and the default applications.
void remove_apps(AppConsole& app);
void install_apps(AppConsole& app);
void install_deb_get(AppConsole& app);
void install_nala(AppConsole& app);
void install_appimagelauncher(AppConsole& app);
void install_flatpak(AppConsole& app);
void install_snapd(AppConsole& app);
void install_zram_tools(AppConsole& app);
void install_libreoffice(AppConsole& app);
void install_updates(AppConsole& app);
void disable_apt_news();
void install_variety(AppConsole& app);

// Whether each step's work is in place, by the installed-package list as last read: the step
// itself and `status` ask the same question. Read-only; none needs root.
bool extra_repositories_enabled(const AppConsole& app);
bool dependencies_installed(const AppConsole& app);
/// No Firefox snap, no Thunderbird snap where it is one, none of the default applications.
bool default_apps_removed(const AppConsole& app);
bool applications_installed(const AppConsole& app);
bool deb_get_installed(const AppConsole& app);
bool nala_installed(const AppConsole& app);
/// FUSE 2, and the package where it installs (elsewhere the step leaves it out).
bool appimagelauncher_installed(const AppConsole& app);
/// The package and the Flathub remote.
bool flatpak_ready(const AppConsole& app);
bool snapd_installed(const AppConsole& app);
/// The package, no zram-config, and the settings edited.
bool zram_ready(const AppConsole& app);
/// The PPA's source, the suite, and its removed parts gone.
bool libreoffice_installed(const AppConsole& app);
/// apt's simulation of a full upgrade would change nothing (by the package lists as they are).
bool updates_installed();
/// No `pro` command, or it says the news are off.
bool apt_news_off();
/// The package and the link to its favourites.
bool variety_installed(const AppConsole& app);

/// Installs `packages` with apt unless `package_name` is installed, which logs
/// "Already installed" instead.
void install_unless_present(AppConsole& app, std::string_view package_name,
                            std::string_view packages);
/// "Already installed" when `package_name` is there, else downloads the file into a new folder
/// of the workspace and installs it from there
/// (a failed install ends the run). False when the step ends early: already installed, or
/// "Failed to download".
bool install_downloaded_deb(AppConsole& app, std::string_view package_name,
                            const Download& download);
