// The read-only commands: `kelvane status` and `kelvane profile`. Neither changes anything,
// shows a dialog or asks for a password.
#pragma once

struct AppConsole;

/// Prints every wizard step with its state on this machine (by the steps' own checks;
/// "skipped" for the steps the run skips), then the theme, the layout, the kernel and the last
/// run; with `json` as one JSON object. The steps are judged by the answers given (options or
/// --profile), else those of the last completed wizard run, else the wizard's defaults.
void show_status(AppConsole& app, bool json);
/// Prints the profile of the last completed wizard run; none yet ends the run with status 1.
void show_profile(const AppConsole& app);
