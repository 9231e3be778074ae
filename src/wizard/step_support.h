// What every wizard step file shares: running a command the way the steps do.
#pragma once

#include <string_view>

#include "lib/commands.h"
#include "lib/console.h"

/// Logs `cmd` as a debug line, then runs it through the shell; its exit status.
inline int run_command(std::string_view cmd) {
    Velkor::log_debug(cmd);
    return Velkor::exec_posix(cmd);
}
