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

/// The downloads of a wizard pass whatever its answers, in the order the pass makes them.
inline constexpr Address wizard_addresses[] = {libreoffice_ppa_address, appimagelauncher_address,
                                               extension_installer_address,
                                               deb_get_installer_address, flathub_address};

// ---- the browsers: the wizard's own downloads, and the makers' keys deb-get fetches first --

inline constexpr std::string_view chrome_deb_url =
    "https://dl.google.com/linux/direct/google-chrome-stable_current_amd64.deb";
inline constexpr std::string_view mozilla_key_url =
    "https://packages.mozilla.org/apt/repo-signing-key.gpg";
inline constexpr std::string_view mozilla_repository_url = "https://packages.mozilla.org/apt";
inline constexpr std::string_view edge_key_url =
    "https://packages.microsoft.com/keys/microsoft.asc";
inline constexpr std::string_view librewolf_key_url = "https://repo.librewolf.net/keyring.gpg";
inline constexpr std::string_view vivaldi_key_url =
    "https://repo.vivaldi.com/archive/linux_signing_key.pub";
inline constexpr std::string_view opera_key_url = "https://deb.opera.com/archive.key";
inline constexpr std::string_view brave_key_url =
    "https://brave-browser-apt-release.s3.brave.com/brave-browser-archive-keyring.gpg";

// ---- the menu's kernel action ---------------------------------------------------------------

inline constexpr std::string_view xanmod_key_url = "https://dl.xanmod.org/archive.key";
inline constexpr std::string_view xanmod_repository_url = "http://deb.xanmod.org";
