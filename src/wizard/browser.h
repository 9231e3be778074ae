// The browser: the wizard's question and the step that installs the answer.
#pragma once

struct AppConsole;

/// Asks for the browser; Chrome also asks for its licence and falls back to Firefox when it
/// is declined. An answer given on the command line is taken without a dialog; the licence is
/// accepted by its own option, else asked, except with --yes, where Chrome falls back at once.
void get_choice_web_browser(AppConsole& app);
void install_web_browser(AppConsole& app);
/// The chosen browser is installed (Firefox: not the release's snap stand-in). Read-only.
bool web_browser_installed(const AppConsole& app);
