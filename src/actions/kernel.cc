#include "actions/kernel.h"

#include "actions/kernel_data.h"
#include "core/app_console.h"
#include "core/dialogs_data.h"
#include "core/packages.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"

using namespace Velkor;

MenuResult get_choice_xanmod_kernel(AppConsole& app) {
    // A refused kernel shows the menu again.
    std::string kernel;
    while (true) {
        log_debug("get_choice_xanmod_kernel()");
        kernel = run_dialog(xanmod_menu_dialog(app.cpu_level), false);
        if (kernel == "back") return MenuResult::back;
        log_msg("Selected xanmod kernel: " + kernel);
        const auto refusal = xanmod_refusal(kernel, app.cpu_level);
        if (!refusal) break;
        show_msgbox("Not Supported by CPU", *refusal);
    }
    // An unreadable answer matches no kernel; installing "" would run apt with no package.
    if (!kernel.empty()) install_xanmod(app, kernel);
    return MenuResult::done;
}

void install_xanmod(AppConsole& app, std::string_view kernel) {
    log_debug("install_xanmod()");
    log_header("Install XanMod Kernel");
    // The source list is the only memory of an earlier run: with it, source and key are done.
    if (run_read(xanmod_source_test_command()) != 0) {
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
    apt_install(app, kernel, true, true);
    log_header("Reboot the system to use the new kernel.");
}
