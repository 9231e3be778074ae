#include "core/packages.h"

#include <algorithm>

#include "core/app_console.h"
#include "core/package_lock.h"
#include "core/packages_data.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

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
                 bool skip_if_installed, Questions questions) {
    const std::string cmd = apt_install_command(packages, use_eatmydata, questions);
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

void apt_install_from_deb(AppConsole& app, std::string_view package_name,
                          std::string_view deb_file) {
    if (app.packages.installed(package_name)) return;
    run_package_command(apt_install_deb_command(deb_file));
    if (dry_run()) app.packages.pretend({std::string(package_name)}, true);
}

void deb_get_install(std::string_view packages, Questions questions) {
    const bool has_token = !env_value("DEBGET_TOKEN").value_or("").empty();
    run_package_command(deb_get_install_command(packages, questions, has_token));
}

namespace {

std::vector<std::string> read_installed_packages(AppConsole& app, std::string_view cmd) {
    ExecOutput output;
    // Some 2,000 names on a desktop, read again after every install: the log keeps the count.
    output.log_summary = [](const std::string& listing) {
        return std::to_string(parse_dpkg_query(listing).size()) + " packages installed";
    };
    // On failure the previous list stays: an empty one would make every package look missing.
    if (run_read(cmd, RunMode::captured, &output) != 0) return {};
    std::vector<std::string> names = parse_dpkg_query(output.std_out.value_or(""));
    app.packages.replace(names);
    log_debug("installed_packages: " + std::to_string(app.packages.size()));
    return names;
}

}  // namespace

std::vector<std::string> check_installed_packages(AppConsole& app) {
    return read_installed_packages(app, dpkg_query_command);
}

void check_installed_packages_as_user(AppConsole& app) {
    read_installed_packages(app, dpkg_query_user_command);
}

bool pkg_is_installed(AppConsole& app, std::string_view package_name) {
    if (app.packages.empty()) check_installed_packages(app);
    return app.packages.installed(package_name);
}

std::vector<std::string> flatpak_remote_names() {
    if (!cmd_exists("flatpak")) return {};
    ExecOutput output;
    if (run_read(flatpak_remotes_command, RunMode::captured, &output) != 0) return {};
    return parse_dpkg_query(output.std_out.value_or(""));
}

bool packages_installed(const AppConsole& app, std::string_view packages) {
    return !first_missing_package(packages, installed_lookup(app));
}

bool packages_absent(const AppConsole& app, std::string_view packages) {
    return !first_installed_package(packages, installed_lookup(app));
}

namespace {

// apt's simulation of one list. Some apt versions stop at the first unknown name, so the
// simulation runs again without the names already found until apt finds no new one.
AptSimulation simulate_install(std::string_view packages) {
    AptSimulation result;
    std::vector<std::string> names = package_names(packages);
    while (!names.empty()) {
        const std::string list = string_join(names, " ");
        ExecOutput output;
        const int code = run_read(apt_simulate_command(list), RunMode::captured, &output);
        if (code == 0) break;
        const AptSimulation found =
            parse_apt_simulation(output.std_out.value_or("") + "\n" + output.std_err.value_or(""));
        if (found.missing.empty()) {
            result.other_errors = found.other_errors;
            if (result.other_errors.empty()) {
                result.other_errors.push_back(
                    command_status_text(apt_simulate_command(list), code));
            }
            break;
        }
        for (const auto& name : found.missing) {
            std::erase(names, name);
            result.missing.push_back(name);
        }
    }
    return result;
}

}  // namespace

bool check_packages_available(const AppConsole& app, std::span<const std::string> lists) {
    std::vector<std::string> missing;
    std::vector<std::string> other_errors;
    size_t count = 0;
    for (const auto& list : lists) {
        count += package_names(list).size();
        AptSimulation found = simulate_install(list);
        for (auto& name : found.missing) {
            if (std::find(missing.begin(), missing.end(), name) == missing.end()) {
                missing.push_back(std::move(name));
            }
        }
        for (auto& line : found.other_errors) other_errors.push_back(std::move(line));
    }
    if (!missing.empty()) {
        ExecOutput policy;
        if (run_read(apt_policy_command, RunMode::captured, &policy) == 0 &&
            apt_policy_has_no_lists(policy.std_out.value_or(""))) {
            log_error("apt has no package lists (offline?): the packages cannot be checked.");
            log_msg("Connect to the network and run \"sudo apt update\", then run kelvane again.");
            return false;
        }
    }
    for (const auto& name : missing) log_error(missing_package_line(app.release.version, name));
    for (const auto& line : other_errors) log_error(line);
    if (!missing.empty() || !other_errors.empty()) return false;
    log_msg(package_check_passed_line(count));
    return true;
}

bool check_packages_available(const AppConsole& app, std::string_view packages) {
    const std::string list(packages);
    return check_packages_available(app, std::span<const std::string>(&list, 1));
}
