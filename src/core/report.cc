#include "core/report.h"

#include <chrono>
#include <csignal>
#include <vector>

#include "core/backup.h"
#include "core/exit.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

using Clock = std::chrono::steady_clock;

// Steps longer than this show how long they took.
constexpr int long_step_seconds = 5;

struct Progress {
    std::string log_path;
    bool log_named = false;
    bool unattended = false;
    int total = 0;
    int number = 0;
    std::string name;
    std::string tag;
    /// Between report_step_begin and the step's end or stop.
    bool step_running = false;
    std::string pending_line;
    Clock::time_point part_start;
    Clock::time_point step_start;
    int errors_at_start = 0;
    int changes_at_start = 0;
    int settings_left_out = 0;
    /// What each step reached so far came to: the summary's counts and names come from it.
    std::vector<StepOutcome> outcomes;
};

Progress progress;

std::string duration_text(Clock::duration elapsed) {
    const long seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    if (seconds < 60) return std::to_string(seconds) + " s";
    return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
}

// "Step N of M", the progress line's start.
std::string step_counter() {
    return "Step " + std::to_string(progress.number) + " of " + std::to_string(progress.total);
}

// The titles of the steps whose outcome is `state`, in order.
std::vector<std::string> steps_in(StepState state) {
    std::vector<std::string> titles;
    for (const auto& outcome : progress.outcomes) {
        if (outcome.state == state) titles.push_back(outcome.title);
    }
    return titles;
}

std::string step_text() {
    return "step " + std::to_string(progress.number) + " of " + std::to_string(progress.total) +
           ": " + progress.name;
}

void log_line() {
    if (!report_log_path().empty()) log_msg("Log: " + report_log_path());
    progress.log_named = true;
}

// The end of every stop block: the step's work is cut short, the log, and how to go on.
void how_to_resume() {
    log_msg("Nothing after this step ran.");
    log_line();
    log_msg("Run kelvane again: the steps already done are skipped.");
}

// How the log names a step's outcome.
std::string outcome_text(const StepOutcome& outcome) {
    switch (outcome.state) {
        case StepState::changed:
            return "did its work";
        case StepState::already:
            return "already done";
        case StepState::skipped:
            return "skipped";
        case StepState::error:
            return "error: " + outcome.error;
    }
    return "";
}

// A step that a stop or a signal cuts short ends in an error: its first error line, or else the
// stop's own reason.
void end_stopped_step(const std::string& reason) {
    if (!progress.unattended || !progress.step_running) return;
    progress.step_running = false;
    const std::string& first_error = log_first_error_since_mark();
    StepOutcome outcome{progress.tag, progress.name, StepState::error,
                        first_error.empty() ? reason : first_error};
    log_file_write("--- " + step_text() + ": " + outcome_text(outcome) + "\n");
    progress.outcomes.push_back(std::move(outcome));
}

std::string signal_name(int signal_number) {
    switch (signal_number) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        case SIGQUIT:
            return "SIGQUIT";
        default:
            return "signal " + std::to_string(signal_number);
    }
}

}  // namespace

void report_set_log_path(std::string_view path) { progress.log_path = path; }

const std::string& report_log_path() { return progress.log_path; }

void report_log_at_end() {
    if (!progress.log_named) log_line();
}

void report_begin_unattended(int total) {
    progress.unattended = true;
    progress.total = total;
    progress.part_start = Clock::now();
}

void report_step_begin(int number, std::string_view tag, std::string_view name, bool shows_header) {
    progress.number = number;
    progress.name = name;
    progress.tag = tag;
    progress.step_running = true;
    progress.step_start = Clock::now();
    progress.errors_at_start = log_error_count();
    log_error_mark();
    progress.changes_at_start = changing_commands_count();
    const std::string line = step_counter();
    log_file_write("--- " + step_text() + ", started at " + timestamp() + "\n");
    if (shows_header) {
        progress.pending_line = line;
    } else {
        log_msg(line + ": " + progress.name);
    }
}

const std::string& report_step_name() { return progress.name; }

void report_after_header() {
    if (progress.pending_line.empty()) return;
    log_msg(progress.pending_line);
    progress.pending_line.clear();
}

