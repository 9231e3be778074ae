// The kernel action: offers the kernels the release and the CPU can have and installs one.
#pragma once

#include <string_view>

#include "core/dialogs.h"

struct AppConsole;

/// Asks for a kernel until the CPU can run the choice, then installs it. `back` when chosen,
/// and after a box that says why there is nothing to offer.
MenuResult get_choice_xanmod_kernel(AppConsole& app);
/// Adds the kernel's package source and key once, checks that apt can install `kernel` (a
/// package name) from it, then installs it. What went wrong is an "E: " line.
void install_xanmod(AppConsole& app, std::string_view kernel);
