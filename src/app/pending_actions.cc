// Placeholder definitions until the menu-only actions land; delete this file then.
#include "app/app_console.h"
#include "lib/console.h"

using namespace Velkor;

void AppConsole::get_choice_xanmod_kernel() {}

void AppConsole::show_xanmod_selection_error(std::string_view) {}

void AppConsole::install_xanmod() {}

void AppConsole::get_choice_refind_theme() {}

void AppConsole::install_refind(std::string_view) {}

void AppConsole::get_choice_advanced() {}

void AppConsole::install_extra_apps() {}
