#include "core/runner.h"

#include "core/exit.h"
#include "lib/commands.h"
#include "lib/console.h"

using namespace Velkor;

void log_header(std::string_view message) {
    log_msg("\n" + draw_message_box_thin(message, -1, "┊"));
}

int run(std::string_view cmd) { return run_command(cmd); }

void run_package_command(std::string_view cmd) {
    if (run(cmd) != 0) exit_failed();
    run(sync_command);
}
