// Wizard steps for the browser, the extra applications, the updates and the wallpaper.
#include "app/app_console.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "ops/package_commands.h"
#include "wizard/step_outlines.h"
#include "wizard/wizard_commands.h"
#include "wizard/wizard_texts.h"

using namespace Velkor;

namespace {

// The release's own "firefox" package only installs the snap, which the wizard has removed,
// so it does not count as the browser being installed.
bool firefox_is_snap_transitional() {
    ExecOutput output;
    log_debug(firefox_version_command);
    if (exec_sync(firefox_version_command, &output) != 0) return false;
    return is_snap_transitional_version(output.std_out.value_or(""));
}

}  // namespace

void AppConsole::install_web_browser() {
    log_debug("install_web_browser()");
    log_header("Install Web Browser");
    if (web_browser == "chrome") {
        if (chrome_eula_accepted) {
            install_chrome();
        } else {
            install_firefox();
        }
    } else if (web_browser == "firefox") {
        install_firefox();
    } else if (auto package = deb_get_browser_package(web_browser)) {
        deb_get_install(*package);
    }
    log_debug("install_web_browser(): exit");
}

void AppConsole::install_chrome() {
    log_debug("install_chrome()");
    log_header("Install Google Chrome");
    if (!install_downloaded_deb(*this, "google-chrome-stable", chrome_download)) return;
    log_debug("install_chrome(): exit");
}

void AppConsole::install_firefox() {
    log_debug("install_firefox()");
    log_header("Install Firefox from PPA");
    check_installed_packages();
    const bool transitional = pkg_is_installed("firefox") && firefox_is_snap_transitional();
    if (pkg_is_installed("firefox") && !transitional) {
        log_msg("Already installed");
        return;
    }
    if (copy_file(firefox_preferences.src, firefox_preferences.dst, true) != 0) {
        log_error("Failed to install file: " + std::string(firefox_preferences.dst));
        return;
    }
    add_ppa("ppa:mozillateam/firefox-next");
    // The transitional package's version is higher than the team's deb, and "apt install -y"
    // refuses a downgrade: it goes first, and the list is reloaded so the install sees it gone.
    if (transitional) {
        apt_remove("firefox");
        check_installed_packages();
    }
    apt_install("firefox", true, true);
    log_debug("install_firefox(): exit");
}

void AppConsole::install_guake() {
    log_debug("install_guake()");
    log_header("Install Guake terminal");
    check_installed_packages();
    install_unless_present(*this, "guake", "guake");
    const std::string path = user_home + "/.config/autostart/guake.desktop";
    const std::string dir = file_parent(path).value_or("");
    if (!dir_create(dir)) {
        log_error("Failed to create directory: " + dir);
        return;
    }
    if (!file_write(path, guake_autostart_entry)) {
        log_error("Failed to install file: " + path);
        return;
    }
    log_debug("install_guake(): exit");
}

void AppConsole::install_zram_tools() {
    log_debug("install_zram_tools()");
    log_header("Install Zram tools");
    install_unless_present(*this, "zram-tools", "zram-tools");
    if (pkg_is_installed("zram-config")) apt_remove("zram-config");

    const std::string path = "/etc/default/zramswap";
    bool all_edited = true;
    for (const auto& cmd : zram_commands(path)) {
        if (exec_logged(cmd) != 0) all_edited = false;
    }
    if (!all_edited) {
        log_error("Failed to update file: " + path);
        return;
    }
    log_debug("install_zram_tools(): exit");
}

void AppConsole::install_libreoffice() {
    log_debug("install_libreoffice()");
    log_header("Install latest LibreOffice");
    if (exec_logged(libreoffice_source_test_command) == 0) {
        log_msg("Already installed");
        return;
    }
    add_ppa("ppa:libreoffice/ppa");
    // Installed already from the release archive: the new source must still upgrade it.
    apt_install("libreoffice-writer libreoffice-calc libreoffice-impress", true, false);
    apt_remove("libreoffice-base libreoffice-math");
    log_debug("install_libreoffice(): exit");
}

void AppConsole::install_updates() {
    log_debug("install_updates()");
    log_header("Install Updates");
    apt_update();
    // A failed upgrade is left for the user: the wizard's remaining steps do not need it.
    log_header("Install updates: apt upgrade");
    exec_logged(apt_upgrade_command);
    exec_logged(sync_command);
    log_header("Install updates: apt full-upgrade");
    exec_logged(apt_full_upgrade_command);
    exec_logged(sync_command);
    log_debug("install_updates(): exit");
}

void AppConsole::disable_apt_news() {
    if (cmd_exists("pro")) exec_logged(apt_news_off_command);
}

void AppConsole::install_wallpaper() {
    log_debug("install_wallpaper()");
    log_header("Install Wallpaper");
    if (file_exists(wallpaper.dst)) {
        log_msg("Already installed");
        return;
    }
    if (copy_file(wallpaper.src, wallpaper.dst, true) != 0) {
        log_error("Failed to install file: " + std::string(wallpaper.dst));
        return;
    }
    log_debug("install_wallpaper(): exit");
}

void AppConsole::install_variety() {
    log_debug("install_variety()");
    log_header("Install Variety");
    install_unless_present(*this, "variety", "variety gir1.2-ayatanaappindicator3-0.1");
    const std::string link_path = user_home + "/Pictures/Wallpapers/Variety";
    if (auto parent = file_parent(link_path)) dir_create(*parent);
    dir_create(user_home + "/.config/variety/Favorites");
    exec_logged(variety_link_command(link_path));
    log_debug("install_variety(): exit");
}
