#include "wizard/browser_data.h"

#include "core/dialogs_data.h"
#include "lib/files.h"

using namespace Velkor;

const FileCopy firefox_preferences = {"./firefox/mozillateam-firefox-next.pref",
                                      "/etc/apt/preferences.d/mozillateam-firefox-next.pref"};

const FileCopy firefox_maker_preferences = {"./firefox/packages.mozilla.org.pref",
                                            "/etc/apt/preferences.d/packages.mozilla.org.pref"};

const SignedSource firefox_maker_source = {"https://packages.mozilla.org/apt/repo-signing-key.gpg",
                                           "/etc/apt/keyrings/packages.mozilla.org.gpg",
                                           "/etc/apt/sources.list.d/mozilla.sources",
                                           "https://packages.mozilla.org/apt",
                                           "mozilla",
                                           "main"};

const Download chrome_download = {
    "google-chrome-stable_current_amd64.deb",
    "https://dl.google.com/linux/direct/google-chrome-stable_current_amd64.deb"};

const std::string_view chrome_eula_text =
    "By downloading Google Chrome, you agree to the Google Terms of Service\n"
    "and Chrome and Chrome OS Additional Terms of Service.\n"
    " - https://policies.google.com/terms\n"
    " - https://www.google.com/chrome/terms/\n"
    " \n"
    "Do you agree to the Google Chrome EULA ?\n";

namespace {

// Menu order. The download addresses of the deb-get browsers are their makers' signing keys,
// which deb-get fetches first.
const Browser browsers[] = {
    {"chrome", "Google Chrome (recommended)", "google-chrome", "", chrome_download.url},
    {"firefox", "Mozilla Firefox", "firefox"},
    {"edge", "Microsoft Edge", "microsoft-edge", "microsoft-edge-stable",
     "https://packages.microsoft.com/keys/microsoft.asc"},
    {"librewolf", "LibreWolf", "librewolf", "librewolf", "https://repo.librewolf.net/archive.key"},
    {"vivaldi", "Vivaldi", "vivaldi-stable", "vivaldi-stable",
     "https://repo.vivaldi.com/archive/linux_signing_key.pub"},
    {"opera", "Opera", "opera", "opera-stable", "https://deb.opera.com/archive.key"},
    {"brave", "Brave", "brave-browser", "brave-browser",
     "https://brave-browser-apt-release.s3.brave.com/brave-browser-archive-keyring.gpg"},
};

}  // namespace

const Browser* find_browser(std::string_view tag) {
    for (const auto& browser : browsers) {
        if (browser.tag == tag) return &browser;
    }
    return nullptr;
}

std::optional<std::string> deb_get_browser_package(std::string_view web_browser) {
    const Browser* browser = find_browser(web_browser);
    if (!browser || browser->deb_get_package.empty()) return std::nullopt;
    return std::string(browser->deb_get_package);
}

bool is_snap_transitional_version(std::string_view version) {
    return string_contains(version, "snap");
}

Dialog web_browser_dialog(bool librewolf_offered) {
    Dialog dialog;
    dialog.title = "Web Browser";
    dialog.kind = menu_kind("Choose web browser");
    for (const auto& browser : browsers) {
        if (browser.tag == "librewolf" && !librewolf_offered) continue;
        dialog.items.push_back(menu_item(browser.tag, browser.menu_text));
    }
    return dialog;
}

std::string librewolf_unavailable_text(std::string_view version) {
    return "LibreWolf is not offered on Ubuntu " + std::string(version) +
           ": deb-get has no build of it for this release. Choose another browser.";
}
