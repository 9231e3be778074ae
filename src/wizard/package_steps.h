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
