#include "wizard/download_hosts_data.h"

#include "core/app_console.h"
#include "wizard/browser_data.h"
#include "wizard/package_steps_data.h"

namespace {

struct HostRow {
    std::string_view role;
    std::string_view url;
    /// The browser menu tag that needs the host; "" for every pass.
    std::string_view browser;
};

// One row per download; the check asks each host once. Each address is one that exists, so
// that an answer "not found" can only mean a proxy or a server in trouble.
const HostRow host_rows[] = {
    {"the LibreOffice and Firefox PPAs", "https://ppa.launchpadcontent.net/libreoffice/ppa/ubuntu/",
     ""},
    {"the web browser", chrome_download.url, "chrome"},
    {"the web browser", "https://packages.microsoft.com/keys/microsoft.asc", "edge"},
    {"the web browser", "https://repo.librewolf.net/archive.key", "librewolf"},
    {"the web browser", "https://repo.vivaldi.com/archive/linux_signing_key.pub", "vivaldi"},
    {"the web browser", "https://deb.opera.com/archive.key", "opera"},
    {"the web browser",
     "https://brave-browser-apt-release.s3.brave.com/brave-browser-archive-keyring.gpg", "brave"},
    {"AppImageLauncher and the extension installer", appimagelauncher_download.url, ""},
    {"deb-get", "https://raw.githubusercontent.com/wimpysworld/deb-get/main/deb-get", ""},
    {"Flathub", "https://flathub.org/repo/flathub.flatpakrepo", ""},
};

}  // namespace

std::vector<HostCheck> wizard_host_checks(const AppConsole& app,
                                          const std::vector<std::string>& archive_urls) {
    std::vector<HostCheck> checks;
    for (const auto& url : archive_urls) checks.push_back({"the package archive", url});
    for (const auto& row : host_rows) {
        if (row.browser.empty() || row.browser == app.web_browser) {
            checks.push_back({std::string(row.role), std::string(row.url)});
        }
    }
    return checks;
}
