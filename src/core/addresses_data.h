// Every address the program downloads from or adds as a package source, in one place (pure).
// When a vendor moves a file, its row changes here and the check of the download hosts before
// the first change follows.
#pragma once

#include <string_view>

/// A file or repository on the network, and what it serves, for the line that names a host
/// without an answer.
struct Address {
    std::string_view role;
    std::string_view url;
};

// ---- what every wizard pass downloads ------------------------------------------------------

inline constexpr Address libreoffice_ppa_address{
    "the LibreOffice and Firefox PPAs", "https://ppa.launchpadcontent.net/libreoffice/ppa/ubuntu/"};
inline constexpr Address appimagelauncher_address{
    "AppImageLauncher and the extension installer",
    "https://github.com/TheAssassin/AppImageLauncher/releases/download/v2.2.0/"
    "appimagelauncher_2.2.0-travis995.0f91801.bionic_amd64.deb"};
inline constexpr Address extension_installer_address{
    "AppImageLauncher and the extension installer",
    "https://github.com/brunelli/gnome-shell-extension-installer/raw/master/"
    "gnome-shell-extension-installer"};
inline constexpr Address deb_get_installer_address{
    "deb-get", "https://raw.githubusercontent.com/wimpysworld/deb-get/main/deb-get"};
inline constexpr Address flathub_address{"Flathub",
                                         "https://dl.flathub.org/repo/flathub.flatpakrepo"};

// ---- the browsers ----------------------------------------------------------------------------

/// What a browser of the menu is fetched from, by its menu tag.
struct BrowserAddress {
    std::string_view tag;
    std::string_view url;
};
/// Chrome's package, the key of Mozilla's own repository (where a release uses it), and for the
/// browsers deb-get installs their makers' keys, which it fetches first.
inline constexpr BrowserAddress browser_addresses[] = {
    {"chrome", "https://dl.google.com/linux/direct/google-chrome-stable_current_amd64.deb"},
    {"firefox", "https://packages.mozilla.org/apt/repo-signing-key.gpg"},
    {"edge", "https://packages.microsoft.com/keys/microsoft.asc"},
    {"librewolf", "https://repo.librewolf.net/keyring.gpg"},
    {"vivaldi", "https://repo.vivaldi.com/archive/linux_signing_key.pub"},
    {"opera", "https://deb.opera.com/archive.key"},
    {"brave", "https://brave-browser-apt-release.s3.brave.com/brave-browser-archive-keyring.gpg"},
};
/// The address of the browser with menu tag `tag`; "" for an unknown tag.
constexpr std::string_view browser_address(std::string_view tag) {
    for (const auto& row : browser_addresses) {
        if (row.tag == tag) return row.url;
    }
    return "";
}
inline constexpr std::string_view mozilla_repository_url = "https://packages.mozilla.org/apt";

// ---- the menu's kernel action ---------------------------------------------------------------

inline constexpr std::string_view xanmod_key_url = "https://dl.xanmod.org/archive.key";
inline constexpr std::string_view xanmod_repository_url = "http://deb.xanmod.org";
