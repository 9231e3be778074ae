#include "core/run_report_data.h"

#include "lib/files.h"

using namespace Velkor;

namespace {

std::string field(std::string_view name, std::string_view json_value, bool last = false) {
    return "  " + json_quote(name) + ": " + std::string(json_value) + (last ? "\n" : ",\n");
}

std::string boolean(bool value) { return value ? "true" : "false"; }

std::string step_json(const StepOutcome& step) {
    std::string text = "{\"tag\": " + json_quote(step.tag) +
                       ", \"title\": " + json_quote(step.title) +
                       ", \"state\": " + json_quote(step_state_word(step.state));
    if (step.state == StepState::error) text += ", \"error\": " + json_quote(step.error);
    return text + "}";
}

}  // namespace

std::string_view step_state_word(StepState state) {
    switch (state) {
        case StepState::changed:
            return "changed";
        case StepState::already:
            return "already";
        case StepState::skipped:
            return "skipped";
        case StepState::error:
            return "error";
    }
    return "error";
}

std::string run_report_json(const RunReport& report) {
    std::string steps;
    for (const auto& step : report.steps) {
        steps += (steps.empty() ? "\n    " : ",\n    ") + step_json(step);
    }
    return "{\n" + field("version", json_quote(report.version)) +
           field("release", json_quote(report.release)) +
           field("command", json_quote(report.command)) +
           field("exit_status", std::to_string(report.exit_status)) +
           field("changed", boolean(report.changed)) +
           field("restart_needed", boolean(report.restart_needed)) +
           field("log", json_quote(report.log)) +
           field("steps", "[" + steps + (steps.empty() ? "]" : "\n  ]"), true) + "}\n";
}

std::string last_run_text(const LastRun& run) {
    // One value per line: a line feed in a value would start a line of its own.
    const auto one_line = [](const std::string& value) { return string_replace(value, "\n", " "); };
    return "time=" + one_line(run.time) + "\ncommand=" + one_line(run.command) +
           "\nstatus=" + std::to_string(run.exit_status) + "\nlog=" + one_line(run.log) + "\n";
}

std::optional<LastRun> parse_last_run(std::string_view text) {
    LastRun run;
    std::optional<std::string> time, command, status, log;
    for (const auto& line : string_split(text, "\n")) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "time") time = value;
        if (key == "command") command = value;
        if (key == "status") status = value;
        if (key == "log") log = value;
    }
    if (!time || !command || !status || !log || status->empty() ||
        status->find_first_not_of("0123456789") != std::string::npos || status->size() > 3) {
        return std::nullopt;
    }
    return LastRun{*time, *command, std::stoi(*status), *log};
}
