#include "wizard/download_hosts_data.h"

#include <optional>

#include "core/addresses_data.h"
#include "core/app_console.h"
#include "wizard/browser_data.h"

namespace {

// A download of the pass and the step (tag) that makes it.
struct StepDownload {
    std::string_view step;
    const Address& address;
};

// In the order the pass makes them.
constexpr StepDownload wizard_downloads[] = {
    {"libreoffice", libreoffice_ppa_address},
    {"appimagelauncher", appimagelauncher_address},
    {"extensions", extension_installer_address},
    {"debget", deb_get_installer_address},
    {"flatpak", flathub_address},
};

// The chosen browser's host. Firefox comes from the team PPA (on the Launchpad host of the
// LibreOffice PPA) or, where the release has it so, from its maker's repository.
std::optional<std::string_view> browser_url(const AppConsole& app) {
    if (app.web_browser == "firefox") {
        if (app.release.firefox_source != FirefoxSource::maker_repository) {
            return libreoffice_ppa_address.url;
        }
        return firefox_maker_source.key_url;
    }
    const Browser* browser = find_browser(app.web_browser);
    if (!browser || browser->download_url.empty()) return std::nullopt;
    return browser->download_url;
}

}  // namespace

// Each address exists on its host, so that "not found" can only mean a proxy or a server in
// trouble. One row per download of the steps that run; the check asks each host once.
std::vector<HostCheck> wizard_host_checks(const AppConsole& app,
                                          const std::vector<std::string>& archive_urls) {
    std::vector<HostCheck> checks;
    for (const auto& url : archive_urls) checks.push_back({"the package archive", url});
    if (const auto url = browser_url(app); url && !app.preset.skips("browser")) {
        checks.push_back({"the web browser", std::string(*url)});
    }
    for (const auto& [step, address] : wizard_downloads) {
        if (app.preset.skips(step)) continue;
        if (step == "appimagelauncher" && !app.release.appimagelauncher_installs) continue;
        checks.push_back({std::string(address.role), std::string(address.url)});
    }
    return checks;
}
