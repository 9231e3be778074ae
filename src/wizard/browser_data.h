// The browser menu, the licence question and the browser sources (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/packages_data.h"
#include "wizard/package_steps_data.h"

struct Dialog;

inline constexpr std::string_view chrome_eula_title = "Google Chrome EULA";
extern const std::string_view chrome_eula_text;
/// The pin of the Mozilla team's PPA (22.04, 24.04).
extern const FileCopy firefox_preferences;
inline constexpr std::string_view firefox_ppa = "ppa:mozillateam/firefox-next";
/// The PPA's source file as add-apt-repository names it, without its suffix.
inline constexpr std::string_view firefox_ppa_source_pattern = "mozillateam-ubuntu-firefox-next-*";
/// The pin of Mozilla's own repository (26.04): it wins over the release archive.
extern const FileCopy firefox_maker_preferences;
extern const SignedSource firefox_maker_source;
/// The maker repository's source file, without its suffix: its own instructions use the name.
inline constexpr std::string_view firefox_maker_source_name = "mozilla";
extern const Download chrome_download;
/// The installed firefox package's version; the snap transitional package says "snap" in it.
inline constexpr std::string_view firefox_version_command = "dpkg-query -W -f '${Version}' firefox";

/// A web browser of the menu: everything the wizard needs to know of it, in one row.
struct Browser {
    std::string_view tag;
    std::string_view menu_text;
    /// Its desktop file without ".desktop": the dock's first favourite.
    std::string_view desktop_file;
    /// The package deb-get installs; "" for Chrome and Firefox, which the wizard installs.
    std::string_view deb_get_package = {};
    /// An address on the host it comes from, asked before the first change; "" for Firefox,
    /// whose host depends on the release.
    std::string_view download_url = {};
};
/// The browser of menu tag `tag`; nullptr for an unknown tag.
const Browser* find_browser(std::string_view tag);
/// The browser a pass installs for the menu tag `chosen`: Chrome without its licence accepted
/// gives Firefox.
std::string_view browser_to_install(std::string_view chosen, bool chrome_licence_accepted);
/// The deb-get package of a browser menu tag; nullopt for chrome, firefox and unknown tags.
std::optional<std::string> deb_get_browser_package(std::string_view web_browser);
/// True for the version of the package that only installs the browser's snap.
bool is_snap_transitional_version(std::string_view version);
/// The web-browser menu; LibreWolf only with `librewolf_offered`.
Dialog web_browser_dialog(bool librewolf_offered);
/// Why LibreWolf is refused on release `version` (one line).
std::string librewolf_unavailable_text(std::string_view version);
