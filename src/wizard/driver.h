// The wizard: every question first, then the unattended steps, then the restart.
#pragma once

struct AppConsole;

/// Runs the wizard: welcome, the four questions, every step, the done marker and the restart
/// (or the completion header when the run keeps the machine up).
void setup(AppConsole& app);
