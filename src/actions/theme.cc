#include "actions/theme.h"

#include <vector>

#include "actions/theme_data.h"
#include "core/app_console.h"
#include "core/dialogs_data.h"
#include "core/runner.h"
#include "core/settings.h"
#include "lib/commands.h"
#include "lib/console.h"

using namespace Velkor;

MenuResult get_choice_theme(AppConsole& app, AskedFrom from) {
    log_debug("get_choice_theme()");
    if (!ask_choice(theme_menu_dialog(from == AskedFrom::menu), "theme", app.theme)) {
        return MenuResult::back;
    }
    if (from == AskedFrom::menu) apply_theme(app, app.theme);
    return MenuResult::done;
}

bool theme_applied(const AppConsole& app, std::string_view theme_name) {
    const auto payload = theme_payload(theme_name, app.release);
    return payload && settings_in_place(app, *payload);
}

void apply_theme(AppConsole& app, std::string_view theme_name) {
    log_header("Apply Theme: " + std::string(theme_name));
    // The load itself leaves out a payload that is in place.
    const auto payload = theme_payload(theme_name, app.release);
    if (payload && !dconf_load(app, *payload)) {
        log_msg("Already applied");
        return;
    }
    log_msg(done_or_would("Applied", "Would be applied"));
}
