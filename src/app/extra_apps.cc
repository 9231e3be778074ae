// The extra-software action: a checklist of optional groups, installed in one call per source.
#include "app/app_console.h"
#include "app/dialog.h"
#include "app/extra_apps_lists.h"
#include "lib/commands.h"
#include "lib/console.h"

using namespace Velkor;

void AppConsole::get_choice_advanced() {
    log_debug("get_choice_advanced()");
    const Dialog checklist{"Install Software", "", checklist_kind("Choose items to install:"),
                           extra_apps_checklist_items(), std::string(cancel_button_exit)};
    selected_install = clean_checklist_answer(run_dialog(checklist, false));
    log_msg("Selected install: " + selected_install);
    install_extra_apps();
    log_debug("get_choice_advanced(): exit");
}

void AppConsole::install_extra_apps() {
    log_debug("install_extra_apps()");
    log_header("Install Software");
    check_installed_packages();
    const ExtraAppsLists lists = extra_apps_lists(selected_install, user_name);
    if (!lists.apt_packages.empty()) apt_install(lists.apt_packages, true, true);
    if (!lists.deb_get_packages.empty()) deb_get_install(lists.deb_get_packages);
    // Group changes come last: the groups exist only once the packages are installed.
    if (!lists.group_commands.empty()) {
        log_debug(lists.group_commands);
        exec_posix(lists.group_commands);
    }
    if (lists.apt_packages.empty() && lists.deb_get_packages.empty()) {
        log_msg("Nothing to install");
    }
    log_debug("install_extra_apps(): exit");
}
