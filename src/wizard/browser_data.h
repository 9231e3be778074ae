// The browser menu, the licence question and the browser sources (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "wizard/package_steps_data.h"

struct Dialog;

inline constexpr std::string_view chrome_eula_title = "Google Chrome EULA";
extern const std::string_view chrome_eula_text;
extern const FileCopy firefox_preferences;
extern const Download chrome_download;
/// The installed firefox package's version; the snap transitional package says "snap" in it.
inline constexpr std::string_view firefox_version_command = "dpkg-query -W -f '${Version}' firefox";

/// The deb-get package of a browser menu tag; nullopt for chrome, firefox and unknown tags.
std::optional<std::string> deb_get_browser_package(std::string_view web_browser);
/// True for the version of the package that only installs the browser's snap.
bool is_snap_transitional_version(std::string_view version);
/// The web-browser menu.
Dialog web_browser_dialog();
