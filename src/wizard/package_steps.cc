#include "wizard/package_steps.h"

#include <algorithm>

#include "core/app_console.h"
#include "core/backup.h"
#include "core/package_lock.h"
#include "core/packages.h"
#include "core/packages_data.h"
#include "core/release_data.h"
#include "core/report.h"
#include "core/runner.h"
#include "core/sources.h"
#include "core/sources_data.h"
#include "core/system.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

void install_unless_present(AppConsole& app, std::string_view package_name,
                            std::string_view packages) {
    if (pkg_is_installed(app, package_name)) {
        log_msg("Already installed");
    } else {
        apt_install(app, packages, true, true);
    }
}

bool install_downloaded_deb(AppConsole& app, std::string_view package_name,
                            const Download& download) {
    if (pkg_is_installed(app, package_name)) {
        log_msg("Already installed");
        return false;
    }
    const std::string path = path_combine(create_temp_subdir(), download.file);
    if (run(download_command(path, download.url)) != 0) {
        log_error("Failed to download");
        return false;
    }
    // A path with a slash makes apt read the file instead of looking up a package name.
    apt_install_from_deb(app, package_name, shell_quote(path));
    return true;
}

namespace {

constexpr std::string_view zramswap_path = "/etc/default/zramswap";

std::string extra_repositories_marker(const AppConsole& app) {
    return app.user_home + "/.cache/.post-install-addl-repos-enabled";
}

// What "snap list" shows; "" without snap.
std::string snap_listing() {
    if (!cmd_exists("snap")) return "";
    ExecOutput output;
    run_read(snap_list_command, RunMode::captured, &output);
    return output.std_out.value_or("");
}

// apt's simulation of the upgrade: true when it would change a package. A simulation that
// fails tells nothing, so the upgrade runs and reports its own failure.
bool upgrade_pending(bool full) {
    ExecOutput output;
    if (run_read(upgrade_simulation_command(full), RunMode::captured, &output) != 0) return true;
    return simulation_changes_packages(output.std_out.value_or(""));
}

bool zram_settings_in_place() {
    if (!file_exists(zramswap_path)) return false;
    const auto text = file_read(zramswap_path);
    return text && *text == zram_settings_text(*text);
}

bool flathub_added() {
    const auto remotes = flatpak_remote_names();
    return std::find(remotes.begin(), remotes.end(), "flathub") != remotes.end();
}

bool libreoffice_source_added() {
    return run_read(source_added_test_command(libreoffice_source_pattern)) == 0;
}

std::string variety_link_path(const AppConsole& app) {
    return app.user_home + "/Pictures/Wallpapers/Variety";
}

bool variety_link_in_place(const AppConsole& app) {
    return file_link_target(variety_link_path(app)) == app.user_home + "/.config/variety/Favorites";
}

}  // namespace

bool extra_repositories_enabled(const AppConsole& app) {
    return file_exists(extra_repositories_marker(app));
}

bool dependencies_installed(const AppConsole& app) {
    return packages_installed(app, release_dependency_packages(app.release));
}

bool default_apps_removed(const AppConsole& app) {
    const std::string snaps = snap_listing();
    const bool thunderbird_snap = app.release.thunderbird_is_snap;
    return !snap_list_has(snaps, "firefox") &&
           !(thunderbird_snap && snap_list_has(snaps, "thunderbird")) &&
           packages_absent(app, default_apps_removal_list(false, thunderbird_snap));
}

bool applications_installed(const AppConsole& app) {
    // The archive's WebP loader is in the list; the shipped .deb is not.
    return packages_installed(app, release_application_packages(app.release)) &&
           (app.release.webp_loader != WebpLoader::shipped_deb ||
            app.packages.installed("webp-pixbuf-loader"));
}

bool deb_get_installed(const AppConsole& app) { return app.packages.installed("deb-get"); }

bool nala_installed(const AppConsole& app) {
    // An earlier version's source for Volian's retired suite is still to be replaced.
    return app.packages.installed("nala") &&
           (app.release.nala_in_archive || !file_exists(nala_retired_files.front()));
}

bool appimagelauncher_installed(const AppConsole& app) {
    return app.packages.installed(app.release.fuse2_package) &&
           (!app.release.appimagelauncher_installs || app.packages.installed("appimagelauncher"));
}

bool flatpak_ready(const AppConsole& app) {
    return app.packages.installed("flatpak") && flathub_added();
}

bool snapd_installed(const AppConsole& app) { return app.packages.installed("snapd"); }

bool zram_ready(const AppConsole& app) {
    return app.packages.installed("zram-tools") && !app.packages.installed("zram-config") &&
           zram_settings_in_place();
}

bool libreoffice_installed(const AppConsole& app) {
    // Done when the suite from the PPA is complete, not merely when the PPA was added: an
    // install that failed after it is finished by the next pass.
    return packages_installed(app, libreoffice_packages) &&
           packages_absent(app, libreoffice_removals) && libreoffice_source_added();
}

