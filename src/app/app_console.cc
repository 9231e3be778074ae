#include "app/app_console.h"

#include "app/cli.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

AppConsole::AppConsole() { run_startup_checks(); }

AppConsole::AppConsole(SkipStartupChecks) {}

void AppConsole::exit_process(int status) { throw AppExit{status}; }

int AppConsole::execute(const std::vector<std::string>& args) {
    log_debug("parse_arguments(): " + string_join(args, ", "));
    for (size_t i = 1; i < args.size(); ++i) {
        if (is_noreboot_option(args[i])) reboot = false;
    }
    selected_action = "";
    if (file_exists(done_marker_path)) {
        get_choice_action();
    } else {
        setup();
    }
    log_debug("parse_arguments(): exit");
    return 0;
}
