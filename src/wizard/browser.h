// The browser: the wizard's question and the step that installs the answer.
#pragma once

struct AppConsole;

/// Asks for the browser; Chrome also asks for its licence and falls back to Firefox when it
/// is declined. An answer given on the command line is taken without a dialog; there the
/// licence counts as accepted only with its own option.
void get_choice_web_browser(AppConsole& app);
void install_web_browser(AppConsole& app);
