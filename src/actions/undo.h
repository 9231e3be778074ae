// The undo action: puts back what an earlier run changed, from that run's backup.
#pragma once

#include <string>
#include <string_view>

#include "core/dialogs.h"

struct AppConsole;

/// Writes one line per run in `runs_dir`, newest first; a note when there is none.
void undo_list(const std::string& runs_dir);
/// Undoes run `run_name` of `runs_dir` (the newest when empty): files, settings, package
/// sources, remotes and extensions back as they were, then the package changes after a yes/no
/// question (at once with `yes`). A missing, incomplete or unknown backup writes one "E: " line
/// and ends the run with status 1 before anything changes; an unreadable copy is named, the
/// rest restored, and the run ends with status 1. A run already undone is left alone.
void undo_run(AppConsole& app, const std::string& runs_dir, std::string_view run_name, bool yes);
/// The menu of the runs, newest first, then the undo of the chosen one; `back` when chosen.
MenuResult get_choice_undo(AppConsole& app, const std::string& runs_dir);
