// The kernel action: offers the kernels the CPU can run and installs the chosen one.
#pragma once

#include <string_view>

#include "core/dialogs.h"

struct AppConsole;

/// Asks for a kernel until the CPU can run the choice, then installs it. `back` when chosen.
MenuResult get_choice_xanmod_kernel(AppConsole& app);
/// Adds the kernel's package source and key once, then installs `kernel` (a package name).
void install_xanmod(AppConsole& app, std::string_view kernel);
