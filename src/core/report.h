// What the user is told about the run as a whole: where its log is, which unattended step is
// running, the summary at the end, and the block that explains a stop.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/run_report_data.h"

/// The run log's path, named in the summary and the stop messages; "" when there is none.
void report_set_log_path(std::string_view path);
const std::string& report_log_path();
/// At the end of every run: "Log: <path>", unless a summary or a stop block named it already.
void report_log_at_end();

/// The unattended part of the wizard begins; it has `total` steps.
void report_begin_unattended(int total);
/// Step `number` (from 1), tagged `tag`, begins. Its "Step N of M" line follows the step's
/// first boxed header, or stands alone when the step shows none (`shows_header` false).
void report_step_begin(int number, std::string_view tag, std::string_view name, bool shows_header);
/// Step `number` is left out: "Step N of M: <name> (skipped)", counted as skipped.
void report_step_skipped(int number, std::string_view tag, std::string_view name);
/// The running step ends: its outcome is counted and logged, and a long step's duration shown.
void report_step_end();
/// The outcome of every step reached so far, in order (a stopped or interrupted one: error).
const std::vector<StepOutcome>& report_step_outcomes();
/// The name of the running unattended step; "" outside them.
const std::string& report_step_name();
/// Called after every boxed header: writes the pending "Step N of M" line.
void report_after_header();
/// A setting was left out because the machine's GNOME does not take it; the summary counts them.
void report_setting_left_out();
/// Writes the summary of the unattended part (the counts, then the steps already done on one
/// line); the number of steps that reported an error.
int report_summary();

/// Ends the run after `cmd` failed with `code`: "sync; sync;", then, in the unattended part,
/// the block that names the step, the command, the log and how to resume. Status 1.
[[noreturn]] void stop_run(std::string_view cmd, int code);
/// Ends the run because of `reason` (one line, written as an "E: " line): "sync; sync;", then in
/// the unattended part the block that names the step, the log and how to resume. Status 1.
[[noreturn]] void stop_run_for(std::string_view reason);
/// Ends the run in a step whose check failed before it changed anything (the lines saying why
/// are written already): the block that names the step, the log and how to resume. Status 1.
[[noreturn]] void stop_step();
/// Ends the run after `signal_number`: the block saying where it was interrupted, status 128 +
/// the signal.
[[noreturn]] void stop_interrupted(int signal_number);
