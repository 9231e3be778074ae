#include "wizard/download_hosts_data.h"

#include "core/app_console.h"
#include "wizard/browser_data.h"
#include "wizard/package_steps_data.h"

namespace {

struct HostRow {
    std::string_view role;
    /// An address that exists on the host, so that "not found" can only mean a proxy or a
    /// server in trouble.
    std::string_view url;
    /// Whether the pass that `app` describes downloads from it.
    bool (*needed)(const AppConsole& app);
};

bool always(const AppConsole&) { return true; }

template <const std::string_view& tag>
bool browser(const AppConsole& app) {
    return app.web_browser == tag;
}

constexpr std::string_view chrome = "chrome", edge = "edge", librewolf = "librewolf",
                           vivaldi = "vivaldi", opera = "opera", brave = "brave";

bool firefox_from_maker(const AppConsole& app) {
    return app.web_browser == "firefox" &&
           app.release.firefox_source == FirefoxSource::maker_repository;
}

// One row per download; the check asks each host once.
const HostRow host_rows[] = {
    {"the LibreOffice and Firefox PPAs", "https://ppa.launchpadcontent.net/libreoffice/ppa/ubuntu/",
     always},
    {"the web browser", chrome_download.url, browser<chrome>},
    {"the web browser", "https://packages.mozilla.org/apt/repo-signing-key.gpg",
     firefox_from_maker},
    {"the web browser", "https://packages.microsoft.com/keys/microsoft.asc", browser<edge>},
    {"the web browser", "https://repo.librewolf.net/archive.key", browser<librewolf>},
    {"the web browser", "https://repo.vivaldi.com/archive/linux_signing_key.pub", browser<vivaldi>},
    {"the web browser", "https://deb.opera.com/archive.key", browser<opera>},
    {"the web browser",
     "https://brave-browser-apt-release.s3.brave.com/brave-browser-archive-keyring.gpg",
     browser<brave>},
    {"AppImageLauncher and the extension installer", appimagelauncher_download.url, always},
    {"deb-get", "https://raw.githubusercontent.com/wimpysworld/deb-get/main/deb-get", always},
    {"Flathub", "https://flathub.org/repo/flathub.flatpakrepo", always},
};

}  // namespace

std::vector<HostCheck> wizard_host_checks(const AppConsole& app,
                                          const std::vector<std::string>& archive_urls) {
    std::vector<HostCheck> checks;
    for (const auto& url : archive_urls) checks.push_back({"the package archive", url});
    for (const auto& row : host_rows) {
        if (row.needed(app)) {
            checks.push_back({std::string(row.role), std::string(row.url)});
        }
    }
    return checks;
}
