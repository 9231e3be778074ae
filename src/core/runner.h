// The run's policies around the one command runner of the library: step headers, commands
// whose failure ends the run, and package commands that are flushed to disk.
#pragma once

#include <string>
#include <string_view>

#include "lib/commands.h"

inline constexpr std::string_view sync_command = "sync; sync;";

/// A step's boxed header, after an empty line (and the step's progress line, if pending).
void log_header(std::string_view message);
/// Runs `cmd` on the terminal; its exit code.
int run(std::string_view cmd);
/// Runs `cmd`, which only renews what the system rebuilds at will (package lists, a flush to
/// disk): not counted as a change of the run. Its exit code.
int run_refresh(std::string_view cmd);
/// "\"<cmd>\" ended with status <code>", for the line that reports a failed command.
std::string command_status_text(std::string_view cmd, int code);
/// Runs `cmd` on the terminal; when it fails, writes "E: <failure> (<command_status_text>)"
/// and the run goes on. True when it succeeded.
bool run_or_report(std::string_view cmd, std::string_view failure,
                   Velkor::Effect effect = Velkor::Effect::changes);
/// Runs a package-changing command once no other package manager holds the locks (see
/// wait_for_package_lock): a failure ends the run (stop_run), success is flushed to
/// disk with "sync; sync;".
void run_package_command(std::string_view cmd);
