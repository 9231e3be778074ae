#include "wizard/browser_data.h"

#include "core/addresses_data.h"
#include "core/dialogs_data.h"
#include "lib/files.h"

using namespace Velkor;

const FileCopy firefox_preferences = {"./firefox/mozillateam-firefox-next.pref",
                                      "/etc/apt/preferences.d/mozillateam-firefox-next.pref"};

const FileCopy firefox_maker_preferences = {"./firefox/packages.mozilla.org.pref",
                                            "/etc/apt/preferences.d/packages.mozilla.org.pref"};

const SignedSource firefox_maker_source = {browser_address("firefox"),
                                           "/etc/apt/keyrings/packages.mozilla.org.gpg",
                                           "/etc/apt/sources.list.d/mozilla.sources",
                                           mozilla_repository_url,
                                           "mozilla",
                                           "main"};

const Download chrome_download = {"google-chrome-stable_current_amd64.deb",
                                  browser_address("chrome")};

const std::string_view chrome_eula_text =
    "By downloading Google Chrome, you agree to the Google Terms of Service\n"
    "and Chrome and Chrome OS Additional Terms of Service.\n"
    " - https://policies.google.com/terms\n"
    " - https://www.google.com/chrome/terms/\n"
    " \n"
    "Do you agree to the Google Chrome EULA ?\n";

std::string_view browser_to_install(std::string_view chosen, bool chrome_licence_accepted) {
    return chosen == "chrome" && !chrome_licence_accepted ? "firefox" : chosen;
}

namespace {

// Menu order.
const Browser browsers[] = {
    {"chrome", "Google Chrome (recommended)", "google-chrome", "", chrome_download.url},
    {"firefox", "Mozilla Firefox", "firefox"},
    {"edge", "Microsoft Edge", "microsoft-edge", "microsoft-edge-stable", browser_address("edge")},
    {"librewolf", "LibreWolf", "librewolf", "librewolf", browser_address("librewolf")},
    {"vivaldi", "Vivaldi", "vivaldi-stable", "vivaldi-stable", browser_address("vivaldi")},
    {"opera", "Opera", "opera", "opera-stable", browser_address("opera")},
    {"brave", "Brave", "brave-browser", "brave-browser", browser_address("brave")},
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
