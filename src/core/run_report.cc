#include "core/run_report.h"

#include "build_config.h"
#include "core/report.h"
#include "core/run_report_data.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

struct Account {
    std::string command;
    std::string report_path;
    std::string state_dir;
    std::string release;
    bool restart_wanted = false;
    bool restarting = false;
};

Account account;

RunReport report_of(int exit_status) {
    const bool changed = changing_commands_count() > 0;
    return {KELVANE_VERSION,   account.release,
            account.command,   exit_status,
            changed,           changed && account.restart_wanted && !account.restarting,
            report_log_path(), report_step_outcomes()};
}

}  // namespace

void run_report_begin(std::string_view command, std::string_view report_path) {
    account = {};
    account.command = command;
    account.report_path = report_path;
}

void run_report_record_in(std::string_view state_dir) { account.state_dir = state_dir; }

void run_report_set_release(std::string_view version) { account.release = version; }

void run_report_restart_wanted() { account.restart_wanted = true; }

void run_report_restarting(bool restarting) { account.restarting = restarting; }

void run_report_end(int exit_status) {
    if (!account.report_path.empty() &&
        !file_write_output(account.report_path, run_report_json(report_of(exit_status)), 0644)) {
        log_warning("Cannot write the report " + account.report_path);
    }
    if (account.state_dir.empty() || dry_run()) return;
    const LastRun run{timestamp("%Y-%m-%d %H:%M:%S"), account.command, exit_status,
                      report_log_path()};
    if (!file_write_output(last_run_path(account.state_dir), last_run_text(run), 0600)) {
        log_warning("Cannot record the run in " + account.state_dir);
    }
}

std::string report_path_problem(std::string_view path) {
    if (const auto found = file_stat(path); found && found->is_dir) return "it is a folder";
    return file_replace_problem(path);
}

std::string last_run_path(std::string_view state_dir) {
    return path_combine(state_dir, "last-run");
}
