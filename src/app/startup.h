// Start-up: who runs the program, and whether this system can run it at all. A failing check
// writes its message and ends the run with status 1.
#pragma once

struct AppConsole;

/// Refuses a start with an effective user id of 0.
void check_not_root();
/// The user, the required tools, the release, the installed packages and the CPU level.
void run_startup_checks(AppConsole& app);
