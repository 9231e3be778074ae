// The exact command lines of the package and system operations (pure).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// The machine's main list of package sources.
inline constexpr std::string_view sources_list_path = "/etc/apt/sources.list";
/// The format argument is ${Package} and one line feed: one name per line.
inline constexpr std::string_view dpkg_query_command = "sudo dpkg-query -W -f '${Package}\n'";
/// The same query as the user: it needs no root, and a read-only run asks no password.
inline constexpr std::string_view dpkg_query_user_command = "dpkg-query -W -f '${Package}\n'";
inline constexpr std::string_view efibootmgr_command = "sudo efibootmgr";

/// Whether apt and dpkg may ask the user. Only the extra-software menu lets them (a licence
/// needs the user); everything else runs unattended: no questions, the default answers, and a
/// changed configuration file keeps the local version.
enum class Questions { unattended, asked };

/// The locks of dpkg and apt; fuser prints the process ids of their holders on stdout.
inline constexpr std::string_view package_lock_check_command =
    "sudo fuser /var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock";
/// How long a package command waits for another package manager: 20 minutes.
inline constexpr int package_lock_limit_seconds = 1200;

/// "sudo env DEBIAN_FRONTEND=noninteractive NEEDRESTART_MODE=a eatmydata apt install -y
/// <lock timeout> <keep configuration files> --no-install-recommends <packages>"; asked: "sudo
/// eatmydata apt install -y <lock timeout> --no-install-recommends <packages>".
std::string apt_install_command(std::string_view packages, bool use_eatmydata,
                                Questions questions = Questions::unattended);
std::string apt_remove_command(std::string_view packages);
/// "apt update" unattended, in the C locale.
std::string apt_update_command();
/// "apt upgrade -y", or with `full` "apt full-upgrade -y", unattended.
std::string apt_upgrade_command(bool full);
/// apt's simulation of that upgrade, in the C locale: no root needed, nothing changes.
std::string upgrade_simulation_command(bool full);
/// True when apt's simulation would install or remove a package (an "Inst " or "Remv " line);
/// packages kept back or deferred by phasing do not count.
bool simulation_changes_packages(std::string_view apt_output);
/// Adds the PPA without refreshing the package lists (apt_update does that, reading the result).
std::string add_ppa_command(std::string_view ppa);
std::string apt_install_deb_command(std::string_view deb_file);
/// With `pass_token` the user's DEBGET_TOKEN goes through sudo as a shell expansion, so that
/// the token itself never stands in the command line (nor in the log).
std::string deb_get_install_command(std::string_view packages, Questions questions,
                                    bool pass_token);
/// The process ids that fuser printed (digits, an access letter after them dropped); empty when
/// nothing holds the locks.
std::vector<int> parse_lock_holders(std::string_view fuser_output);
/// "<name>, pid <pid>", or "pid <pid>" when the name is "" (it could not be read).
std::string lock_holder_text(std::string_view holder_name, int pid);
/// "Waiting for another package manager (<lock_holder_text>) to finish… <minutes> min".
std::string lock_wait_text(std::string_view holder_name, int pid, int minutes);
/// Names of a blank-separated package list, each stripped; empty pieces dropped.
std::vector<std::string> package_names(std::string_view packages);
/// The first name of `packages` that `is_installed` rejects; nullopt when every name is
/// installed or the list holds no names ("Nothing to install").
std::optional<std::string> first_missing_package(
    std::string_view packages, const std::function<bool(std::string_view)>& is_installed);
/// The first name of `packages` that `is_installed` accepts; nullopt when none is ("Nothing to
/// remove").
std::optional<std::string> first_installed_package(
    std::string_view packages, const std::function<bool(std::string_view)>& is_installed);
/// The names printed by dpkg-query, one per line, stripped; empty lines dropped.
std::vector<std::string> parse_dpkg_query(std::string_view output);
/// Folder that copy_file makes sure of: `dst` itself when it ends with "/", else its parent.
std::string copy_target_dir(std::string_view dst);
/// "<prefix> mkdir -p '<dir>'" with the folder escaped.
std::string mkdir_command(std::string_view prefix, std::string_view dir);
/// "<prefix> cp -rf <src> '<dst>'": the source stays unquoted so the shell expands a
/// pattern; the destination is quoted and escaped.
std::string copy_command(std::string_view prefix, std::string_view src, std::string_view dst);
/// A test that succeeds when a file named `name_pattern` (a shell pattern without blanks or
/// suffix, e.g. "libreoffice-ubuntu-ppa-*") is in /etc/apt/sources.list.d in either form: one-line
/// ".list" (add-apt-repository before 24.04) or deb822 ".sources" (24.04 and later).
std::string source_added_test_command(std::string_view name_pattern);

/// apt's simulation of installing `packages`, in the C locale so that its messages can be
/// read: no root needed, nothing changes.
std::string apt_simulate_command(std::string_view packages);
/// The names of the Flatpak remotes, one a line; no root needed.
inline constexpr std::string_view flatpak_remotes_command = "flatpak remotes --columns=name";
/// The "apt-cache policy" listing, read to tell an empty package cache from missing names.
inline constexpr std::string_view apt_policy_command = "env LC_ALL=C apt-cache policy";

/// What apt's simulation said.
struct AptSimulation {
    /// Names apt does not know or has no candidate for, in apt's order, each once.
    std::vector<std::string> missing;
    /// apt's other "E:" lines, without the "E: ": a problem that is not one name's.
    std::vector<std::string> other_errors;
};
/// Reads apt-get's output ("E: Unable to locate package X", "Package X has no installation
/// candidate", "E: Package 'X' has no installation candidate").
AptSimulation parse_apt_simulation(std::string_view output);
/// True when "apt-cache policy" lists no package index besides dpkg's own status file: the
/// lists were never fetched (an offline first boot), so every name would look missing.
bool apt_policy_has_no_lists(std::string_view policy_output);
/// "Package check: all 12 packages can be installed.", or for one "the package can".
std::string package_check_passed_line(size_t count);
/// "Ubuntu 24.04 has no package 'libappindicator1'" (an error line: "E: " goes before it).
std::string missing_package_line(std::string_view version, std::string_view name);

/// A third-party APT repository with a key of its own: the key is dearmored into its own
/// keyring below /etc/apt/keyrings, and only the repository's deb822 source trusts it.
struct SignedSource {
    /// Where the ASCII-armoured key is downloaded from.
    std::string_view key_url;
    std::string_view keyring_path;
    /// The ".sources" file.
    std::string_view source_path;
    std::string_view uri;
    std::string_view suite;
    std::string_view components;
};
/// Downloads the key and dearmors it into the keyring; nothing is written when the download
/// fails (a pipe would hand gpg an empty key and report gpg's status).
std::string keyring_install_command(const SignedSource& source);
/// The deb822 stanza: Types, URIs, Suites, Components and Signed-By, one line each.
std::string signed_source_text(const SignedSource& source);
/// "printf '%s' '<text>' | sudo tee '<path>' >/dev/null", text and path escaped.
std::string sudo_write_command(std::string_view text, std::string_view path);

/// "dconf load -f / < '<payload_path>'" with the path escaped.
std::string dconf_load_command(std::string_view payload_path);
