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
inline constexpr std::string_view efibootmgr_command = "sudo efibootmgr >/dev/null";

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
std::string apt_update_command();
/// "apt upgrade -y", or with `full` "apt full-upgrade -y", unattended.
std::string apt_upgrade_command(bool full);
std::string add_ppa_command(std::string_view ppa);
std::string apt_install_deb_command(std::string_view deb_file);
/// With `pass_token` the user's DEBGET_TOKEN goes through sudo as a shell expansion, so that
/// the token itself never stands in the command line (nor in the log).
std::string deb_get_install_command(std::string_view packages, Questions questions,
                                    bool pass_token);
/// The process ids that fuser printed (digits, an access letter after them dropped); empty when
/// nothing holds the locks.
std::vector<int> parse_lock_holders(std::string_view fuser_output);
/// "Waiting for another package manager (<name>, pid <pid>) to finish… <minutes> min".
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
/// The settings path of a payload's first section ("[org/gnome/x]" gives "/org/gnome/x/"),
/// for messages; "/" when it has none.
std::string payload_first_path(std::string_view payload);
/// "dconf load -f / < '<payload_path>'" with the path escaped.
std::string dconf_load_command(std::string_view payload_path);
