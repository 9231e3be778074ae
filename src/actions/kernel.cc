#include "actions/kernel.h"

#include "actions/kernel_data.h"
#include "core/app_console.h"
#include "core/backup.h"
#include "core/dialogs_data.h"
#include "core/packages.h"
#include "core/preflight.h"
#include "core/runner.h"
#include "core/sources.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

MenuResult get_choice_xanmod_kernel(AppConsole& app) {
    if (const auto unavailable = xanmod_unavailable(app.release, app.cpu_level)) {
        log_msg(*unavailable);
        show_msgbox("XanMod Kernel", *unavailable);
        return MenuResult::back;
    }
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
    check_free_space("/boot", kernel_free_bytes);
    // The source an earlier version added points at a retired suite with a replaced key: it
    // would fail every update, and it would pass for the current source below.
    if (file_exists(xanmod_retired_source_path)) {
        log_msg("\nRemove the retired XanMod source...");
        backup_system_file(xanmod_retired_source_path);
        backup_system_file(xanmod_retired_keyring_path);
        if (run(xanmod_retired_source_remove_command()) != 0) {
            log_error("Failed to remove: " + std::string(xanmod_retired_source_path));
            return;
        }
    }
    const bool adding = run_read(xanmod_source_test_command()) != 0;
    if (adding) {
        log_msg("\nAdd XanMod repository...");
        if (!add_signed_source(app, xanmod_source(app.release), "the XanMod repository")) return;
    }
    if (!check_packages_available(app, kernel)) {
        // A source without the kernel (say, one XanMod stopped publishing for) would only
        // trouble every later update; the next attempt adds it again.
        if (adding) run(xanmod_source_remove_command());
        return;
    }
    apt_install(app, kernel, true, true);
    log_header("Reboot the system to use the new kernel.");
}
