// The wizard driver: the questions first, then every step unattended, then the reboot.
#include "app/app_console.h"
#include "app/dialog.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/step_support.h"
#include "wizard/wizard_commands.h"
#include "wizard/wizard_texts.h"

using namespace Velkor;

namespace {

// The unattended steps in the order they must run: the package sources and tools before
// what installs through them, the extensions and their settings before the layout and theme
// are applied at the end.
constexpr void (AppConsole::*unattended_steps[])() = {
    &AppConsole::enable_extra_repositories,
    &AppConsole::install_dependencies,
    &AppConsole::update_bash_prompt,
    &AppConsole::update_fish_prompt,
    &AppConsole::update_config_gnome_terminal_pre,
    &AppConsole::remove_apps,
    &AppConsole::install_apps,
    &AppConsole::install_deb_get,
    &AppConsole::install_nala,
    &AppConsole::install_appimagelauncher,
    &AppConsole::install_flatpak,
    &AppConsole::install_snapd,
    &AppConsole::install_web_browser,
    &AppConsole::install_guake,
    &AppConsole::install_zram_tools,
    &AppConsole::install_libreoffice,
    &AppConsole::install_updates,
    &AppConsole::disable_apt_news,
    &AppConsole::install_wallpaper,
    &AppConsole::install_variety,
    &AppConsole::install_gnome_extensions,
    &AppConsole::update_app_configs,
    &AppConsole::update_ssh_config,
    &AppConsole::update_mimeapps,
};

}  // namespace

void AppConsole::setup() {
    log_debug("setup()");
    // Every question comes before the first change, so the rest runs without the user and a
    // cancel leaves the machine as it was.
    show_welcome();
    get_choice_web_browser();
    get_choice_layout();
    get_choice_theme();

    for (auto step : unattended_steps) (this->*step)();
    apply_layout(layout);
    apply_theme(theme);
    // The font goes last: the theme must not be able to reset it.
    update_config_gnome_terminal_post();

    file_write(done_marker_path, "");
    if (!reboot) {
        log_header("Post-install tasks are complete.\nRestarting the system is recommended.");
    } else if (run_command(reboot_command) != 0) {
        log_error("Failed to reboot system. Please reboot manually.");
    }
    log_debug("setup(): exit");
}

void AppConsole::show_welcome() {
    log_debug("show_welcome()");
    run_command(msgbox_command(welcome_title(), welcome_text));
    log_debug("show_welcome(): exit");
}

void AppConsole::get_choice_web_browser() {
    log_debug("get_choice_web_browser()");
    web_browser = run_dialog(web_browser_dialog(), false);
    log_msg("Selected web browser: " + web_browser);
    if (web_browser == "chrome") {
        get_chrome_eula_status();
        if (!chrome_eula_accepted) {
            web_browser = "firefox";
            log_msg("Selected web browser: " + web_browser);
        }
    }
    log_debug("get_choice_web_browser(): exit");
}

void AppConsole::get_chrome_eula_status() {
    log_debug("get_chrome_eula_status()");
    chrome_eula_accepted = run_command(yesno_command(chrome_eula_title, chrome_eula_text)) == 0;
    log_msg(std::string("Chrome EULA accepted: ") + (chrome_eula_accepted ? "true" : "false"));
    log_debug("get_chrome_eula_status(): exit");
}