void report_step_skipped(int number, std::string_view tag, std::string_view name) {
    progress.number = number;
    progress.name = name;
    log_msg(step_counter() + ": " + progress.name + " (skipped)");
    log_file_write("--- " + step_text() + ": skipped\n");
    progress.outcomes.push_back({std::string(tag), std::string(name), StepState::skipped});
}

void report_step_end() {
    progress.pending_line.clear();
    progress.step_running = false;
    const auto elapsed = Clock::now() - progress.step_start;
    StepOutcome outcome{progress.tag, progress.name, StepState::already};
    if (log_error_count() > progress.errors_at_start) {
        outcome.state = StepState::error;
        outcome.error = log_first_error_since_mark();
    } else if (changing_commands_count() > progress.changes_at_start) {
        outcome.state = StepState::changed;
    }
    if (elapsed >= std::chrono::seconds(long_step_seconds)) {
        log_msg("Step " + std::to_string(progress.number) + " took " + duration_text(elapsed));
    }
    log_file_write("--- " + step_text() + ", took " + duration_text(elapsed) + ": " +
                   outcome_text(outcome) + "\n");
    progress.outcomes.push_back(std::move(outcome));
}

void report_setting_left_out() { ++progress.settings_left_out; }

const std::vector<StepOutcome>& report_step_outcomes() { return progress.outcomes; }

int report_summary() {
    log_msg("");
    const auto already_done = steps_in(StepState::already);
    const auto failed = steps_in(StepState::error);
    const auto worked = static_cast<int>(steps_in(StepState::changed).size());
    const auto skipped_count = steps_in(StepState::skipped).size();
    const std::string errors = std::to_string(failed.size()) + " reported an error";
    const std::string skipped =
        skipped_count > 0 ? std::to_string(skipped_count) + " skipped, " : "";
    const auto done = static_cast<int>(already_done.size());
    if (dry_run()) {
        log_msg("Dry run: " + std::to_string(progress.total) + " steps, " + std::to_string(done) +
                " already done, " + skipped + std::to_string(worked) + " would change the system" +
                (failed.empty() ? "" : ", " + errors) + ".");
    } else {
        log_msg("Summary: " + std::to_string(worked) +
                (worked == 1 ? " step did its work, " : " steps did their work, ") +
                std::to_string(done) + (done == 1 ? " was" : " were") + " already done, " +
                skipped + errors + ".");
    }
    if (done > 0) log_msg("Already done: " + string_join(already_done, ", "));
    for (const auto& name : failed) log_msg("Step with an error: " + name);
    if (progress.settings_left_out > 0) {
        log_msg("Settings left out: " + std::to_string(progress.settings_left_out) +
                ", which this GNOME does not take (see the W: lines).");
    }
    log_msg("Total time: " + duration_text(Clock::now() - progress.part_start));
    log_line();
    return static_cast<int>(failed.size());
}

namespace {

// The common end of the stops: `cause` is the block's line that says what went wrong, if any;
// `flush` after a change, so that it is on disk when the user acts on the block.
[[noreturn]] void stop_with(const std::string& cause, bool flush) {
    end_stopped_step(cause.empty() ? "stopped" : cause);
    // The record of what the run changed is completed before the last flush to disk.
    backup_end_of_stopped_run();
    if (flush) run(sync_command);
    if (progress.unattended) {
        log_msg("");
        log_msg("Stopped at " + step_text());
        if (!cause.empty()) log_msg(cause);
        how_to_resume();
    }
    exit_process(1);
}

}  // namespace

void stop_run(std::string_view cmd, int code) {
    stop_with("The command " + command_status_text(cmd, code) + ".", true);
}

void stop_run_for(std::string_view reason) {
    log_error(reason);
    stop_with("", true);
}

void stop_step() { stop_with("", false); }

void stop_interrupted(int signal_number) {
    end_stopped_step("interrupted by " + signal_name(signal_number));
    log_msg("");
    if (progress.unattended) {
        log_msg("Interrupted by " + signal_name(signal_number) + " at " + step_text());
        how_to_resume();
    } else {
        log_msg("Interrupted by " + signal_name(signal_number) + ".");
        log_line();
    }
    // Nothing more may run after a signal, not even the backup's closing queries: what it
    // recorded so far stays, and undo treats the files' last state as unknown.
    backup_stop();
    exit_process(128 + signal_number);
}
