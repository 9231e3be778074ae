// Package lists, files, downloads and command lines of the package steps (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ReleaseProfile;

// ---- package lists ----------------------------------------------------------------------

/// What the wizard itself needs; installed without eatmydata because it brings eatmydata.
extern const std::string_view dependency_packages;
/// The main application list, passed whole to apt (names may repeat).
extern const std::string_view application_packages;

/// What deb-get's installer calls before it can install anything: jq reads GitHub's answers,
/// lsb_release and distro-info name the release, curl and wget download.
inline constexpr std::string_view deb_get_prerequisites =
    "jq lsb-release curl wget distro-info-data";
/// The WebP image loader's package file in the data folder, where the release's archive has none.
inline constexpr std::string_view webp_loader_deb_pattern = "./debs/webp-pixbuf-loader_*.deb";

/// The wallpaper changer and the indicator library its tray icon needs.
inline constexpr std::string_view variety_packages = "variety gir1.2-ayatanaappindicator3-0.1";

/// The dependency list of `release`: its names swapped, its extra dependencies added.
std::string release_dependency_packages(const ReleaseProfile& release);
/// The application list of `release`, its names swapped, with the WebP loader where the
/// release's archive has it.
std::string release_application_packages(const ReleaseProfile& release);

/// What the package check simulates before the first change.
struct PackageCheckPlan {
    /// Blank-separated lists from the release's archive, one apt run each.
    std::vector<std::string> lists;
    /// What comes from a source the run adds later and so cannot be checked now, one item
    /// each ("firefox (ppa:mozillateam/firefox-next)").
    std::vector<std::string> left_out;
};
/// The archive installs of a wizard pass on `release` with the chosen `web_browser`, leaving
/// out those of the steps (tags) `skipped`.
PackageCheckPlan package_check_plan(const ReleaseProfile& release, std::string_view web_browser,
                                    const std::vector<std::string>& skipped = {});

/// The office suite from its PPA, and the parts of it the wizard removes.
inline constexpr std::string_view libreoffice_packages =
    "libreoffice-writer libreoffice-calc libreoffice-impress";
inline constexpr std::string_view libreoffice_removals = "libreoffice-base libreoffice-math";

// ---- files that come with the program or are downloaded ---------------------------------

struct FileCopy {
    std::string_view src;
    std::string_view dst;
};
/// The Nala repository's keyring, preferences and source file, in the order they are copied (a
/// source never names a key that is not there yet).
extern const FileCopy nala_files[3];
/// What earlier versions installed for Volian's retired "scar" suite: source, pin, keyring.
extern const std::vector<std::string> nala_retired_files;

struct Download {
    /// The file's name; it is downloaded into the private workspace, never the data folder,
    /// which the installed program cannot write.
    std::string_view file;
    std::string_view url;
};
extern const Download appimagelauncher_download;
/// Settings of the AppImage integration tool; begins with an empty line.
extern const std::string_view appimagelauncher_config;

// ---- command lines ----------------------------------------------------------------------

inline constexpr std::string_view extra_repositories_command =
    "sudo add-apt-repository -y universe multiverse";
inline constexpr std::string_view snap_list_command = "snap list";
/// The office PPA's source file, without its ".list" or ".sources" suffix.
inline constexpr std::string_view libreoffice_source_pattern = "libreoffice-ubuntu-ppa-*";
inline constexpr std::string_view apt_news_off_command = "sudo pro config set apt_news=false";
/// Adds Flathub unless it is there.
std::string flathub_remote_command();
/// Prints "apt_news True" or "apt_news False"; no root needed.
inline constexpr std::string_view apt_news_show_command = "pro config show apt_news";
/// Fetches the deb-get installer and runs it only when the whole download succeeded: an HTTP
/// error or a cut connection gives curl's non-zero status instead of a half script run.
std::string deb_get_installer_command();

/// The user's data folder of snap `snap_name`, "<home>/snap/<snap_name>"; nullopt when the
/// home is not a usable absolute folder, so that an unresolved home never turns into "/snap".
std::optional<std::string> home_snap_data_dir(std::string_view user_home,
                                              std::string_view snap_name);
/// "sudo snap remove <snap_name>".
std::string snap_remove_command(std::string_view snap_name);
/// "wget -O '<path>' '<url>'": a partial file from an earlier failed try is overwritten.
std::string download_command(std::string_view path, std::string_view url);
/// The three "sudo sed -i" edits that turn ALGO, PERCENT and PRIORITY on, in this order.
std::vector<std::string> zram_commands(std::string_view config_path);
/// The zram settings text `config` as those edits leave it.
std::string zram_settings_text(std::string_view config);
/// Links `link_path` to the Variety favourites folder; "~" stays unquoted for the shell, and
/// an existing link is replaced instead of being followed into the folder it points at.
std::string variety_link_command(std::string_view link_path);

// ---- decisions --------------------------------------------------------------------------

/// True when "pro config show apt_news" (or "pro config show") says the news are off.
bool apt_news_is_off(std::string_view pro_output);
/// True when "snap list" printed more than its heading line (more than two pieces at "\n").
bool snap_list_has_snaps(std::string_view snap_list_output);
/// True when "snap list" has a line for `snap_name`.
bool snap_list_has(std::string_view snap_list_output, std::string_view snap_name);
/// The default applications to purge, led by "snapd" when snaps are still listed and by a
/// blank otherwise; without Thunderbird where it is a snap (apt would do nothing).
std::string default_apps_removal_list(bool snaps_listed, bool thunderbird_is_snap);
