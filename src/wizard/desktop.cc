#include "wizard/desktop.h"

#include "actions/layout.h"
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

void update_config_gnome_terminal_pre(AppConsole& app) {
    dconf_load(app, parse_settings_payload(terminal_colors_payload));
}

void update_config_gnome_terminal_post(AppConsole& app) {
    dconf_load(app, parse_settings_payload(terminal_font_payload));
}

void update_app_configs(AppConsole& app) {
    dconf_load(app, parse_settings_payload(nautilus_payload));
    dconf_load(app, parse_settings_payload(gedit_payload));
    update_config_gnome_extensions(app);
    dconf_load(app, parse_settings_payload(favorites_payload(app.web_browser)));
    dconf_load(app, parse_settings_payload(desktop_payload));
    dconf_load(app, guake_payload(guake_settings_folder(app)));
}

void install_guake(AppConsole& app) {
    log_header("Install Guake terminal");
    check_installed_packages(app);
    install_unless_present(app, "guake", "guake");
    const std::string path = app.user_home + "/.config/autostart/guake.desktop";
    const std::string dir = file_parent(path).value_or("");
    if (!dir_create(dir)) {
        log_error("Failed to create directory: " + dir);
        return;
    }
    if (!file_write(path, guake_autostart_entry)) log_error("Failed to install file: " + path);
}

void install_wallpaper() {
    log_header("Install Wallpaper");
    if (file_exists(wallpaper.dst)) {
        log_msg("Already installed");
        return;
    }
    if (copy_file(wallpaper.src, wallpaper.dst, true) != 0) {
        log_error("Failed to install file: " + std::string(wallpaper.dst));
    }
}

void update_mimeapps(const AppConsole& app) {
    const std::string mimeapps_path = app.user_home + "/.config/mimeapps.list";
    backup_user_file(mimeapps_path);
    if (!edit_file(mimeapps_path, mimeapps_commands(mimeapps_path, app.release.extra_video_players),
                   false)) {
        log_error("Failed to set the default applications in " + mimeapps_path);
    }
}
