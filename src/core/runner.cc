#include "core/runner.h"

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

void run_package_command(std::string_view cmd) {
    wait_for_package_lock();
    if (const int code = run(cmd); code != 0) stop_run(cmd, code);
    run(sync_command);
}
