#include "wizard/driver.h"

#include <unistd.h>

#include <algorithm>
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
#include "core/profile_data.h"
#include "core/report.h"
#include "core/run_report.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "lib/inhibit.h"
#include "wizard/browser.h"
#include "wizard/browser_data.h"
#include "wizard/desktop.h"
#include "wizard/desktop_data.h"
#include "wizard/download_hosts_data.h"
#include "wizard/driver_data.h"
#include "wizard/package_steps.h"
#include "wizard/shell_ssh.h"

using namespace Velkor;

namespace {

using Step = void (*)(AppConsole&);
using Check = bool (*)(const AppConsole&);

// Adapters that let steps which read the run's state, or do not need it, stand in the table.
template <void (*step)(const AppConsole&)>
void reads(AppConsole& app) {
    step(app);
}
template <void (*step)()>
void plain(AppConsole&) {
    step();
}
template <bool (*check)()>
bool alone(const AppConsole&) {
    return check();
}

void apply_chosen_layout(AppConsole& app) { apply_layout(app, app.layout); }
void apply_chosen_theme(AppConsole& app) { apply_theme(app, app.theme); }
bool chosen_layout_applied(const AppConsole& app) { return layout_applied(app, app.layout); }
bool chosen_theme_applied(const AppConsole& app) { return theme_applied(app, app.theme); }
// The package check leaves nothing behind that a later pass could find missing.
bool nothing_to_keep(const AppConsole&) { return true; }

struct StepRow {
    /// Names the step on the command line (--skip), in status and in the report: short,
    /// lower-case and stable, since profiles and scripts keep it.
    std::string_view tag;
    std::string_view name;
    Step run;
    /// False for the steps that show no boxed header of their own.
    bool shows_header;
    /// Whether the step's work is in place: the step asks it itself, and so does status.
    Check done;
    /// The tag of a later step that cannot do without this one; "" when it may be skipped.
    std::string_view needed_by = {};
};

// The unattended steps in the order they must run: the package sources and tools before
// what installs through them, the extensions and their settings before the layout and theme
// are applied, and the terminal font last, so that the theme cannot reset it.
constexpr StepRow unattended_steps[] = {
    {"repos", "Enable extra repositories", reads<enable_extra_repositories>, true,
     extra_repositories_enabled, "deps"},
    {"check", "Check packages", reads<check_packages>, true, nothing_to_keep},
    {"deps", "Install dependencies", install_dependencies, true, dependencies_installed, "apps"},
    {"bash", "Update bash prompt", reads<update_bash_prompt>, true, bash_prompt_in_place},
    {"fish", "Update fish prompt", reads<update_fish_prompt>, true, fish_prompt_in_place},
    {"terminal", "Terminal colours", update_config_gnome_terminal_pre, false, terminal_colours_set},
    {"remove", "Remove Firefox snap and default applications", remove_apps, true,
     default_apps_removed},
    {"apps", "Install applications", install_apps, true, applications_installed},
    {"debget", "Install Deb-get", install_deb_get, true, deb_get_installed},
    {"nala", "Install Nala", install_nala, true, nala_installed},
    {"appimagelauncher", "Install AppImageLauncher", install_appimagelauncher, true,
     appimagelauncher_installed},
    {"flatpak", "Install Flatpak support", install_flatpak, true, flatpak_ready},
    {"snap", "Install Snap support", install_snapd, true, snapd_installed},
    {"browser", "Install web browser", install_web_browser, true, web_browser_installed},
    {"guake", "Install Guake terminal", install_guake, true, guake_installed},
    {"zram", "Install Zram tools", install_zram_tools, true, zram_ready},
    {"libreoffice", "Install LibreOffice", install_libreoffice, true, libreoffice_installed},
    {"updates", "Install updates", install_updates, true, alone<updates_installed>},
    {"news", "Turn off apt news", plain<disable_apt_news>, false, alone<apt_news_off>},
    {"wallpaper", "Install wallpaper", plain<install_wallpaper>, true, alone<wallpaper_installed>},
    {"variety", "Install Variety", install_variety, true, variety_installed},
    {"extensions", "Install GNOME extensions", reads<install_gnome_extensions>, true,
     extensions_installed, "layout"},
    {"settings", "Application settings", update_app_configs, false, app_configs_set},
    {"ssh", "Update SSH configuration", reads<update_ssh_config>, true, ssh_config_in_place},
    {"mimeapps", "Default applications", reads<update_mimeapps>, false, default_applications_set},
    {"layout", "Apply layout", apply_chosen_layout, true, chosen_layout_applied},
    {"theme", "Apply theme", apply_chosen_theme, true, chosen_theme_applied},
    {"font", "Terminal font", update_config_gnome_terminal_post, false, terminal_font_set},
};

const StepRow* find_step(std::string_view tag) {
    for (const auto& step : unattended_steps) {
        if (step.tag == tag) return &step;
    }
    return nullptr;
}

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
    std::string answers =
        "browser " + app.web_browser + ", layout " + app.layout + ", theme " + app.theme;
    if (!app.preset.skip.empty()) answers += ", skipping " + string_join(app.preset.skip, " ");
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

// The answers and skips of a completed pass, for `kelvane profile`.
void save_profile(const AppConsole& app) {
    const Profile profile{app.web_browser, app.chrome_eula_accepted, app.layout, app.theme,
                          app.preset.skip};
    const std::string text = profile_text(profile, timestamp("%Y-%m-%d %H:%M"));
    if (!file_write_output(profile_path(app.state_dir), text, 0600)) {
        log_warning("Cannot keep the profile of this run in " + app.state_dir);
    }
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
    // The restart ends the process: the backup and the report must be complete before it.
    backup_end(app);
    save_profile(app);
    run_report_restart_wanted();
    if (!app.reboot) {
        log_header("Post-install tasks are complete.\nRestarting the system is recommended.");
    } else if (restart_countdown()) {
        run_report_restarting(true);
        run_report_end(0);
        if (run(reboot_command) != 0) {
            run_report_restarting(false);
            log_error("Failed to reboot system. Please reboot manually.");
        }
    }
}

}  // namespace

