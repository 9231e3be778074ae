#include "wizard/driver.h"

#include <unistd.h>

#include <cstdio>
#include <optional>

#include "actions/layout.h"
#include "actions/theme.h"
#include "core/app_console.h"
#include "core/backup.h"
#include "core/data_folder.h"
#include "core/dialogs.h"
#include "core/exit.h"
#include "core/preflight.h"
#include "core/report.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "lib/inhibit.h"
#include "wizard/browser.h"
#include "wizard/desktop.h"
#include "wizard/download_hosts_data.h"
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

void apply_chosen_layout(AppConsole& app) { apply_layout(app, app.layout); }
void apply_chosen_theme(AppConsole& app) { apply_theme(app, app.theme); }

struct StepRow {
    std::string_view name;
    Step run;
    /// False for the steps that show no boxed header of their own.
    bool shows_header;
};

// The unattended steps in the order they must run: the package sources and tools before
// what installs through them, the extensions and their settings before the layout and theme
// are applied, and the terminal font last, so that the theme cannot reset it.
constexpr StepRow unattended_steps[] = {
    {"Enable extra repositories", reads<enable_extra_repositories>, true},
    {"Check packages", reads<check_packages>, true},
    {"Install dependencies", install_dependencies, true},
    {"Update bash prompt", reads<update_bash_prompt>, true},
    {"Update fish prompt", reads<update_fish_prompt>, true},
    {"Terminal colours", update_config_gnome_terminal_pre, false},
    {"Remove Firefox snap and default applications", remove_apps, true},
    {"Install applications", install_apps, true},
    {"Install Deb-get", install_deb_get, true},
    {"Install Nala", install_nala, true},
    {"Install AppImageLauncher", install_appimagelauncher, true},
    {"Install Flatpak support", install_flatpak, true},
    {"Install Snap support", install_snapd, true},
    {"Install web browser", install_web_browser, true},
    {"Install Guake terminal", install_guake, true},
    {"Install Zram tools", install_zram_tools, true},
    {"Install LibreOffice", install_libreoffice, true},
    {"Install updates", install_updates, true},
    {"Turn off apt news", plain<disable_apt_news>, false},
    {"Install wallpaper", plain<install_wallpaper>, true},
    {"Install Variety", install_variety, true},
    {"Install GNOME extensions", reads<install_gnome_extensions>, true},
    {"Application settings", update_app_configs, false},
    {"Update SSH configuration", reads<update_ssh_config>, true},
    {"Default applications", reads<update_mimeapps>, false},
    {"Apply layout", apply_chosen_layout, true},
    {"Apply theme", apply_chosen_theme, true},
    {"Terminal font", update_config_gnome_terminal_post, false},
};

void ask_questions(AppConsole& app) {
    const WizardEnding ending = dry_run()    ? WizardEnding::dry_run
                                : app.reboot ? WizardEnding::restart
                                             : WizardEnding::no_restart;
    if (!app.preset.skip_welcome) show_msgbox(welcome_title(), welcome_text(ending));
    get_choice_web_browser(app);
    if (app.preset.layout) {
        take_choice("layout", *app.preset.layout, app.layout);
    } else {
        get_choice_layout(app, AskedFrom::wizard);
    }
    if (app.preset.theme) {
        take_choice("theme", *app.preset.theme, app.theme);
    } else {
        get_choice_theme(app, AskedFrom::wizard);
    }
    const std::string answers =
        "browser " + app.web_browser + ", layout " + app.layout + ", theme " + app.theme;
    log_file_write("Answers: " + answers + "\n");
    backup_set_choices("wizard: " + answers);
}

// The checks between the last answer and the first change.
void check_before_changes(const AppConsole& app) {
    check_free_space("/", wizard_free_bytes);
    if (app.network_check) check_download_hosts(wizard_host_checks(app, machine_archive_urls()));
}

// The summary stays in view for a while before the restart, counting down; Ctrl-C then keeps
// the machine running. True when the restart may go ahead.
bool restart_countdown() {
    const int seconds = restart_countdown_seconds(env_value(restart_countdown_variable));
    const bool terminal = isatty(STDOUT_FILENO);
    for (int left = seconds; left > 0; --left) {
        const std::string line = restart_countdown_line(left);
        if (left == seconds) {
            log_msg(line);
        } else if (terminal) {
            std::printf("\033[A\r%s\033[K\n", line.c_str());
            std::fflush(stdout);
        }
        if (!wait_unless_interrupted(1)) {
            log_msg("Not restarting: restart the machine when you are ready.");
            return false;
        }
    }
    return true;
}

// The end of a pass that reported no error: the marker that opens the menu next time, then
// the completion header or the restart.
void finish(AppConsole& app) {
    if (dry_run()) return;
    if (!file_write(app.done_marker_path, "")) {
        log_error("Cannot write the done marker " + app.done_marker_path +
                  ": the next start would run the whole wizard again");
        exit_process(1);
    }
    // The restart ends the process: the backup must be complete before it.
    backup_end(app);
    if (!app.reboot) {
        log_header("Post-install tasks are complete.\nRestarting the system is recommended.");
    } else if (restart_countdown() && run(reboot_command) != 0) {
        log_error("Failed to reboot system. Please reboot manually.");
    }
}

}  // namespace

void setup(AppConsole& app) {
    log_debug("setup()");
    // Nothing may change before the data is known to be complete, nor before the last
    // question: the rest runs without the user, and a cancel leaves the machine as it was.
    check_data(app.release, DataNeed::wizard);
    ask_questions(app);
    check_before_changes(app);

    report_begin_unattended(static_cast<int>(std::size(unattended_steps)));
    {
        // No sleep while nobody watches: a suspended laptop drops the network in the middle of
        // apt. Released at whatever ending, a stop or a signal included.
        std::optional<Inhibitor> awake;
        if (!dry_run()) {
            awake.emplace("sleep:idle", "Kelvane", "Installing and configuring the system");
        }
        int number = 0;
        for (const auto& step : unattended_steps) {
            report_step_begin(++number, step.name, step.shows_header);
            step.run(app);
            report_step_end();
        }
    }
    if (report_summary() > 0) {
        log_msg("The machine was not restarted because of these errors.");
        log_msg("Fix the cause, then run kelvane again: the steps already done are skipped.");
        exit_process(1);
    }
    finish(app);
}
