#include "app/status_data.h"

#include "lib/files.h"

using namespace Velkor;

namespace {

std::string padded(std::string_view text, size_t width) {
    std::string line(text);
    line.resize(std::max(width, text.size() + 1), ' ');
    return line;
}

std::string json_word(StepProgress state) {
    return state == StepProgress::todo ? "todo" : status_word(state);
}

}  // namespace

std::string status_word(StepProgress state) {
    switch (state) {
        case StepProgress::done:
            return "done";
        case StepProgress::todo:
            return "to do";
        case StepProgress::skipped:
            return "skipped";
    }
    return "";
}

std::string status_text(const StatusView& view) {
    constexpr size_t tag_width = 18;
    constexpr size_t title_width = 46;
    std::string text = "Wizard steps on Ubuntu " + view.release + ":\n";
    for (const auto& [step, state] : view.steps) {
        text += "  " + padded(step.tag, tag_width) + padded(step.title, title_width) +
                status_word(state) + "\n";
    }
    text += "Theme: " + view.theme + "\nLayout: " + view.layout + "\nKernel: " + view.kernel +
            "\nLast run: ";
    if (!view.last_run) return text + "none\n";
    const LastRun& run = *view.last_run;
    return text + run.time + ", " + run.command + ", status " + std::to_string(run.exit_status) +
           (run.log.empty() ? "" : ", log " + run.log) + "\n";
}

std::string status_json(const StatusView& view) {
    std::string steps;
    for (const auto& [step, state] : view.steps) {
        steps += std::string(steps.empty() ? "\n" : ",\n") +
                 "    {\"tag\": " + json_quote(step.tag) +
                 ", \"title\": " + json_quote(step.title) +
                 ", \"state\": " + json_quote(json_word(state)) + "}";
    }
    std::string last_run = "null";
    if (view.last_run) {
        const LastRun& run = *view.last_run;
        last_run = "{\"time\": " + json_quote(run.time) +
                   ", \"command\": " + json_quote(run.command) +
                   ", \"status\": " + std::to_string(run.exit_status) +
                   ", \"log\": " + json_quote(run.log) + "}";
    }
    return "{\n  \"release\": " + json_quote(view.release) + ",\n  \"steps\": [" + steps +
           "\n  ],\n  \"theme\": " + json_quote(view.theme) +
           ",\n  \"layout\": " + json_quote(view.layout) +
           ",\n  \"kernel\": " + json_quote(view.kernel) + ",\n  \"last_run\": " + last_run +
           "\n}\n";
}
