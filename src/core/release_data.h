// The supported Ubuntu releases and what differs between them, as one table (pure). A step
// asks the run's profile (`AppConsole::release`) instead of comparing version numbers, so that
// the next release is one row, its extension folder and its tests.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// A name of the shared package lists that a release lacks or calls otherwise.
struct PackageSwap {
    std::string_view name;
    /// What stands in its place: one or more names, or "" to leave it out.
    std::string_view replacement;
};

/// Where the Firefox deb comes from.
enum class FirefoxSource {
    /// ppa:mozillateam/firefox-next, with its pin.
    team_ppa,
    /// The browser maker's own APT repository, with its keyring and pin.
    maker_repository,
};

/// Where the WebP image loader comes from.
enum class WebpLoader {
    /// The package file in the data folder ("debs/"): the release's archive has none.
    shipped_deb,
    /// The release's archive.
    archive,
    /// Not installed: the release's GNOME reads WebP images itself.
    none,
};

struct ReleaseProfile {
    /// VERSION_ID, e.g. "24.04".
    std::string_view version = {};
    /// VERSION_CODENAME, the suite of third-party sources, e.g. "noble".
    std::string_view codename = {};
    /// The major version of the release's GNOME Shell.
    int gnome_shell = 0;
    /// The data folder with the extensions built for that shell.
    std::string_view extensions_folder = {};
    /// Extensions (UUIDs) that have no build for that shell: not installed, not enabled, not
    /// demanded by the data check.
    std::span<const std::string_view> extensions_without_build = {};
    /// Applied to every shared package list (dependencies, applications, extra software).
    std::span<const PackageSwap> package_swaps = {};
    /// Installed with the dependencies: what the release no longer brings but the wizard's
    /// settings need (the terminal the profile, the favourite and Guake's settings are for).
    std::string_view extra_dependencies = {};
    /// Nala is in the release's own archive: no third-party repository, key or pin.
    bool nala_in_archive = false;
    /// Thunderbird comes as a snap: it is removed with snap, not apt.
    bool thunderbird_is_snap = false;
    /// Default video players besides Totem that the default-applications step maps to VLC
    /// (desktop file names, blank-separated).
    std::string_view extra_video_players = {};
    /// Steam comes as "steam-installer" and needs the i386 architecture.
    bool steam_installer = false;
    FirefoxSource firefox_source = FirefoxSource::team_ppa;
    /// The XanMod repository publishes kernels for this codename.
    bool xanmod_published = false;
    /// The AppImageLauncher .deb installs on this release.
    bool appimagelauncher_installs = true;
    /// deb-get offers LibreWolf for this release.
    bool librewolf_from_deb_get = true;
    /// Settings that the release's GNOME and the extension builds for it no longer have:
    /// absolute key paths, and folders (ending in "/") left out whole. Never loaded there.
    std::span<const std::string_view> settings_left_out = {};
    /// Where the release's Guake reads its settings, until an installed Guake's schema says.
    std::string_view guake_settings_folder = "/apps/guake/";
    /// gedit takes a colour scheme for each of the light and dark variants instead of one
    /// "scheme" (gedit 48).
    bool gedit_scheme_per_variant = false;
    /// The FUSE 2 library AppImages need, under the release's name for it.
    std::string_view fuse2_package = "libfuse2t64";
    WebpLoader webp_loader = WebpLoader::archive;
};

/// Every supported release, oldest first.
std::span<const ReleaseProfile> release_profiles();
/// The profile of VERSION_ID `version`; nullopt for a release the program does not support.
std::optional<ReleaseProfile> find_release(std::string_view version);
/// The supported VERSION_IDs, oldest first.
std::vector<std::string> supported_versions();
/// `packages` (blank-separated) with the release's swaps applied name by name; the order and
/// the blanks of the other names are kept, so a list the release does not touch is unchanged.
std::string release_packages(const ReleaseProfile& release, std::string_view packages);
/// True on GNOME 47 and later, where font hinting only applies with font-rendering='manual'.
bool needs_manual_font_rendering(const ReleaseProfile& release);
