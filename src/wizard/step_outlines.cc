#include "wizard/step_outlines.h"

#include "app/app_console.h"
#include "lib/commands.h"
#include "lib/console.h"

using namespace Velkor;

void install_unless_present(AppConsole& app, std::string_view package_name,
                            std::string_view packages) {
    if (app.pkg_is_installed(package_name)) {
        log_msg("Already installed");
    } else {
        app.apt_install(packages, true, true);
    }
}

bool install_downloaded_deb(AppConsole& app, std::string_view package_name,
                            const Download& download) {
    if (app.pkg_is_installed(package_name)) {
        log_msg("Already installed");
        return false;
    }
    if (exec_logged(download_command(download)) != 0) {
        log_error("Failed to download");
        return false;
    }
    app.apt_install_from_deb(package_name, download.file);
    return true;
}
