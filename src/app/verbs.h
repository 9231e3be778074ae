// The menu actions as commands: each does what its menu entry does, without a dialog.
#pragma once

#include <string>
#include <vector>

struct AppConsole;
struct Options;

/// Runs the verb of `options` (checked by the option parser: a known verb with valid values).
/// A check that refuses (the release, the CPU level, EFI, the package check) writes its line
/// and ends the run with status 1; so does an action that wrote an error line.
void run_verb(AppConsole& app, const Options& options);
