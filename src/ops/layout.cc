// The desktop layout action: extensions, their settings, and the chosen panel layout.
#include "app/app_console.h"
#include "app/dialog.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "ops/extension_payloads.h"
#include "ops/layout_payloads.h"

using namespace Velkor;

namespace {

int run(std::string_view cmd) {
    log_debug(cmd);
    return exec_posix(cmd);
}

}  // namespace

void AppConsole::get_choice_layout() {
    log_debug("get_choice_layout()");
    // The main menu sets "layout"; the wizard leaves it empty and applies the choice later.
    const bool standalone = selected_action == "layout";
    const std::string answer = run_dialog(layout_menu_dialog(standalone), true);
    if (answer == "back") {
        get_choice_action();
        return;
    }
    layout = answer;
    log_msg("Selected layout: " + layout);
    if (standalone) {
        // Also for "reset": the extensions and their settings are in place before the reset
        // clears the settings, so turning them on later finds them.
        install_gnome_extensions();
        update_config_gnome_extensions(false);
        apply_layout(layout);
        exit_process(0);
    }
    log_debug("get_choice_layout(): exit");
}

void AppConsole::install_gnome_extensions() {
    log_debug("install_gnome_extensions()");
    log_header("Install GNOME extensions");
    const std::string destination = extensions_destination(user_home);
    if (copy_file(extensions_source(dist_version_id), destination, false) != 0) {
        log_error("Failed to install extensions: " + destination);
        return;
    }
    log_msg("Installed extensions");
    if (!file_exists(extension_installer_path)) {
        // Offered to the user for later; a failed download is not worth stopping for.
        for (const auto& cmd : extension_installer_commands()) run(cmd);
        log_msg("Installed 'gnome-shell-extension-installer'");
    }
    log_debug("install_gnome_extensions(): exit");
}

void AppConsole::update_config_gnome_extensions(bool set_favorites) {
    log_debug("update_config_gnome_extensions()");
    dconf_load(extensions_payload);
    if (set_favorites) dconf_load(favorites_payload);
}

void AppConsole::apply_layout(std::string_view layout_name) {
    log_header("Apply Layout: " + std::string(layout_name));
    if (layout_name == "reset") {
        run(layout_reset_command);
        run(session_logout_command);
    } else {
        for (const auto payload : layout_payloads(layout_name)) dconf_load(payload);
    }
    log_msg("Applied");
}
