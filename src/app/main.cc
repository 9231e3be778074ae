// Program entry: the command line, the workspace, the run's state, and the one exit path.
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_menu.h"
#include "app/options.h"
#include "app/profile.h"
#include "app/startup.h"
#include "app/status.h"
#include "app/verbs.h"
#include "build_config.h"
#include "core/app_console.h"
#include "core/backup.h"
#include "core/exit.h"
#include "core/report.h"
#include "core/run_report.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/driver.h"

using namespace Velkor;

namespace {

// Runs that change nothing: no log, no backup, no record of the run.
bool is_read_only(const Options& options) {
    return !options.verb.empty() && (options.verb[0] == "status" || options.verb[0] == "profile");
}

void run_read_only(AppConsole& app, const Options& options) {
    if (options.verb[0] == "profile") {
        show_profile(app);
        return;
    }
    enter_data_folder();
    run_read_only_checks(app);
    show_status(app, options.json);
}

int run_program(const std::vector<std::string>& args, const Options& options) {
    // A root start is refused before the workspace exists, so it leaves nothing behind.
    check_not_root();
    init_tmp("kelvane");
    signals_install(stop_interrupted);
    set_dry_run(options.dry_run);
    AppConsole app;
    app.reboot = options.reboot;
    app.network_check = !options.skip_network_check;
    app.preset = {options.browser, options.accept_chrome_licence,
                  options.layout,  options.theme,
                  options.yes,     options.skip.value_or(std::vector<std::string>{})};
    // The log folder lies in the home: the user comes first, then the log, which then holds
    // every other check.
    check_user(app);
    if (is_read_only(options)) {
        run_read_only(app, options);
        return 0;
    }
    run_report_record_in(app.state_dir);
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
        } else if (file_exists(app.done_marker_path) && !options.profile) {
            // A profile stands for a wizard pass: with one the wizard runs again.
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

// What the command line names beyond its own words: the profile's answers and skips, whether
// the skips leave out a step another needs, and where the report goes. False on a usage error.
bool complete_options(Options& options, std::string& error) {
    if (options.help || options.version) return true;
    if (options.profile && !apply_profile(options, error)) return false;
    if (const auto refusal = skip_refusal(options.skip.value_or(std::vector<std::string>{}),
                                          options.browser.value_or(""))) {
        error = "kelvane: " + *refusal;
        return false;
    }
    if (!options.report) return true;
    // The run changes folder: a relative path means the folder it was started in.
    if (options.report->front() != '/')
        options.report = path_combine(current_dir(), *options.report);
    const std::string problem = report_path_problem(*options.report);
    if (problem.empty()) return true;
    error = "kelvane: cannot write the report " + *options.report + ": " + problem;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto options = parse_options(args, error);
    if (options && !complete_options(*options, error)) options.reset();
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
    run_report_begin(options->verb.empty() ? "wizard" : options->verb[0],
                     options->report.value_or(""));
    int status = 0;
    try {
        status = run_program(args, *options);
    } catch (const AppExit& request) {
        status = request.status;
    }
    // Every ending comes here: the report and the log are written and named, and of the run's
    // files only the log and the backup stay (downloads and payloads lie in the workspace).
    run_report_end(status);
    report_log_at_end();
    remove_workspace();
    sudo_keepalive_stop();
    log_file_close();
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
}
