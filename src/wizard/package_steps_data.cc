#include "wizard/package_steps_data.h"

#include <algorithm>
#include <utility>

#include "core/addresses_data.h"
#include "core/release_data.h"
#include "lib/files.h"
#include "wizard/browser_data.h"

using namespace Velkor;

const std::string_view dependency_packages =
    "curl wget eatmydata boxes tree pv fonts-firacode fonts-cascadia-code gedit dconf-cli";

// gir1.2-gmenu-3.0: the menu extension of the layouts reads the application menu through it.
const std::string_view application_packages =
    "gnome-shell-extensions gnome-shell-extension-manager gnome-tweaks gir1.2-gmenu-3.0 "
    "libappindicator1 gir1.2-gtop-2.0 gir1.2-nm-1.0 gir1.2-clutter-1.0 python3-gi "
    "gobject-introspection gir1.2-gtk-3.0 eatmydata boxes tree pv fonts-firacode "
    "fonts-cascadia-code gedit dconf-cli "
    "fish bash-completion command-not-found inotify-tools htop neofetch arch-install-scripts git "
    "xclip pocillo-icon-theme rsync rclone borgbackup dconf-editor gedit gedit-plugins vlc "
    "gparted synaptic ppa-purge aptitude lvm2 btrfs-progs btrfs-compsize cryptsetup mosh "
    "arp-scan heif-gdk-pixbuf zstd p7zip p7zip-full p7zip-rar pigz pbzip2 unrar unzip zip "
    "mscompress cabextract";

std::string release_dependency_packages(const ReleaseProfile& release) {
    std::string list = release_packages(release, dependency_packages);
    if (!release.extra_dependencies.empty()) list += " " + std::string(release.extra_dependencies);
    return list;
}

std::string release_application_packages(const ReleaseProfile& release) {
    std::string list = release_packages(release, application_packages);
    if (release.webp_loader == WebpLoader::archive) list += " webp-pixbuf-loader";
    return list;
}

PackageCheckPlan package_check_plan(const ReleaseProfile& release, std::string_view web_browser,
                                    const std::vector<std::string>& skipped) {
    const auto wanted = [&skipped](std::string_view tag) {
        return std::find(skipped.begin(), skipped.end(), tag) == skipped.end();
    };
    PackageCheckPlan plan;
    plan.lists.push_back(release_dependency_packages(release));
    if (wanted("apps")) plan.lists.push_back(release_application_packages(release));
    // The single-package steps share one apt run: they do not depend on one another. A skipped
    // step's packages are not asked for: a name the user skips for being missing must not stop
    // the pass.
    const std::pair<std::string_view, std::string> single_steps[] = {
        {"flatpak", "flatpak"},
        {"snap", "snapd"},
        {"guake", "guake"},
        {"zram", "zram-tools"},
        {"variety", std::string(variety_packages)},
        {"debget", std::string(deb_get_prerequisites)},
        {"appimagelauncher", std::string(release.fuse2_package)},
        {"nala", release.nala_in_archive ? "nala" : ""},
    };
    std::string rest;
    for (const auto& [tag, packages] : single_steps) {
        if (wanted(tag) && !packages.empty()) rest += (rest.empty() ? "" : " ") + packages;
    }
    if (!rest.empty()) plan.lists.push_back(std::move(rest));
    if (!release.nala_in_archive && wanted("nala"))
        plan.left_out.emplace_back("nala (the Nala repository)");
    if (wanted("debget")) plan.left_out.emplace_back("deb-get (its installer)");
    if (wanted("appimagelauncher") && release.appimagelauncher_installs)
        plan.left_out.emplace_back("appimagelauncher (a downloaded .deb)");
    if (wanted("apps") && release.webp_loader == WebpLoader::shipped_deb) {
        plan.left_out.emplace_back("webp-pixbuf-loader (a .deb in debs/)");
    }
    if (wanted("browser")) {
        if (web_browser == "chrome") {
            plan.left_out.emplace_back("google-chrome-stable (a downloaded .deb)");
        } else if (web_browser == "firefox") {
            plan.left_out.emplace_back("firefox (its own repository)");
        } else if (auto package = deb_get_browser_package(web_browser)) {
            plan.left_out.push_back(std::string(*package) + " (deb-get)");
        }
    }
    if (wanted("libreoffice"))
        plan.left_out.push_back(std::string(libreoffice_packages) + " (ppa:libreoffice/ppa)");
    return plan;
}

