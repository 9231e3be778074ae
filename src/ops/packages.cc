// Package and system operations: every change to the machine goes through these.
#include "app/app_console.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "ops/package_commands.h"

using namespace Velkor;

namespace {

// Every command is logged before it runs, so a debug run shows what was executed.
int run(std::string_view cmd) {
    log_debug(cmd);
    return exec_posix(cmd);
}

std::function<bool(std::string_view)> installed_lookup(const AppConsole& app) {
    return [&app](std::string_view name) { return app.installed(name); };
}

}  // namespace

void AppConsole::exit_failed() {
    run(sync_command);
    exit_process(1);
}

bool AppConsole::installed(std::string_view package_name) const {
    return installed_set_.count(std::string(package_name)) > 0;
}

void AppConsole::set_installed_packages(std::vector<std::string> names) {
    installed_packages = std::move(names);
    installed_set_ = {installed_packages.begin(), installed_packages.end()};
}

// Runs a package-changing command: a failure ends the process, success is flushed to disk.
static void run_package_command(AppConsole& app, std::string_view cmd) {
    if (run(cmd) != 0) app.exit_failed();
    run(sync_command);
}

void AppConsole::apt_install(std::string_view packages, bool use_eatmydata,
                             bool skip_if_installed) {
    const std::string cmd = apt_install_command(packages, use_eatmydata);
    if (skip_if_installed) {
        const auto missing = first_missing_package(packages, installed_lookup(*this));
        if (!missing) {
            log_msg("Nothing to install");
            return;
        }
        log_debug("not_installed: '" + *missing + "'");
    }
    run_package_command(*this, cmd);
}

void AppConsole::apt_remove(std::string_view packages) {
    const auto present = first_installed_package(packages, installed_lookup(*this));
    if (!present) {
        log_msg("Nothing to remove");
        return;
    }
    log_debug("is_installed: " + *present);
    run_package_command(*this, apt_remove_command(packages));
}

void AppConsole::apt_update() {
    const std::string cmd = apt_update_command();
    log_header("Refresh package information");
    run(cmd);
    run(sync_command);
}

void AppConsole::add_ppa(std::string_view ppa) { run_package_command(*this, add_ppa_command(ppa)); }

void AppConsole::apt_install_from_deb(std::string_view package_name, std::string_view deb_file) {
    if (installed(package_name)) return;
    run_package_command(*this, apt_install_deb_command(deb_file));
}

void AppConsole::deb_get_install(std::string_view packages) {
    run_package_command(*this, deb_get_install_command(packages));
}

std::vector<std::string> AppConsole::check_installed_packages() {
    ExecOutput output;
    log_debug(dpkg_query_command);
    // On failure the previous list stays: an empty one would make every package look missing.
    if (exec_sync(dpkg_query_command, &output) != 0) return {};
    std::vector<std::string> names = parse_dpkg_query(output.std_out.value_or(""));
    set_installed_packages(names);
    log_debug("installed_packages: " + std::to_string(installed_packages.size()));
    return names;
}

bool AppConsole::pkg_is_installed(std::string_view package_name) {
    if (installed_packages.empty()) set_installed_packages(check_installed_packages());
    return installed(package_name);
}

int AppConsole::copy_file(std::string_view src, std::string_view dst, bool use_sudo) {
    const std::string_view prefix = use_sudo ? "sudo" : "";
    const std::string dir = copy_target_dir(dst);
    if (!path_exists(dir)) run(mkdir_command(prefix, dir));
    return run(copy_command(prefix, src, dst));
}

void AppConsole::dconf_load(std::string_view txt) {
    const std::string payload_path = get_temp_file_path(true);
    file_write(payload_path, txt);
    if (run(dconf_load_command(payload_path)) != 0) exit_process(1);
}

bool AppConsole::boot_mode_is_efi() {
    if (!cmd_exists("efibootmgr")) apt_install("efibootmgr", true, true);
    return run(efibootmgr_command) == 0;
}

void AppConsole::log_header(std::string_view message) {
    log_msg("\n" + draw_message_box_thin(message, -1, "┊"));
}
