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

// The aliases both shells get, in one place so the two prompts never drift apart.

std::optional<std::string> deb_get_browser_package(std::string_view web_browser) {
    struct Row {
        std::string_view tag;
        std::string_view package;
    };
    static constexpr Row rows[] = {
        {"librewolf", "librewolf"}, {"vivaldi", "vivaldi-stable"},     {"opera", "opera-stable"},
        {"brave", "brave-browser"}, {"edge", "microsoft-edge-stable"},
    };
    for (const auto& row : rows) {
        if (row.tag == web_browser) return std::string(row.package);
    }
    return std::nullopt;
}

bool is_snap_transitional_version(std::string_view version) {
    return string_contains(version, "snap");
}

Dialog web_browser_dialog(bool librewolf_offered) {
    Dialog dialog;
    dialog.title = "Web Browser";
    dialog.kind = menu_kind("Choose web browser");
    dialog.items = {
        menu_item("chrome", "Google Chrome (recommended)"),
        menu_item("firefox", "Mozilla Firefox"),
        menu_item("edge", "Microsoft Edge"),
        menu_item("librewolf", "LibreWolf"),
        menu_item("vivaldi", "Vivaldi"),
        menu_item("opera", "Opera"),
        menu_item("brave", "Brave"),
    };
    if (!librewolf_offered) std::erase(dialog.items, menu_item("librewolf", "LibreWolf"));
    return dialog;
}

std::string librewolf_unavailable_text(std::string_view version) {
    return "LibreWolf is not offered on Ubuntu " + std::string(version) +
           ": deb-get has no build of it for this release. Choose another browser.";
}