const FileCopy nala_files[3] = {
    {"./nala/volian-archive-keyring.gpg", "/etc/apt/keyrings/volian-archive-keyring.gpg"},
    {"./nala/volian-nala.pref", "/etc/apt/preferences.d/volian-nala.pref"},
    {"./nala/volian-nala.sources", "/etc/apt/sources.list.d/volian-nala.sources"},
};

const std::vector<std::string> nala_retired_files = {
    "/etc/apt/sources.list.d/volian-archive-scar-unstable.sources",
    "/etc/apt/preferences.d/volian-archive-scar-unstable.pref",
    "/usr/share/keyrings/volian-archive-scar-unstable.gpg",
};

const Download appimagelauncher_download = {
    "appimagelauncher_2.2.0-travis995.0f91801.bionic_amd64.deb", appimagelauncher_address.url};

// The script goes through a variable because a pipe's status is that of its last command:
// "curl | bash" reports success when the download failed and bash ran an empty script.
std::string deb_get_installer_command() {
    return "installer=$(curl -fsSL " + shell_quote(deb_get_installer_address.url) +
           ") && printf '%s\\n' \"$installer\""
           " | sudo env DEBIAN_FRONTEND=noninteractive NEEDRESTART_MODE=a bash -s install deb-get";
}

std::string flathub_remote_command() {
    return "sudo flatpak remote-add --if-not-exists flathub " + shell_quote(flathub_address.url);
}

std::optional<std::string> home_snap_data_dir(std::string_view user_home,
                                              std::string_view snap_name) {
    if (user_home.size() < 2 || user_home.front() != '/') return std::nullopt;
    return path_combine(path_combine(user_home, "snap"), snap_name);
}

std::string snap_remove_command(std::string_view snap_name) {
    return "sudo snap remove " + std::string(snap_name);
}

std::string download_command(std::string_view path, std::string_view url) {
    return "wget -O " + shell_quote(path) + " " + shell_quote(url);
}

namespace {

// Each line of the zram settings that holds `key` becomes `line`, in this order.
struct ZramSetting {
    std::string_view key;
    std::string_view line;
};
constexpr ZramSetting zram_settings[] = {
    {"ALGO=", "ALGO=zstd"}, {"PERCENT=", "PERCENT=50"}, {"PRIORITY=", "PRIORITY=100"}};

}  // namespace

std::vector<std::string> zram_commands(std::string_view config_path) {
    std::vector<std::string> commands;
    for (const auto& setting : zram_settings) {
        commands.push_back("sudo sed -i '/" + std::string(setting.key) + "/s/.*/" +
                           std::string(setting.line) + "/' " + shell_quote(config_path));
    }
    return commands;
}

std::string zram_settings_text(std::string_view config) {
    std::vector<std::string> lines = string_split(config, "\n");
    for (const auto& setting : zram_settings) {
        for (auto& line : lines) {
            if (string_contains(line, setting.key)) line = setting.line;
        }
    }
    return string_join(lines, "\n");
}

bool apt_news_is_off(std::string_view pro_output) {
    // "apt_news False" for the one key; the listing of every key pads the names with blanks.
    for (const auto& line : string_split(pro_output, "\n")) {
        const std::string text = string_strip(line);
        if (text.rfind("apt_news ", 0) != 0) continue;
        return string_lower(string_strip(text.substr(text.rfind(' ')))) == "false";
    }
    return false;
}

std::string variety_link_command(std::string_view link_path) {
    return "ln -sfn ~/.config/variety/Favorites " + shell_quote(link_path);
}

bool snap_list_has_snaps(std::string_view snap_list_output) {
    return string_split(snap_list_output, "\n").size() > 2;
}

bool snap_list_has(std::string_view snap_list_output, std::string_view snap_name) {
    for (const auto& line : string_split(snap_list_output, "\n")) {
        if (line.starts_with(std::string(snap_name) + " ")) return true;
    }
    return false;
}

std::string default_apps_removal_list(bool snaps_listed, bool thunderbird_is_snap) {
    std::string list = snaps_listed ? "snapd" : "";
    list += thunderbird_is_snap ? " simple-scan" : " thunderbird simple-scan";
    list += " deja-dup gnome-text-editor remmina";
    list += " aisleriot gnome-mahjongg gnome-mines gnome-sudoku";
    list += " rhythmbox totem";
    return list;
}

const std::string_view appimagelauncher_config =
    "\n"
    "[AppImageLauncher]\n"
    "ask_to_move=false\n"
    "destination=~/Applications\n"
    "enable_daemon=true\n"
    "\n"
    "[appimagelauncherd]\n"
    "additional_directories_to_watch=~/Applications\n"
    "monitor_mounted_filesystems=false\n";