void setup(AppConsole& app) {
    log_debug("setup()");
    // Nothing may change before the data is known to be complete, nor before the last
    // question: the rest runs without the user, and a cancel leaves the machine as it was.
    check_data(app.release, DataNeed::wizard);
    ask_questions(app);
    // The browser is known only now: deb-get may be needed for it.
    if (const auto refusal = skip_refusal(app.preset.skip, app.web_browser)) {
        log_error(*refusal);
        exit_process(2);
    }
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
            if (app.preset.skips(step.tag)) {
                report_step_skipped(++number, step.tag, step.name);
                continue;
            }
            report_step_begin(++number, step.tag, step.name, step.shows_header);
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

std::vector<StepName> wizard_step_names() {
    std::vector<StepName> names;
    for (const auto& step : unattended_steps) {
        names.push_back({step.tag, step.name, step.needed_by});
    }
    return names;
}

std::optional<std::string> skip_refusal(const std::vector<std::string>& tags,
                                        std::string_view web_browser) {
    for (const auto& tag : tags) {
        const StepRow* step = find_step(tag);
        std::string_view needed_by = step ? step->needed_by : "";
        // The browsers that come through deb-get need it, Chrome and Firefox do not.
        const bool browser_skipped = std::find(tags.begin(), tags.end(), "browser") != tags.end();
        if (tag == "debget" && deb_get_browser_package(web_browser) && !browser_skipped) {
            needed_by = "browser";
        }
        if (needed_by.empty()) continue;
        return "step '" + tag + "' cannot be skipped: step '" + std::string(needed_by) + "' (" +
               std::string(find_step(needed_by)->name) + ") needs it";
    }
    return std::nullopt;
}

std::vector<StepStatus> wizard_status(const AppConsole& app) {
    std::vector<StepStatus> states;
    for (const auto& step : unattended_steps) {
        const StepProgress state = app.preset.skips(step.tag) ? StepProgress::skipped
                                   : step.done(app)           ? StepProgress::done
                                                              : StepProgress::todo;
        states.push_back({{step.tag, step.name}, state});
    }
    return states;
}
