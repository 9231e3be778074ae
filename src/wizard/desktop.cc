#include "wizard/desktop.h"

#include <algorithm>

#include "actions/extensions_data.h"
#include "core/app_console.h"
#include "core/backup.h"
#include "core/packages.h"
#include "core/runner.h"
#include "core/settings.h"
#include "core/system.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/desktop_data.h"
#include "wizard/package_steps.h"

using namespace Velkor;

namespace {

std::string guake_autostart_path(const AppConsole& app) {
    return app.user_home + "/.config/autostart/guake.desktop";
}

std::string mimeapps_path(const AppConsole& app) {
    return app.user_home + "/.config/mimeapps.list";
}

bool payload_in_place(const AppConsole& app, std::string_view payload) {
    return settings_in_place(app, parse_settings_payload(payload));
}

}  // namespace

std::vector<SettingsPayload> app_config_payloads(const AppConsole& app) {
    return {parse_settings_payload(nautilus_payload),
            parse_settings_payload(gedit_payload),
            parse_settings_payload(extensions_payload),
            parse_settings_payload(favorites_payload(app.web_browser)),
            parse_settings_payload(desktop_payload),
            guake_payload(guake_settings_folder(app))};
}

bool terminal_colours_set(const AppConsole& app) {
    return payload_in_place(app, terminal_colors_payload);
}

bool terminal_font_set(const AppConsole& app) {
    return payload_in_place(app, terminal_font_payload);
}

bool app_configs_set(const AppConsole& app) {
    const auto payloads = app_config_payloads(app);
    return std::all_of(payloads.begin(), payloads.end(), [&app](const SettingsPayload& payload) {
        return settings_in_place(app, payload);
    });
}

bool guake_installed(const AppConsole& app) {
    return app.packages.installed("guake") &&
           file_holds(guake_autostart_path(app), guake_autostart_entry);
}

bool wallpaper_installed() { return file_exists(wallpaper.dst); }

bool default_applications_set(const AppConsole& app) {
    if (!file_exists(system_defaults_list_path)) return false;
    const auto defaults = file_read(system_defaults_list_path);
    return defaults && file_holds(mimeapps_path(app),
                                  mimeapps_text(*defaults, app.release.extra_video_players));
}

void update_config_gnome_terminal_pre(AppConsole& app) {
    dconf_load(app, parse_settings_payload(terminal_colors_payload));
}

void update_config_gnome_terminal_post(AppConsole& app) {
    dconf_load(app, parse_settings_payload(terminal_font_payload));
}

void update_app_configs(AppConsole& app) {
    for (const auto& payload : app_config_payloads(app)) dconf_load(app, payload);
}

void install_guake(AppConsole& app) {
    log_header("Install Guake terminal");
    check_installed_packages(app);
    install_unless_present(app, "guake", "guake");
    const std::string path = guake_autostart_path(app);
    const std::string dir = file_parent(path).value_or("");
    if (!dir_create(dir)) {
        log_error("Failed to create directory: " + dir);
        return;
    }
    if (update_file(path, guake_autostart_entry) == FileUpdate::failed) {
        log_error("Failed to install file: " + path);
    }
}

void install_wallpaper() {
    log_header("Install Wallpaper");
    if (wallpaper_installed()) {
        log_msg("Already installed");
        return;
    }
    if (copy_file(wallpaper.src, wallpaper.dst, true) != 0) {
        log_error("Failed to install file: " + std::string(wallpaper.dst));
    }
}

void update_mimeapps(const AppConsole& app) {
    if (default_applications_set(app)) return;
    const std::string path = mimeapps_path(app);
    backup_user_file(path);
    if (!edit_file(path, mimeapps_commands(path, app.release.extra_video_players), false)) {
        log_error("Failed to set the default applications in " + path);
    }
}
