#include "app/status.h"

#include <cstdio>

#include "actions/layout.h"
#include "actions/theme.h"
#include "app/options.h"
#include "app/profile.h"
#include "app/status_data.h"
#include "core/app_console.h"
#include "core/exit.h"
#include "core/profile_data.h"
#include "core/run_report.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/browser_data.h"

using namespace Velkor;

namespace {

// The answers the steps are judged by: those given, else the last completed run's.
void take_answers(AppConsole& app) {
    Options saved;
    saved.profile = profile_path(app.state_dir);
    std::string error;
    if (file_exists(*saved.profile) && apply_profile(saved, error)) {
        auto& preset = app.preset;
        if (!preset.web_browser) preset.web_browser = saved.browser;
        if (!preset.layout) preset.layout = saved.layout;
        if (!preset.theme) preset.theme = saved.theme;
        preset.chrome_eula_accepted = preset.chrome_eula_accepted || saved.accept_chrome_licence;
    }
    app.web_browser = app.preset.web_browser.value_or(app.web_browser);
    app.chrome_eula_accepted = app.preset.chrome_eula_accepted;
    app.web_browser = browser_to_install(app.web_browser, app.chrome_eula_accepted);
    app.layout = app.preset.layout.value_or(app.layout);
    app.theme = app.preset.theme.value_or(app.theme);
}

std::string running_kernel() {
    ExecOutput output;
    run_read("uname -r", RunMode::captured, &output);
    return string_strip(output.std_out.value_or(""));
}

std::optional<LastRun> last_run(const AppConsole& app) {
    const std::string path = last_run_path(app.state_dir);
    if (!file_exists(path)) return std::nullopt;
    return parse_last_run(file_read(path).value_or(""));
}

template <class Applied>
std::string current_of(std::initializer_list<const char*> names, Applied applied) {
    for (const char* name : names) {
        if (applied(name)) return name;
    }
    return "other";
}

}  // namespace

void show_status(AppConsole& app, bool json) {
    take_answers(app);
    StatusView view;
    view.release = app.release.version;
    view.steps = wizard_status(app);
    view.theme =
        current_of({"light", "dark"}, [&](const char* name) { return theme_applied(app, name); });
    view.layout = current_of({"ubuntu", "windows", "minimal"},
                             [&](const char* name) { return layout_applied(app, name); });
    view.kernel = running_kernel();
    view.last_run = last_run(app);
    const std::string text = json ? status_json(view) : status_text(view);
    std::fputs(text.c_str(), stdout);
}

void show_profile(const AppConsole& app) {
    const std::string path = profile_path(app.state_dir);
    if (!file_exists(path)) {
        log_error("No wizard run has been completed on this machine yet: there is no profile.");
        exit_process(1);
    }
    const auto text = file_read(path);
    if (!text) exit_process(1);
    std::fputs(text->c_str(), stdout);
}
