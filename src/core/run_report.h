// The run's account of itself at its end, whatever the ending (done, stopped, failed or
// interrupted): the JSON report asked for with --report, and the record of the last run that
// `status` shows.
#pragma once

#include <string>
#include <string_view>

/// Starts the account of a run of `command` (the verb, or "wizard"); the report goes to the
/// absolute path `report_path` ("" for none).
void run_report_begin(std::string_view command, std::string_view report_path);
/// The run is recorded as the last one, in `state_dir`, at its end.
void run_report_record_in(std::string_view state_dir);
/// The release the run works on (VERSION_ID).
void run_report_set_release(std::string_view version);
/// The run's changes want a restart (a wizard pass, a kernel).
void run_report_restart_wanted();
/// Whether the machine is being restarted (then no restart is needed any more).
void run_report_restarting(bool restarting);
/// Writes the report and the last-run record for a run ending with `exit_status`. Failures are
/// "W: " lines.
void run_report_end(int exit_status);

/// "" when a report can be written to `path` (its folder exists and takes a new file), else why
/// not. Creates and removes a scratch file beside it.
std::string report_path_problem(std::string_view path);
/// The file in `state_dir` that keeps the last run.
std::string last_run_path(std::string_view state_dir);
