// What `kelvane status` shows, as lines or as one JSON object (pure).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/run_report_data.h"
#include "wizard/driver.h"

struct StatusView {
    /// VERSION_ID.
    std::string release;
    std::vector<StepStatus> steps;
    /// "light", "dark", or "other" when neither theme's settings are in place.
    std::string theme;
    /// "ubuntu", "windows", "minimal" or "other".
    std::string layout;
    /// The running kernel's release ("uname -r").
    std::string kernel;
    std::optional<LastRun> last_run;
};

/// "done", "to do" or "skipped".
std::string status_word(StepProgress state);
/// A heading, one line per step (tag, title, state in columns), then the theme, the layout,
/// the kernel and the last run.
std::string status_text(const StatusView& view);
/// {"release", "steps": [{"tag", "title", "state": "done"|"todo"|"skipped"}], "theme",
/// "layout", "kernel", "last_run": {"time", "command", "status", "log"} or null}.
std::string status_json(const StatusView& view);
