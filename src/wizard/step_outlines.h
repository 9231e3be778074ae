// The outlines that several wizard steps share.
#pragma once

#include <string_view>

#include "wizard/wizard_commands.h"

class AppConsole;

/// Installs `packages` with apt unless `package_name` is installed, which logs
/// "Already installed" instead.
void install_unless_present(AppConsole& app, std::string_view package_name,
                            std::string_view packages);
/// "Already installed" when `package_name` is there, else downloads the file and installs it
/// (a failed install ends the process). False when the step ends early: already installed, or
/// "Failed to download".
bool install_downloaded_deb(AppConsole& app, std::string_view package_name,
                            const Download& download);
