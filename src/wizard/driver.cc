#include "wizard/driver.h"

#include "actions/layout.h"
#include "actions/theme.h"
#include "core/app_console.h"
#include "core/dialogs.h"
#include "core/runner.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/browser.h"
#include "wizard/desktop.h"
#include "wizard/driver_data.h"
#include "wizard/package_steps.h"
#include "wizard/shell_ssh.h"

using namespace Velkor;

namespace {

using Step = void (*)(AppConsole&);

// Adapters that let steps which read the run's state, or do not need it, stand in the table.
template <void (*step)(const AppConsole&)>
void reads(AppConsole& app) {
    step(app);
}
template <void (*step)()>
void plain(AppConsole&) {
    step();
}

// The unattended steps in the order they must run: the package sources and tools before
// what installs through them, the extensions and their settings before the layout and theme
// are applied at the end.
constexpr Step unattended_steps[] = {
    reads<enable_extra_repositories>,
    install_dependencies,
    reads<update_bash_prompt>,
    reads<update_fish_prompt>,
    plain<update_config_gnome_terminal_pre>,
    remove_apps,
    install_apps,
    install_deb_get,
    install_nala,
    install_appimagelauncher,
    install_flatpak,
    install_snapd,
    install_web_browser,
    install_guake,
    install_zram_tools,
    install_libreoffice,
    plain<install_updates>,
    plain<disable_apt_news>,
    plain<install_wallpaper>,
    install_variety,
    reads<install_gnome_extensions>,
    plain<update_app_configs>,
    reads<update_ssh_config>,
    reads<update_mimeapps>,
};

}  // namespace

void setup(AppConsole& app) {
    log_debug("setup()");
    // Every question comes before the first change, so the rest runs without the user and a
    // cancel leaves the machine as it was.
    show_msgbox(welcome_title(), welcome_text);
    get_choice_web_browser(app);
    get_choice_layout(app, AskedFrom::wizard);
    get_choice_theme(app, AskedFrom::wizard);

    for (const Step step : unattended_steps) step(app);
    apply_layout(app.layout);
    apply_theme(app.theme);
    // The font goes last: the theme must not be able to reset it.
    update_config_gnome_terminal_post();

    file_write(app.done_marker_path, "");
    if (!app.reboot) {
        log_header("Post-install tasks are complete.\nRestarting the system is recommended.");
    } else if (run(reboot_command) != 0) {
        log_error("Failed to reboot system. Please reboot manually.");
    }
}
