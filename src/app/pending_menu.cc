// Placeholder definitions until the main menu, theme and layout land; delete this file then.
#include "app/app_console.h"
#include "lib/console.h"

using namespace Velkor;

void AppConsole::get_choice_action() {
    log_debug("get_choice_action()");
    log_debug("get_choice_action(): exit");
}

void AppConsole::get_choice_theme() {}

void AppConsole::apply_theme(std::string_view) {}

void AppConsole::get_choice_layout() {}

void AppConsole::install_gnome_extensions() {}

void AppConsole::update_config_gnome_extensions(bool) {}

void AppConsole::apply_layout(std::string_view) {}
