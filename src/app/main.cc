// Program entry: the command line, the workspace, the run's state, and the one exit path.
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_menu.h"
#include "app/options.h"
#include "app/startup.h"
#include "app/verbs.h"
#include "build_config.h"
#include "core/app_console.h"
#include "core/backup.h"
#include "core/exit.h"
#include "core/report.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/driver.h"

using namespace Velkor;

namespace {

int run_program(const std::vector<std::string>& args, const Options& options) {
    // A root start is refused before the workspace exists, so it leaves nothing behind.
    check_not_root();
    init_tmp("kelvane");
    signals_install(stop_interrupted);
    set_dry_run(options.dry_run);
    AppConsole app;
    app.reboot = options.reboot;
    app.network_check = !options.skip_network_check;
    app.preset = {options.browser, options.accept_chrome_licence, options.layout, options.theme,
                  options.yes};
    // The log folder lies in the home: the user comes first, then the log, which then holds
    // every other check.
    check_user(app);
    const std::string start_time = timestamp_file_name();
    open_run_log(app, args, start_time);
    enter_data_folder();
    run_startup_checks(app);
    const bool undoing = !options.verb.empty() && options.verb[0] == "undo";
    if (!undoing) {
        backup_begin(app, runs_dir(app), start_time);
        if (!options.verb.empty()) backup_set_choices("command: " + string_join(options.verb, " "));
    }
    try {
        if (!options.verb.empty()) {
            run_verb(app, options);
        } else if (file_exists(app.done_marker_path)) {
            run_main_menu(app);
        } else {
            setup(app);
        }
    } catch (const AppExit&) {
        // A stopped run keeps what it recorded: the state it left is what undo compares with.
        backup_end(app);
        throw;
    }
    backup_end(app);
    if (dry_run()) log_msg("Dry run: nothing was changed.");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = parse_options(args, error);
    if (!options) {
        // Short, so that the error stays on screen: the help is one option away.
        std::fprintf(stderr, "%s\nRun 'kelvane --help' for the options.\n", error.c_str());
        return 2;
    }
    if (options->help || options->version) {
        const std::string text =
            options->help ? usage_text() : std::string("kelvane ") + KELVANE_VERSION + "\n";
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    int status = 0;
    try {
        status = run_program(args, *options);
    } catch (const AppExit& request) {
        status = request.status;
    }
    // Every ending comes here: the log is named, and of the run's files only the log and the
    // backup stay (downloads and payloads lie in the workspace).
    report_log_at_end();
    remove_workspace();
    sudo_keepalive_stop();
    log_file_close();
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
}
