#include "actions/software.h"

#include "actions/software_data.h"
#include "core/app_console.h"
#include "core/dialogs.h"
#include "core/dialogs_data.h"
#include "core/packages.h"
#include "core/runner.h"
#include "core/sources.h"
#include "lib/commands.h"
#include "lib/console.h"

using namespace Velkor;

void get_choice_advanced(AppConsole& app) {
    log_debug("get_choice_advanced()");
    const std::string selected_install =
        clean_checklist_answer(run_dialog(extra_apps_dialog(), false));
    log_msg("Selected install: " + selected_install);
    install_extra_apps(app, selected_install);
}

void install_extra_apps(AppConsole& app, std::string_view selected_install) {
    log_debug("install_extra_apps()");
    log_header("Install Software");
    check_installed_packages(app);
    const ExtraAppsLists lists = extra_apps_lists(selected_install, app.user_name);
    const std::string apt_packages = release_packages(app.release, lists.apt_packages);
    if (!apt_packages.empty()) {
        ExecOutput architectures;
        run_read(foreign_architectures_command, RunMode::captured, &architectures);
        if (i386_architecture_needed(apt_packages, architectures.std_out.value_or(""))) {
            run_package_command(add_i386_architecture_command);
            apt_update(app);
        }
        if (!check_packages_available(app, apt_packages)) {
            log_msg("Nothing was installed.");
            return;
        }
        // The user is at the terminal here: a licence question (VirtualBox's extension pack)
        // is theirs to answer.
        apt_install(app, apt_packages, true, true, Questions::asked);
    }
    if (!lists.deb_get_packages.empty()) deb_get_install(lists.deb_get_packages, Questions::asked);
    // Group changes come last: the groups exist only once the packages are installed.
    if (!lists.group_commands.empty()) run(lists.group_commands);
    if (lists.apt_packages.empty() && lists.deb_get_packages.empty()) {
        log_msg("Nothing to install");
    }
}
