#include "actions/theme.h"

#include <vector>

#include "actions/theme_data.h"
#include "core/app_console.h"
#include "core/dialogs_data.h"
#include "core/runner.h"
#include "core/settings_state.h"
#include "core/system.h"
#include "lib/commands.h"
#include "lib/console.h"

using namespace Velkor;

MenuResult get_choice_theme(AppConsole& app, AskedFrom from) {
    log_debug("get_choice_theme()");
    if (!ask_choice(theme_menu_dialog(from == AskedFrom::menu), "theme", app.theme)) {
        return MenuResult::back;
    }
    if (from == AskedFrom::menu) apply_theme(app.theme, app.release);
    return MenuResult::done;
}

std::vector<std::string_view> theme_settings(std::string_view theme_name,
                                             const ReleaseProfile& release) {
    const auto payload = theme_payload(theme_name);
    if (!payload) return {};
    if (!needs_manual_font_rendering(release)) return {*payload};
    return {*payload, font_rendering_payload};
}

bool theme_applied(std::string_view theme_name, const ReleaseProfile& release) {
    const auto payloads = theme_settings(theme_name, release);
    return !payloads.empty() && settings_in_place(payloads);
}

void apply_theme(std::string_view theme_name, const ReleaseProfile& release) {
    log_header("Apply Theme: " + std::string(theme_name));
    if (theme_applied(theme_name, release)) {
        log_msg("Already applied");
        return;
    }
    for (const auto payload : theme_settings(theme_name, release)) dconf_load(payload);
    log_msg(done_or_would("Applied", "Would be applied"));
}
