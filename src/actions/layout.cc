#include "actions/layout.h"

#include <algorithm>

#include "actions/extensions_data.h"
#include "actions/layout_data.h"
#include "core/app_console.h"
#include "core/backup.h"
#include "core/dialogs_data.h"
#include "core/runner.h"
#include "core/settings.h"
#include "core/system.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

MenuResult get_choice_layout(AppConsole& app, AskedFrom from) {
    log_debug("get_choice_layout()");
    if (!ask_choice(layout_menu_dialog(from == AskedFrom::menu), "layout", app.layout)) {
        return MenuResult::back;
    }
    if (from == AskedFrom::menu) change_layout(app);
    return MenuResult::done;
}

void change_layout(AppConsole& app) {
    // Also for "reset": the extensions and their settings are in place before the reset clears
    // the settings, so turning them on later finds them.
    install_gnome_extensions(app);
    update_config_gnome_extensions(app);
    apply_layout(app, app.layout);
    // A Wayland session cannot restart GNOME Shell in place; a reset logs out anyway.
    if (app.layout != "reset") log_msg(extensions_next_login_note);
}

namespace {

// Done only when root owns it and may run it: a pass after a failed chown or chmod installs
// it again.
bool extension_installer_installed() {
    const auto installed = file_stat(extension_installer_path);
    return installed && installed->owner_uid == 0 && (installed->mode & 0111) == 0111;
}

bool extensions_copied(const AppConsole& app) {
    return dir_files_within(app.release.extensions_folder, extensions_destination(app.user_home));
}

}  // namespace

bool extensions_installed(const AppConsole& app) {
    return extensions_copied(app) && extension_installer_installed();
}

bool layout_applied(const AppConsole& app, std::string_view layout_name) {
    const auto payloads = layout_payloads(layout_name, app.release);
    return !payloads.empty() &&
           std::all_of(payloads.begin(), payloads.end(), [&app](const SettingsPayload& payload) {
               return settings_in_place(app, payload);
           });
}

void install_gnome_extensions(const AppConsole& app) {
    log_debug("install_gnome_extensions()");
    log_header("Install GNOME extensions");
    const std::string destination = extensions_destination(app.user_home);
    if (extensions_copied(app)) {
        log_msg("Already installed");
    } else if (copy_file(extensions_source(app.release.extensions_folder), destination, false) !=
               0) {
        log_error("Failed to install extensions: " + destination);
        return;
    } else {
        log_msg(done_or_would("Installed extensions", "Extensions would be installed"));
    }
    if (extension_installer_installed()) return;
    // Downloaded into the private workspace, never the shared /tmp, where another user could
    // plant the file that root then moves into /usr/bin. Only a complete download is
    // installed: an empty file left by a failed one would count as installed next time.
    const std::string download =
        path_combine(create_temp_subdir(), "gnome-shell-extension-installer");
    const auto commands = extension_installer_commands(download);
    if (run(commands.front()) != 0) {
        log_error("Failed to download: " + std::string(extension_installer_url));
        return;
    }
    backup_system_file(extension_installer_path);
    for (size_t i = 1; i < commands.size(); ++i) {
        if (run(commands[i]) != 0) {
            log_error("Failed to install '" + std::string(extension_installer_path) +
                      "': " + commands[i]);
            return;
        }
    }
    log_msg(done_or_would("Installed 'gnome-shell-extension-installer'",
                          "Would install 'gnome-shell-extension-installer'"));
}

void update_config_gnome_extensions(AppConsole& app) {
    log_debug("update_config_gnome_extensions()");
    dconf_load(app, parse_settings_payload(extensions_payload));
}

void apply_layout(AppConsole& app, std::string_view layout_name) {
    log_header("Apply Layout: " + std::string(layout_name));
    if (layout_name == "reset") {
        backup_dconf_tree("/org/gnome/");
        run(layout_reset_command);
        run(session_logout_command);
    } else {
        // Each load leaves out a payload that is in place.
        const auto payloads = layout_payloads(layout_name, app.release);
        bool loaded = false;
        for (const auto& payload : payloads) loaded = dconf_load(app, payload) || loaded;
        if (!loaded && !payloads.empty()) {
            log_msg("Already applied");
            return;
        }
    }
    log_msg(done_or_would("Applied", "Would be applied"));
}
