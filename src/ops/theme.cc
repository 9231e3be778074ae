// The theme action: asked by the wizard (applied at its end) or from the main menu.
#include "app/app_console.h"
#include "app/dialog.h"
#include "lib/console.h"
#include "ops/theme_payloads.h"

using namespace Velkor;

void AppConsole::get_choice_theme() {
    log_debug("get_choice_theme()");
    // The main menu sets "theme"; the wizard leaves it empty and applies the choice later.
    const bool standalone = selected_action == "theme";
    const std::string answer = run_dialog(theme_menu_dialog(standalone), true);
    if (answer == "back") {
        get_choice_action();
        return;
    }
    theme = answer;
    log_msg("Selected theme: " + theme);
    if (standalone) {
        apply_theme(theme);
        exit_process(0);
    }
    log_debug("get_choice_theme(): exit");
}

void AppConsole::apply_theme(std::string_view theme_name) {
    log_header("Apply Theme: " + std::string(theme_name));
    if (const auto payload = theme_payload(theme_name)) dconf_load(*payload);
    log_msg("Applied");
}
