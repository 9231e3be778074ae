// Program entry: the workspace, the run's state, and the one exit path.
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_menu.h"
#include "app/options.h"
#include "app/startup.h"
#include "core/app_console.h"
#include "core/exit.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/driver.h"

namespace {

int run_program(const std::vector<std::string>& args) {
    // A root start is refused before the workspace exists, so it leaves nothing behind.
    check_not_root();
    Velkor::init_tmp("kelvane");
    AppConsole app;
    run_startup_checks(app);
    Velkor::log_debug("parse_arguments(): " + Velkor::string_join(args, ", "));
    for (size_t i = 1; i < args.size(); ++i) {
        if (is_noreboot_option(args[i])) app.reboot = false;
    }
    if (Velkor::file_exists(app.done_marker_path)) {
        run_main_menu(app);
    } else {
        setup(app);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    if (auto answer = early_answer(args)) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
    try {
        return run_program(args);
    } catch (const AppExit& request) {
        std::fflush(stdout);
        std::fflush(stderr);
        return request.status;
    }
}
