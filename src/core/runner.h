// The run's policies around the one command runner of the library: step headers, commands
// whose failure ends the run, and package commands that are flushed to disk.
#pragma once

#include <string_view>

inline constexpr std::string_view sync_command = "sync; sync;";

/// A step's boxed header, after an empty line (and the step's progress line, if pending).
void log_header(std::string_view message);
/// Runs `cmd` on the terminal; its exit code.
int run(std::string_view cmd);
/// Runs a package-changing command once no other package manager holds the locks (see
/// wait_for_package_lock): a failure ends the run (stop_run), success is flushed to
/// disk with "sync; sync;".
void run_package_command(std::string_view cmd);
