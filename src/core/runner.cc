#include "core/runner.h"

#include <string>

#include "core/package_lock.h"
#include "core/report.h"
#include "lib/commands.h"
#include "lib/console.h"

using namespace Velkor;

void log_header(std::string_view message) {
    log_msg("\n" + draw_message_box_thin(message, -1, "┊"));
    report_after_header();
}

int run(std::string_view cmd) { return run_command(cmd); }

int run_refresh(std::string_view cmd) {
    return run_command(cmd, RunMode::terminal, nullptr, Effect::refreshes);
}

std::string command_status_text(std::string_view cmd, int code) {
    return "\"" + std::string(cmd) + "\" ended with status " + std::to_string(code);
}

bool run_or_report(std::string_view cmd, std::string_view failure, Effect effect) {
    const int code = run_command(cmd, RunMode::terminal, nullptr, effect);
    if (code != 0) log_error(std::string(failure) + " (" + command_status_text(cmd, code) + ")");
    return code == 0;
}

void run_package_command(std::string_view cmd) {
    wait_for_package_lock();
    if (const int code = run(cmd); code != 0) stop_run(cmd, code);
    run_refresh(sync_command);
}
