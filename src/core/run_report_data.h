// What a run reports about itself when it ends: the outcome of each wizard step, the JSON
// report, and the record of the last run that `status` shows (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// How an unattended step of the wizard ended.
enum class StepState { changed, already, skipped, error };

struct StepOutcome {
    std::string tag;
    std::string title;
    StepState state = StepState::already;
    /// The step's first error line, without "E: "; only for `error`.
    std::string error = {};
};

/// The report of a run, written with --report.
struct RunReport {
    std::string version;
    /// VERSION_ID; "" when the run ended before the release was known.
    std::string release;
    /// The verb, or "wizard" for a run without one (the wizard or the main menu).
    std::string command;
    int exit_status = 0;
    /// Something was changed (in a dry run: would have been).
    bool changed = false;
    /// The run made changes that want a restart, and the machine was not restarted.
    bool restart_needed = false;
    std::string log;
    /// The unattended steps that were reached, in order; empty for a run without them.
    std::vector<StepOutcome> steps;
};

/// "changed", "already", "skipped" or "error".
std::string_view step_state_word(StepState state);
/// The report as one JSON object, a line per field and per step, ending with a line feed.
std::string run_report_json(const RunReport& report);

/// The last run that wrote a log, as `status` shows it.
struct LastRun {
    /// Local time of its end, "YYYY-MM-DD HH:MM:SS".
    std::string time;
    std::string command;
    int exit_status = 0;
    std::string log;
};
/// The text of the file that keeps the last run: "key=value" lines.
std::string last_run_text(const LastRun& run);
/// Reads that text back; nullopt when a field is missing or the status is not a number.
std::optional<LastRun> parse_last_run(std::string_view text);
