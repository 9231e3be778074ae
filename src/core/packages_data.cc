#include "core/packages_data.h"

#include "lib/files.h"

using namespace Velkor;

namespace {

// sudo-rs as well as sudo passes variables set through env; neither keeps ours by itself.
constexpr std::string_view unattended_env = "DEBIAN_FRONTEND=noninteractive NEEDRESTART_MODE=a ";
// apt itself waits this long for a lock taken between our check and its start.
const std::string lock_timeout =
    " -o DPkg::Lock::Timeout=" + std::to_string(package_lock_limit_seconds);
constexpr std::string_view keep_config_files =
    " -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold";

// `more_env`: further "NAME=value " assignments for the command.
std::string sudo_prefix(bool use_eatmydata, Questions questions, std::string_view more_env = "") {
    std::string env(questions == Questions::unattended ? unattended_env : "");
    env += more_env;
    std::string prefix = env.empty() ? "sudo " : "sudo env " + env;
    if (use_eatmydata) prefix += "eatmydata ";
    return prefix;
}

}  // namespace

std::string apt_install_command(std::string_view packages, bool use_eatmydata,
                                Questions questions) {
    const bool unattended = questions == Questions::unattended;
    return sudo_prefix(use_eatmydata, questions) + "apt install -y" + lock_timeout +
           (unattended ? std::string(keep_config_files) : "") + " --no-install-recommends " +
           std::string(packages);
}

std::string apt_remove_command(std::string_view packages) {
    return sudo_prefix(true, Questions::unattended) + "apt autoremove --purge -y" + lock_timeout +
           " " + std::string(packages);
}

std::string apt_update_command() {
    // Its output is read for the sources that fail: apt's own words, whatever the language.
    return sudo_prefix(true, Questions::unattended, "LC_ALL=C ") + "apt update" + lock_timeout;
}

std::string apt_upgrade_command(bool full) {
    return sudo_prefix(true, Questions::unattended) +
           (full ? "apt full-upgrade -y" : "apt upgrade -y") + lock_timeout +
           std::string(keep_config_files);
}

std::string upgrade_simulation_command(bool full) {
    return std::string("env LC_ALL=C apt-get -s ") + (full ? "dist-upgrade" : "upgrade");
}

bool simulation_changes_packages(std::string_view apt_output) {
    for (const auto& line : string_split(apt_output, "\n")) {
        if (line.starts_with("Inst ") || line.starts_with("Remv ")) return true;
    }
    return false;
}

std::string add_ppa_command(std::string_view ppa) {
    return "sudo eatmydata add-apt-repository -y -n " + std::string(ppa);
}

std::string apt_install_deb_command(std::string_view deb_file) {
    return sudo_prefix(true, Questions::unattended) + "apt install -y" + lock_timeout +
           std::string(keep_config_files) + " " + std::string(deb_file);
}

std::string deb_get_install_command(std::string_view packages, Questions questions,
                                    bool pass_token) {
    return sudo_prefix(true, questions, pass_token ? "DEBGET_TOKEN=\"$DEBGET_TOKEN\" " : "") +
           "deb-get install " + std::string(packages);
}

std::vector<int> parse_lock_holders(std::string_view fuser_output) {
    std::vector<int> pids;
    for (const auto& word : string_split(string_replace(fuser_output, "\n", " "), " ")) {
        const long pid = parse_leading_long(word);
        if (pid > 0) pids.push_back(static_cast<int>(pid));
    }
    return pids;
}

std::string lock_holder_text(std::string_view holder_name, int pid) {
    const std::string pid_text = "pid " + std::to_string(pid);
    return holder_name.empty() ? pid_text : std::string(holder_name) + ", " + pid_text;
}

std::string lock_wait_text(std::string_view holder_name, int pid, int minutes) {
    return "Waiting for another package manager (" + lock_holder_text(holder_name, pid) +
           ") to finish… " + std::to_string(minutes) + " min";
}

