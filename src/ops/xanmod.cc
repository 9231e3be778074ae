// The kernel chooser: offers the kernels the CPU can run and installs the chosen one.
#include "app/app_console.h"
#include "app/dialog.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "ops/xanmod_menu.h"

using namespace Velkor;

namespace {

int run(std::string_view cmd) {
    log_debug(cmd);
    return exec_posix(cmd);
}

}  // namespace

// A refused kernel shows the menu again; looping keeps the stack flat however often the
// user insists.
void AppConsole::get_choice_xanmod_kernel() {
    while (true) {
        log_debug("get_choice_xanmod_kernel()");
        const Dialog menu{"XanMod Kernel", "", menu_kind("Choose kernel type:"),
                          xanmod_menu_items(cpu_level), ""};
        const std::string answer = run_dialog(menu, false);
        if (answer == "back") {
            get_choice_action();
            return;
        }
        xanmod_kernel = answer;
        log_msg("Selected xanmod kernel: " + xanmod_kernel);
        if (const auto refusal = xanmod_refusal(xanmod_kernel, cpu_level)) {
            show_xanmod_selection_error(*refusal);
            continue;
        }
        break;
    }
    // An unreadable answer matches no kernel; installing "" would run apt with no package.
    if (!xanmod_kernel.empty()) install_xanmod();
    log_debug("get_choice_xanmod_kernel(): exit");
}

void AppConsole::show_xanmod_selection_error(std::string_view message) {
    log_debug("show_xanmod_selection_error()");
    run(msgbox_command("Not Supported by CPU", message));
    log_debug("show_xanmod_selection_error(): exit");
}

void AppConsole::install_xanmod() {
    log_debug("install_xanmod()");
    log_header("Install XanMod Kernel");
    // The source list is the only memory of an earlier run: with it, source and key are done.
    if (run(xanmod_source_test_command()) != 0) {
        log_msg("\nAdd XanMod PPA...");
        if (run(xanmod_source_command()) != 0) {
            log_error("Failed to install source list");
            return;
        }
        if (run(xanmod_key_command()) != 0) {
            log_error("Failed to install public key");
            // Without its key the source would break every later update and this chooser
            // would skip the key step for good; drop it so the next attempt starts over.
            run(xanmod_source_remove_command());
            return;
        }
        apt_update();
    }
    apt_install(xanmod_kernel, true, true);
    log_header("Reboot the system to use the new kernel.");
    log_debug("install_xanmod(): exit");
}
