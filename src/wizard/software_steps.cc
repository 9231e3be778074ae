// Wizard steps that prepare the package system and install the base software.
#include "app/app_console.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/step_outlines.h"
#include "wizard/wizard_commands.h"
#include "wizard/wizard_texts.h"

using namespace Velkor;

void AppConsole::enable_extra_repositories() {
    log_debug("enable_extra_repositories()");
    log_header("Enable 'universe' and 'multiverse' repositories");
    const std::string marker = user_home + "/.cache/.post-install-addl-repos-enabled";
    if (file_exists(marker)) {
        log_msg("Already enabled");
        return;
    }
    exec_logged(extra_repositories_command);
    // A home without .cache would make touch fail and the sources be added again next time.
    if (auto parent = file_parent(marker)) dir_create(*parent);
    exec_logged(touch_command(marker));
    log_debug("enable_extra_repositories(): exit");
}

void AppConsole::install_dependencies() {
    check_installed_packages();
    log_header("Install some dependencies");
    apt_install(dependency_packages, false, true);
}

void AppConsole::snap_remove(std::string_view snap_name) {
    log_debug("snap_remove(): " + std::string(snap_name));
    exec_logged(remove_tree_command("/var/cache/snapd"));
    exec_logged(snap_remove_command(snap_name));
    log_debug("snap_remove(): exit");
}

void AppConsole::remove_apps() {
    log_debug("remove_apps()");
    log_header("Remove Firefox snap");
    check_installed_packages();
    if (cmd_exists("snap")) {
        log_msg("Please wait... This may take a few minutes");
        snap_remove("firefox");
    } else {
        log_msg("Firefox snap is not installed");
    }

    log_header("Remove default applications");
    bool snaps_listed = false;
    if (cmd_exists("snap")) {
        ExecOutput output;
        log_debug(snap_list_command);
        exec_sync(snap_list_command, &output);
        snaps_listed = snap_list_has_snaps(output.std_out.value_or(""));
    }
    apt_remove(default_apps_removal_list(snaps_listed));
    if (auto cmd = home_snap_remove_command(user_home)) exec_logged(*cmd);
    log_debug("remove_apps(): exit");
}

void AppConsole::install_apps() {
    log_debug("install_apps()");
    log_header("Install applications");
    check_installed_packages();
    apt_install(application_packages, true, true);
    apt_install_from_deb("webp-pixbuf-loader", "./debs/webp-pixbuf-loader_*.deb");
    log_debug("install_apps(): exit");
}

void AppConsole::install_deb_get() {
    log_debug("install_deb_get()");
    log_header("Install Deb-get");
    if (pkg_is_installed("deb-get")) {
        log_msg("Already installed");
        return;
    }
    if (exec_logged(deb_get_installer_command) != 0) {
        log_error("Failed to download");
        return;
    }
    log_debug("install_deb_get(): exit");
}

void AppConsole::install_nala() {
    log_debug("install_nala()");
    log_header("Install Nala");
    if (pkg_is_installed("nala")) {
        log_msg("Already installed");
        return;
    }
    for (const auto& file : nala_files) {
        if (copy_file(file.src, file.dst, true) != 0) {
            log_error("Failed to install file: " + std::string(file.dst));
            return;
        }
    }
    log_msg("Added repository");
    apt_update();
    apt_install("nala", true, true);
    log_debug("install_nala(): exit");
}

void AppConsole::install_appimagelauncher() {
    log_debug("install_appimagelauncher()");
    log_header("Install AppImageLauncher");
    if (!install_downloaded_deb(*this, "appimagelauncher", appimagelauncher_download)) return;

    const std::string config_path = user_home + "/.config/appimagelauncher.cfg";
    if (auto parent = file_parent(config_path)) dir_create(*parent);
    if (!file_write(config_path, appimagelauncher_config)) {
        log_error("Failed to install file: " + config_path);
        return;
    }
    const std::string applications_dir = user_home + "/Applications";
    if (!dir_create(applications_dir)) {
        log_error("Failed to create directory: " + applications_dir);
        return;
    }
    log_debug("install_appimagelauncher(): exit");
}

void AppConsole::install_flatpak() {
    log_debug("install_flatpak()");
    log_header("Install Flatpak support");
    install_unless_present(*this, "flatpak", "flatpak");
    // The remotes are added on every pass: --if-not-exists makes that cheap, and a remote
    // that failed last time gets another chance.
    if (cmd_exists("flatpak")) {
        if (exec_logged(flathub_remote_command) != 0) {
            log_error("Failed to add flatpak remote: flathub");
        }
        if (exec_logged(kdeapps_remote_command) != 0) {
            log_error("Failed to add flatpak remote: kdeapps");
        }
    } else {
        log_error("Command 'flatpak' not found");
    }
    log_debug("install_flatpak(): exit");
}

void AppConsole::install_snapd() {
    log_debug("install_snapd()");
    log_header("Install Snap support");
    // The removal step may have purged snapd in this same pass.
    check_installed_packages();
    install_unless_present(*this, "snapd", "snapd");
    log_debug("install_snapd(): exit");
}