namespace {

// The stripped, non-empty pieces of `text` between `separator`s.
std::vector<std::string> names_between(std::string_view text, std::string_view separator) {
    std::vector<std::string> names;
    for (const auto& piece : string_split(text, separator)) {
        std::string name = string_strip(piece);
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

std::optional<std::string> first_with_state(
    std::string_view packages, const std::function<bool(std::string_view)>& is_installed,
    bool installed) {
    for (auto& name : package_names(packages)) {
        if (is_installed(name) == installed) return std::move(name);
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> package_names(std::string_view packages) {
    return names_between(packages, " ");
}

std::optional<std::string> first_missing_package(
    std::string_view packages, const std::function<bool(std::string_view)>& is_installed) {
    return first_with_state(packages, is_installed, false);
}

std::optional<std::string> first_installed_package(
    std::string_view packages, const std::function<bool(std::string_view)>& is_installed) {
    return first_with_state(packages, is_installed, true);
}

std::vector<std::string> parse_dpkg_query(std::string_view output) {
    return names_between(output, "\n");
}

std::string copy_target_dir(std::string_view dst) {
    if (!dst.empty() && dst.back() == '/') return std::string(dst);
    return file_parent(dst).value_or("/");
}

std::string mkdir_command(std::string_view prefix, std::string_view dir) {
    return (prefix.empty() ? "" : std::string(prefix) + " ") + "mkdir -p " + shell_quote(dir);
}

std::string copy_command(std::string_view prefix, std::string_view src, std::string_view dst) {
    return (prefix.empty() ? "" : std::string(prefix) + " ") + "cp -rf " + std::string(src) + " " +
           shell_quote(dst);
}

std::string keyring_install_command(const SignedSource& source) {
    return "sudo install -d -m 0755 /etc/apt/keyrings && key=$(wget -qO - " +
           shell_quote(source.key_url) +
           ") && printf '%s\\n' \"$key\" | sudo gpg --dearmor --yes -o " +
           shell_quote(source.keyring_path);
}

std::string signed_source_text(const SignedSource& source) {
    return "Types: deb\nURIs: " + std::string(source.uri) +
           "\nSuites: " + std::string(source.suite) +
           "\nComponents: " + std::string(source.components) +
           "\nSigned-By: " + std::string(source.keyring_path) + "\n";
}

std::string sudo_write_command(std::string_view text, std::string_view path) {
    return "printf '%s' " + shell_quote(text) + " | sudo tee " + shell_quote(path) + " >/dev/null";
}

std::string dconf_load_command(std::string_view payload_path) {
    return "dconf load -f / < " + shell_quote(payload_path);
}

std::string source_added_test_command(std::string_view name_pattern) {
    // The pattern stays unquoted for the shell to expand; a pattern that matches nothing stays
    // as it is and fails the test.
    const std::string base = "/etc/apt/sources.list.d/" + std::string(name_pattern);
    return "for f in " + base + ".list " + base +
           ".sources; do test -f \"$f\" && exit 0; done; exit 1";
}

std::string apt_simulate_command(std::string_view packages) {
    return "env LC_ALL=C apt-get -s install " + std::string(packages);
}

namespace {

// The text between `before` and `after` on `line`, when the line is exactly that.
std::optional<std::string> between(std::string_view line, std::string_view before,
                                   std::string_view after) {
    if (line.size() <= before.size() + after.size() || !line.starts_with(before) ||
        !line.ends_with(after)) {
        return std::nullopt;
    }
    return std::string(line.substr(before.size(), line.size() - before.size() - after.size()));
}

}  // namespace

AptSimulation parse_apt_simulation(std::string_view output) {
    AptSimulation result;
    const auto add_missing = [&](std::string name) {
        for (const auto& known : result.missing) {
            if (known == name) return;
        }
        result.missing.push_back(std::move(name));
    };
    for (const auto& raw : string_split(output, "\n")) {
        const std::string line = string_strip(raw);
        if (auto name = between(line, "E: Unable to locate package ", "")) {
            add_missing(*name);
        } else if (auto quoted = between(line, "E: Package '", "' has no installation candidate")) {
            add_missing(*quoted);
        } else if (auto plain = between(line, "Package ", " has no installation candidate")) {
            add_missing(*plain);
        } else if (line.starts_with("E: Couldn't find any package by ")) {
            // apt's retry of a dotted or "+" name as a pattern: the same name again.
        } else if (line.starts_with("E: ")) {
            result.other_errors.push_back(line.substr(3));
        }
    }
    return result;
}

bool apt_policy_has_no_lists(std::string_view policy_output) {
    // Each index apt read is a line "<priority> <uri> <suite>/<component> <arch> Packages".
    for (const auto& raw : string_split(policy_output, "\n")) {
        if (string_strip(raw).ends_with(" Packages")) return false;
    }
    return true;
}

std::string package_check_passed_line(size_t count) {
    if (count == 1) return "Package check: the package can be installed.";
    return "Package check: all " + std::to_string(count) + " packages can be installed.";
}

std::string missing_package_line(std::string_view version, std::string_view name) {
    return "Ubuntu " + std::string(version) + " has no package '" + std::string(name) + "'";
}
