#include "core/release_data.h"

namespace {

// GNOME 42 and 43 builds of the system monitor extension need the two introspection packages;
// the older indicator library is gone from 24.04 on (its successor comes with Variety).
constexpr PackageSwap noble_swaps[] = {
    {"libappindicator1", ""},
    {"gir1.2-clutter-1.0", ""},
    {"gir1.2-gtop-2.0", ""},
    {"steam", "steam-installer"},
};
constexpr PackageSwap resolute_swaps[] = {
    {"libappindicator1", ""},     {"gir1.2-clutter-1.0", ""},     {"gir1.2-gtop-2.0", ""},
    {"steam", "steam-installer"}, {"neofetch", "fastfetch"},      {"p7zip", ""},
    {"p7zip-full", ""},           {"p7zip-rar", "7zip 7zip-rar"},
};

// Settings that GNOME 46 and later lack: GNOME's own System Monitor took the system-monitor
// folder, with other keys; dash-to-panel v66 and Extension List 46 dropped or retyped these; gedit
// 43 dropped the overview map and the metagedit plugin. The first, gedit 48's single "scheme"
// (one per variant now), is gone from 26.04 only: 24.04 takes the list after it.
constexpr std::string_view settings_left_out_since_46[] = {
    "/org/gnome/gedit/preferences/editor/scheme",
    "/org/gnome/shell/extensions/dash-to-panel/available-monitors",
    "/org/gnome/shell/extensions/dash-to-panel/primary-monitor",
    "/org/gnome/shell/extensions/dash-to-panel/show-appmenu",
    "/org/gnome/shell/extensions/extension-list/hide-disabled",
    "/org/gnome/shell/extensions/system-monitor/",
    "/org/gnome/gedit/preferences/editor/display-overview-map",
    "/org/gnome/gedit/plugins/metagedit/",
};

constexpr std::string_view noble_without_build[] = {"transparent-top-bar@ftpix.com"};
constexpr std::string_view resolute_without_build[] = {"tophat@fflewddur.github.io"};

constexpr ReleaseProfile profiles[] = {
    {
        .version = "22.04",
        .codename = "jammy",
        .gnome_shell = 42,
        .extensions_folder = "extensions_22.04",
        .fuse2_package = "libfuse2",
        .webp_loader = WebpLoader::shipped_deb,
    },
    {
        .version = "22.10",
        .codename = "kinetic",
        .gnome_shell = 43,
        .extensions_folder = "extensions_22.10",
        .librewolf_from_deb_get = false,
        .fuse2_package = "libfuse2",
    },
    {
        .version = "24.04",
        .codename = "noble",
        .gnome_shell = 46,
        .extensions_folder = "extensions_24.04",
        .extensions_without_build = noble_without_build,
        .package_swaps = noble_swaps,
        .nala_in_archive = true,
        .thunderbird_is_snap = true,
        .steam_installer = true,
        .xanmod_published = true,
        .settings_left_out = std::span(settings_left_out_since_46).subspan(1),
        .guake_settings_folder = "/org/guake/",
    },
    {
        .version = "26.04",
        .codename = "resolute",
        .gnome_shell = 50,
        .extensions_folder = "extensions_26.04",
        .extensions_without_build = resolute_without_build,
        .package_swaps = resolute_swaps,
        .extra_dependencies = "gnome-terminal",
        .nala_in_archive = true,
        .thunderbird_is_snap = true,
        .extra_video_players = "org.gnome.Showtime.desktop",
        .steam_installer = true,
        .firefox_source = FirefoxSource::maker_repository,
        .xanmod_published = true,
        .appimagelauncher_installs = false,
        .librewolf_from_deb_get = false,
        .settings_left_out = settings_left_out_since_46,
        .guake_settings_folder = "/org/guake/",
        .gedit_scheme_per_variant = true,
        .webp_loader = WebpLoader::none,
    },
};

}  // namespace

std::span<const ReleaseProfile> release_profiles() { return profiles; }

std::optional<ReleaseProfile> find_release(std::string_view version) {
    for (const auto& profile : profiles) {
        if (profile.version == version) return profile;
    }
    return std::nullopt;
}

std::vector<std::string> supported_versions() {
    std::vector<std::string> versions;
    for (const auto& profile : profiles) versions.emplace_back(profile.version);
    return versions;
}

std::string release_packages(const ReleaseProfile& release, std::string_view packages) {
    if (release.package_swaps.empty()) return std::string(packages);
    std::string result;
    std::string word;
    // A swap that drops a name also drops the blank before it, so no doubled blanks appear.
    const auto flush = [&] {
        if (word.empty()) return;
        std::string_view replacement = word;
        for (const auto& swap : release.package_swaps) {
            if (swap.name == word) replacement = swap.replacement;
        }
        if (replacement.empty()) {
            while (!result.empty() && result.back() == ' ') result.pop_back();
        } else {
            if (!result.empty() && result.back() != ' ') result += ' ';
            result += replacement;
        }
        word.clear();
    };
    for (const char c : packages) {
        if (c == ' ') {
            flush();
            result += ' ';
        } else {
            word += c;
        }
    }
    flush();
    return result;
}

bool needs_manual_font_rendering(const ReleaseProfile& release) {
    return release.gnome_shell >= 47;
}
