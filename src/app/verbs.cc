#include "app/verbs.h"

#include "actions/boot_manager.h"
#include "actions/kernel.h"
#include "actions/kernel_data.h"
#include "actions/layout.h"
#include "actions/software.h"
#include "actions/theme.h"
#include "actions/undo.h"
#include "app/options.h"
#include "app/startup.h"
#include "core/app_console.h"
#include "core/data_folder.h"
#include "core/exit.h"
#include "core/run_report.h"
#include "core/system.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/driver.h"

using namespace Velkor;

void run_verb(AppConsole& app, const Options& options) {
    const std::vector<std::string>& verb = options.verb;
    const std::string& name = verb[0];
    const std::string value = verb.size() > 1 ? verb[1] : "";
    const int errors_before = log_error_count();
    if (name == "setup") {
        setup(app);
    } else if (name == "theme") {
        check_data(app.release, DataNeed::extensions);
        take_choice("theme", value, app.theme);
        apply_theme(app, app.theme);
    } else if (name == "layout") {
        check_data(app.release, DataNeed::extensions);
        take_choice("layout", value, app.layout);
        change_layout(app);
    } else if (name == "kernel") {
        const std::string package = xanmod_package(value).value_or("");
        log_msg("Selected xanmod kernel: " + package);
        if (const auto unavailable = xanmod_unavailable(app.release, app.cpu_level)) {
            log_error(*unavailable);
            exit_process(1);
        }
        if (const auto refusal = xanmod_refusal(package, app.cpu_level)) {
            log_error(string_replace(*refusal, "\n", " "));
            exit_process(1);
        }
        install_xanmod(app, package);
        run_report_restart_wanted();
    } else if (name == "boot-manager") {
        log_msg("refind_theme: " + value);
        if (!boot_mode_is_efi(app)) {
            log_error("Boot mode is BIOS/Legacy. EFI boot mode is needed to use Refind.");
            exit_process(1);
        }
        install_refind(app, value);
    } else if (name == "software") {
        const std::string selected(string_join({verb.begin() + 1, verb.end()}, " "));
        log_msg("Selected install: " + selected);
        install_extra_apps(app, selected);
    } else if (name == "undo" && options.list) {
        undo_list(runs_dir(app));
    } else if (name == "undo") {
        undo_run(app, runs_dir(app), value, options.yes);
    }
    // An action reports a failure with an error line and goes on; the verb's status says so.
    if (log_error_count() > errors_before) exit_process(1);
}
