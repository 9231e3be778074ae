// Start-up: who runs the program, and whether this system can run it at all. A failing check
// writes its message and ends the run with status 1.
#pragma once

#include <string>
#include <vector>

#include "app/startup_data.h"

struct AppConsole;

/// Refuses a start with an effective user id of 0.
void check_not_root();
/// Finds the user and the home (a failed look-up ends the run with status 1) and makes the
/// cache folder.
void check_user(AppConsole& app);
/// Finds the data folder (the working folder, the program's folder, /usr/share/kelvane) and
/// enters it; none found ends the run with status 1, naming the places looked at.
void enter_data_folder();
/// Opens this run's log, named for `start_time`, in the state folder, keeps the ten newest and
/// writes the log's head. A dry run, which changes nothing in the home, writes
/// "kelvane-dry-run-<start_time>.log" in the temporary folder that holds the workspace. An
/// unusable folder gives one warning line.
void open_run_log(const AppConsole& app, const std::vector<std::string>& args,
                  const std::string& start_time);
/// The folder of the runs' backups: "runs" in the state folder.
std::string runs_dir(const AppConsole& app);
/// The CPU's own answers to CPUID and XGETBV.
CpuidRegisters read_cpuid();
/// After check_user and the log: the required tools, the release, the installed packages and the
/// CPU level.
void run_startup_checks(AppConsole& app);
/// For the runs that change nothing: the release (silently) and the installed packages, read
/// without sudo.
void run_read_only_checks(AppConsole& app);
