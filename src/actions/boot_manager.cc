#include "actions/boot_manager.h"

#include <optional>

#include "actions/boot_manager_data.h"
#include "core/app_console.h"
#include "core/backup.h"
#include "core/dialogs_data.h"
#include "core/package_lock.h"
#include "core/packages.h"
#include "core/runner.h"
#include "core/sources.h"
#include "core/system.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

constexpr std::string_view install_failed = "Failed to install refind to ESP";

// One step whose failure stops the action; the message is the same for all of them.
bool run_install_step(std::string_view message, std::string_view cmd) {
    log_msg(message);
    if (run(cmd) != 0) {
        log_error(install_failed);
        return false;
    }
    log_msg(done_or_would("Installed successfully", "Would be installed"));
    return true;
}

// The rEFInd folder on the ESP, or nullopt when neither holds a configuration.
std::optional<std::string> find_refind_dir() {
    for (std::string_view dir : {refind_dir_primary, refind_dir_fallback}) {
        if (file_exists_sudo(refind_conf_path(dir))) return std::string(dir);
    }
    return std::nullopt;
}

// Backs up the configuration once, then writes the edited text over it. False on failure.
bool update_refind_conf(std::string_view refind_conf) {
    log_msg("\nUpdate refind.conf...");
    if (dry_run() && !file_exists_sudo(refind_conf)) {
        log_msg("Would edit " + std::string(refind_conf) + " once the package has put it there");
        return true;
    }
    // The first backup is the configuration as it was before we touched it: never replace it.
    const std::string backup = std::string(refind_conf) + ".bkup";
    if (!file_exists_sudo(backup)) run(sudo_copy_command(refind_conf, backup));

    const std::string text = file_read_sudo(refind_conf);
    if (string_strip(text).empty()) {
        log_error("Failed to read: " + std::string(refind_conf));
        return false;
    }
    backup_system_file(refind_conf);
    const std::string edited_path = get_temp_file_path(true);
    if (!file_write(edited_path, refind_config_edit(text)) ||
        run(sudo_copy_command(edited_path, refind_conf)) != 0) {
        log_error("Failed to update: " + std::string(refind_conf));
        return false;
    }
    log_msg(done_or_would("Updated", "Would be updated"));
    return true;
}

}  // namespace

MenuResult get_choice_refind_theme(AppConsole& app) {
    log_debug("get_choice_refind_theme()");
    const std::string answer = run_dialog(refind_theme_dialog(), false);
    if (answer == "back") return MenuResult::back;
    log_msg("refind_theme: " + answer);
    install_refind(app, answer);
    return MenuResult::done;
}

void install_refind(AppConsole& app, std::string_view refind_theme) {
    log_debug("install_refind()");
    log_header("Install Refind Boot Manager");
    // The theme goes unquoted into a root command line: only the two known names may.
    if (!refind_theme_is_known(refind_theme)) {
        log_error("Unknown Refind theme: '" + std::string(refind_theme) + "'");
        return;
    }
    if (!boot_mode_is_efi(app)) {
        log_error("Boot mode is BIOS/Legacy. EFI boot mode is needed to use Refind.");
        return;
    }
    if (run_read(refind_source_test_command()) != 0) {
        log_msg("\nAdd Refind PPA...");
        if (!add_ppa(app, refind_ppa, "the rEFInd PPA")) return;
    }
    log_msg("\nInstall Refind...");
    apt_install(app, "refind git", true, true);

    // A dry run installs nothing, so rEFInd may not be on the ESP yet: the steps after the
    // package are shown for its usual folder.
    const auto found_dir = find_refind_dir();
    if (!found_dir && !dry_run()) {
        log_error("Refind installation directory not found on ESP");
        return;
    }
    const std::string refind_dir = found_dir.value_or(std::string(refind_dir_primary));
    const std::string refind_conf = refind_conf_path(refind_dir);
    log_debug("refind_conf: " + refind_conf);

    if (!run_install_step("\nInstall refind-theme-regular...",
                          refind_theme_command(refind_theme))) {
        return;
    }
    // The boot-order tool has no icon of its own in this theme; the arrow stands in for it.
    run(refind_icon_command(refind_dir));
    // GRUB updates would put GRUB back first in the firmware's boot order.
    wait_for_package_lock();
    if (!run_install_step("\nHold GRUB packages...", refind_grub_hold_command())) return;
    if (!run_install_step("\nInstall extra file system drivers...",
                          refind_drivers_command(refind_dir))) {
        return;
    }
    if (update_refind_conf(refind_conf)) log_debug("install_refind(): exit");
}
