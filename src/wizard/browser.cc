#include "wizard/browser.h"

#include "core/app_console.h"
#include "core/dialogs.h"
#include "core/exit.h"
#include "core/packages.h"
#include "core/packages_data.h"
#include "core/runner.h"
#include "core/sources.h"
#include "core/system.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "wizard/browser_data.h"
#include "wizard/package_steps.h"

using namespace Velkor;

namespace {

void get_chrome_eula_status(AppConsole& app) {
    // Only an unattended run (--yes) with the browser given falls back to Firefox without
    // asking; a run with dialogs asks, the browser given or not.
    const bool unattended = app.preset.skip_welcome && app.preset.web_browser;
    app.chrome_eula_accepted = app.preset.chrome_eula_accepted ||
                               (!unattended && ask_yesno(chrome_eula_title, chrome_eula_text));
    log_msg(std::string("Chrome EULA accepted: ") + (app.chrome_eula_accepted ? "true" : "false"));
}

// The release's own "firefox" package only installs the snap, which the wizard has removed,
// so it does not count as the browser being installed.
bool firefox_is_snap_transitional() {
    ExecOutput output;
    if (run_read(firefox_version_command, RunMode::captured, &output) != 0) return false;
    return is_snap_transitional_version(output.std_out.value_or(""));
}

void install_chrome(AppConsole& app) {
    log_header("Install Google Chrome");
    install_downloaded_deb(app, "google-chrome-stable", chrome_download);
}

// Adds Firefox's source (the team PPA, or on newer releases the maker's own repository) and
// its pin once; false when that failed.
bool add_firefox_source(AppConsole& app, bool from_maker) {
    const FileCopy& pin = from_maker ? firefox_maker_preferences : firefox_preferences;
    if (copy_file(pin.src, pin.dst, true) != 0) {
        log_error("Failed to install file: " + std::string(pin.dst));
        return false;
    }
    if (run_read(source_added_test_command(from_maker ? firefox_maker_source_name
                                                      : firefox_ppa_source_pattern)) == 0) {
        return true;
    }
    if (from_maker) {
        return add_signed_source(app, firefox_maker_source, "Mozilla's Firefox repository",
                                 pin.dst);
    }
    return add_ppa(app, firefox_ppa, "the Mozilla team's Firefox PPA", pin.dst);
}

bool firefox_installed(const AppConsole& app) {
    return app.packages.installed("firefox") && !firefox_is_snap_transitional();
}

void install_firefox(AppConsole& app) {
    const bool from_maker = app.release.firefox_source == FirefoxSource::maker_repository;
    log_header(from_maker ? "Install Firefox from Mozilla's repository"
                          : "Install Firefox from PPA");
    check_installed_packages(app);
    const bool transitional = pkg_is_installed(app, "firefox") && firefox_is_snap_transitional();
    if (firefox_installed(app)) {
        log_msg("Already installed");
        return;
    }
    if (!add_firefox_source(app, from_maker)) return;
    // The transitional package's version is higher than the deb of either source, and "apt
    // install -y" refuses a downgrade: it goes first, and the list is reloaded so the install
    // sees it gone.
    if (transitional) {
        apt_remove(app, "firefox");
        check_installed_packages(app);
    }
    apt_install(app, "firefox", true, true);
}

}  // namespace

void get_choice_web_browser(AppConsole& app) {
    log_debug("get_choice_web_browser()");
    app.web_browser = app.preset.web_browser.value_or("");
    if (!app.preset.web_browser) {
        app.web_browser = run_dialog(web_browser_dialog(app.release.librewolf_from_deb_get), false);
    }
    log_msg("Selected web browser: " + app.web_browser);
    if (app.web_browser == "librewolf" && !app.release.librewolf_from_deb_get) {
        log_error(librewolf_unavailable_text(app.release.version));
        exit_process(1);
    }
    if (app.web_browser != "chrome") return;
    get_chrome_eula_status(app);
    if (app.chrome_eula_accepted) return;
    app.web_browser = browser_to_install(app.web_browser, false);
    log_msg("Selected web browser: " + app.web_browser);
}

bool web_browser_installed(const AppConsole& app) {
    const std::string_view browser = browser_to_install(app.web_browser, app.chrome_eula_accepted);
    if (browser == "chrome") return app.packages.installed("google-chrome-stable");
    if (browser == "firefox") return firefox_installed(app);
    const auto package = deb_get_browser_package(browser);
    return package && app.packages.installed(*package);
}

void install_web_browser(AppConsole& app) {
    log_header("Install Web Browser");
    if (app.web_browser == "chrome") {
        if (app.chrome_eula_accepted) {
            install_chrome(app);
        } else {
            install_firefox(app);
        }
    } else if (app.web_browser == "firefox") {
        install_firefox(app);
    } else if (web_browser_installed(app)) {
        log_msg("Already installed");
    } else if (auto package = deb_get_browser_package(app.web_browser)) {
        deb_get_install(*package);
    }
}