bool updates_installed() { return !upgrade_pending(true); }

bool apt_news_off() {
    if (!cmd_exists("pro")) return true;
    ExecOutput output;
    return run_read(apt_news_show_command, RunMode::captured, &output) == 0 &&
           apt_news_is_off(output.std_out.value_or(""));
}

bool variety_installed(const AppConsole& app) {
    return app.packages.installed("variety") && variety_link_in_place(app);
}

void enable_extra_repositories(const AppConsole& app) {
    log_header("Enable 'universe' and 'multiverse' repositories");
    const std::string marker = extra_repositories_marker(app);
    if (extra_repositories_enabled(app)) {
        log_msg("Already enabled");
        return;
    }
    backup_system_file(sources_list_path);
    wait_for_package_lock();
    // The marker is only left when the sources are on: a failure is tried again next time.
    if (run(extra_repositories_command) != 0) {
        log_error("Failed to enable the 'universe' and 'multiverse' repositories");
        return;
    }
    // Written like every other file, so that the run's backup knows it was not there before.
    if (!file_write(marker, "")) log_error("Cannot write " + marker);
}

void check_packages(const AppConsole& app) {
    log_header("Check that the packages exist");
    const PackageCheckPlan plan = package_check_plan(app.release, app.web_browser, app.preset.skip);
    log_file_write("Left out of the package check (their sources are added later): " +
                   string_join(plan.left_out, ", ") + "\n");
    // Nothing has changed yet: a name the release lacks stops the run here instead of
    // halfway through the installs.
    if (!check_packages_available(app, plan.lists)) stop_step();
}

void install_dependencies(AppConsole& app) {
    check_installed_packages(app);
    log_header("Install some dependencies");
    apt_install(app, release_dependency_packages(app.release), false, true);
}

namespace {

// A snap left in place (24.04: a busy mount) would fight the browser installed from a .deb.
// True when snap removed it. The user's data of the snap (which "snap list" showed) goes into
// the run's backup, from where undo puts it back; the other snaps' data stays.
bool snap_remove(const AppConsole& app, std::string_view snap_name) {
    if (!run_or_report(snap_remove_command(snap_name),
                       "Failed to remove the " + std::string(snap_name) + " snap")) {
        return false;
    }
    backup_snap_removed(snap_name);
    const auto data_dir = home_snap_data_dir(app.user_home, snap_name);
    if (data_dir && path_exists(*data_dir)) backup_move_aside(*data_dir);
    return true;
}

}  // namespace

void remove_apps(AppConsole& app) {
    log_header("Remove Firefox snap");
    check_installed_packages(app);
    std::string snaps = snap_listing();
    if (snap_list_has(snaps, "firefox")) {
        log_msg("Please wait... This may take a few minutes");
        snap_remove(app, "firefox");
        snaps = snap_listing();
    } else {
        log_msg("Firefox snap is not installed");
    }

    log_header("Remove default applications");
    // Where Thunderbird is a snap, "apt remove" would report success and leave it.
    if (app.release.thunderbird_is_snap && snap_list_has(snaps, "thunderbird")) {
        snap_remove(app, "thunderbird");
    }
    apt_remove(app, default_apps_removal_list(snap_list_has_snaps(snaps),
                                              app.release.thunderbird_is_snap));
}

void install_apps(AppConsole& app) {
    log_header("Install applications");
    check_installed_packages(app);
    apt_install(app, release_application_packages(app.release), true, true);
    if (app.release.webp_loader == WebpLoader::shipped_deb) {
        apt_install_from_deb(app, "webp-pixbuf-loader", webp_loader_deb_pattern);
    }
}

void install_deb_get(AppConsole& app) {
    log_header("Install Deb-get");
    if (deb_get_installed(app)) {
        log_msg("Already installed");
        return;
    }
    apt_install(app, deb_get_prerequisites, true, true);
    wait_for_package_lock();
    if (run(deb_get_installer_command()) != 0) log_error("Failed to download");
}

namespace {

// An earlier version's source names Volian's retired suite, on which every update fails. True
// when it was there.
bool remove_retired_nala_source() {
    if (!file_exists(nala_retired_files.front())) return false;
    for (const auto& path : nala_retired_files) backup_system_file(path);
    if (run(remove_files_command(nala_retired_files)) != 0) {
        log_error("Failed to remove: " + nala_retired_files.front());
    }
    return true;
}

// Volian's repository with its key and pin; false when a file could not be copied or apt could
// not fetch it.
bool add_nala_source(AppConsole& app) {
    const FileCopy& source = nala_files[2];
    const bool existed = file_exists(source.dst);
    for (const auto& file : nala_files) {
        if (copy_file(file.src, file.dst, true) != 0) {
            log_error("Failed to install file: " + std::string(file.dst));
            return false;
        }
    }
    log_msg(done_or_would("Added repository", "Would add the repository"));
    std::vector<std::string> files;
    if (!existed) {
        files = {std::string(source.dst), std::string(nala_files[0].dst),
                 std::string(nala_files[1].dst)};
    }
    return use_added_source(app, "the Nala repository", files);
}

}  // namespace

