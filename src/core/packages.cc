#include "core/packages.h"

#include "core/app_console.h"
#include "core/backup.h"
#include "core/packages_data.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"

using namespace Velkor;

namespace {

std::function<bool(std::string_view)> installed_lookup(const AppConsole& app) {
    return [&app](std::string_view name) { return app.packages.installed(name); };
}

}  // namespace

bool Packages::installed(std::string_view package_name) const {
    return lookup_.count(std::string(package_name)) > 0;
}

void Packages::replace(std::vector<std::string> names) {
    names_ = std::move(names);
    lookup_ = {names_.begin(), names_.end()};
    for (const auto& name : pretended_removed_) lookup_.erase(name);
    lookup_.insert(pretended_installed_.begin(), pretended_installed_.end());
}

void Packages::pretend(const std::vector<std::string>& names, bool installed) {
    for (const auto& name : names) {
        (installed ? pretended_installed_ : pretended_removed_).insert(name);
        (installed ? pretended_removed_ : pretended_installed_).erase(name);
        if (installed) {
            lookup_.insert(name);
        } else {
            lookup_.erase(name);
        }
    }
}

void apt_install(AppConsole& app, std::string_view packages, bool use_eatmydata,
                 bool skip_if_installed) {
    const std::string cmd = apt_install_command(packages, use_eatmydata);
    if (skip_if_installed) {
        const auto missing = first_missing_package(packages, installed_lookup(app));
        if (!missing) {
            log_msg("Nothing to install");
            return;
        }
        log_debug("not_installed: '" + *missing + "'");
    }
    run_package_command(cmd);
    if (dry_run()) app.packages.pretend(package_names(packages), true);
}

void apt_remove(AppConsole& app, std::string_view packages) {
    const auto present = first_installed_package(packages, installed_lookup(app));
    if (!present) {
        log_msg("Nothing to remove");
        return;
    }
    log_debug("is_installed: " + *present);
    run_package_command(apt_remove_command(packages));
    if (dry_run()) app.packages.pretend(package_names(packages), false);
}

void apt_update() {
    log_header("Refresh package information");
    run(apt_update_command());
    run(sync_command);
}

void add_ppa(std::string_view ppa) {
    backup_system_file(sources_list_path);
    run_package_command(add_ppa_command(ppa));
}

void apt_install_from_deb(AppConsole& app, std::string_view package_name,
                          std::string_view deb_file) {
    if (app.packages.installed(package_name)) return;
    run_package_command(apt_install_deb_command(deb_file));
    if (dry_run()) app.packages.pretend({std::string(package_name)}, true);
}

void deb_get_install(std::string_view packages) {
    run_package_command(deb_get_install_command(packages));
}

std::vector<std::string> check_installed_packages(AppConsole& app) {
    ExecOutput output;
    // Some 2,000 names on a desktop, read again after every install: the log keeps the count.
    output.log_summary = [](const std::string& listing) {
        return std::to_string(parse_dpkg_query(listing).size()) + " packages installed";
    };
    // On failure the previous list stays: an empty one would make every package look missing.
    if (run_read(dpkg_query_command, RunMode::captured, &output) != 0) return {};
    std::vector<std::string> names = parse_dpkg_query(output.std_out.value_or(""));
    app.packages.replace(names);
    log_debug("installed_packages: " + std::to_string(app.packages.size()));
    return names;
}

bool pkg_is_installed(AppConsole& app, std::string_view package_name) {
    if (app.packages.empty()) check_installed_packages(app);
    return app.packages.installed(package_name);
}