void install_nala(AppConsole& app) {
    log_header("Install Nala");
    const bool retired = !app.release.nala_in_archive && remove_retired_nala_source();
    if (nala_installed(app) && !retired) {
        log_msg("Already installed");
        return;
    }
    if (!app.release.nala_in_archive && !add_nala_source(app)) return;
    apt_install(app, "nala", true, true);
}

void install_appimagelauncher(AppConsole& app) {
    log_header("Install AppImageLauncher");
    // AppImages are FUSE 2 programs: without the library they do not start, launcher or not.
    apt_install(app, app.release.fuse2_package, true, true);
    if (!app.release.appimagelauncher_installs) {
        log_msg("AppImageLauncher is left out: its package does not install on Ubuntu " +
                std::string(app.release.version) + ".");
        return;
    }
    if (!install_downloaded_deb(app, "appimagelauncher", appimagelauncher_download)) return;

    const std::string config_path = app.user_home + "/.config/appimagelauncher.cfg";
    if (auto parent = file_parent(config_path)) dir_create(*parent);
    if (!file_write(config_path, appimagelauncher_config)) {
        log_error("Failed to install file: " + config_path);
        return;
    }
    const std::string applications_dir = app.user_home + "/Applications";
    backup_created_path(applications_dir);
    if (!dir_create(applications_dir)) {
        log_error("Failed to create directory: " + applications_dir);
    }
}

void install_flatpak(AppConsole& app) {
    log_header("Install Flatpak support");
    install_unless_present(app, "flatpak", "flatpak");
    // The remote is added on every pass: --if-not-exists makes that cheap, and a remote that
    // failed last time gets another chance.
    if (!cmd_exists("flatpak")) {
        log_error("Command 'flatpak' not found");
        return;
    }
    if (flathub_added()) return;
    if (run(flathub_remote_command()) != 0) log_error("Failed to add flatpak remote: flathub");
}

void install_snapd(AppConsole& app) {
    log_header("Install Snap support");
    // The removal step may have purged snapd in this same pass.
    check_installed_packages(app);
    install_unless_present(app, "snapd", "snapd");
}

void install_zram_tools(AppConsole& app) {
    log_header("Install Zram tools");
    install_unless_present(app, "zram-tools", "zram-tools");
    if (pkg_is_installed(app, "zram-config")) apt_remove(app, "zram-config");

    if (zram_settings_in_place()) return;
    const std::string path(zramswap_path);
    backup_system_file(path);
    if (!edit_file(path, zram_commands(path), true)) log_error("Failed to update file: " + path);
}

void install_libreoffice(AppConsole& app) {
    log_header("Install latest LibreOffice");
    check_installed_packages(app);
    if (libreoffice_installed(app)) {
        log_msg("Already installed");
        return;
    }
    if (!libreoffice_source_added() &&
        !add_ppa(app, "ppa:libreoffice/ppa", "the LibreOffice PPA")) {
        return;
    }
    // Installed already from the release archive: the new source must still upgrade it.
    apt_install(app, libreoffice_packages, true, false);
    apt_remove(app, libreoffice_removals);
}

void install_updates(AppConsole& app) {
    log_header("Install Updates");
    apt_update(app);
    // A failed upgrade does not stop the steps that remain (they do not need it), but the pass
    // ends with an error: the machine is not up to date, or has broken packages.
    for (const bool full : {false, true}) {
        log_header(full ? "Install updates: apt full-upgrade" : "Install updates: apt upgrade");
        // Asked first (no root needed): an up-to-date machine gets no upgrade run at all.
        if (!upgrade_pending(full)) {
            log_msg("Already up-to-date");
            continue;
        }
        wait_for_package_lock();
        run_or_report(apt_upgrade_command(full), "Installing the updates failed");
        run_refresh(sync_command);
    }
}

void disable_apt_news() {
    if (!apt_news_off()) run(apt_news_off_command);
}

void install_variety(AppConsole& app) {
    log_header("Install Variety");
    install_unless_present(app, "variety", variety_packages);
    if (variety_link_in_place(app)) return;
    const std::string link_path = variety_link_path(app);
    if (auto parent = file_parent(link_path)) dir_create(*parent);
    dir_create(app.user_home + "/.config/variety/Favorites");
    backup_created_path(link_path);
    if (run(variety_link_command(link_path)) != 0) {
        log_error("Failed to link the Variety favourites to " + link_path);
    }
}
