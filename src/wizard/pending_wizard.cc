// Placeholder definitions until the wizard steps land; delete this file then.
#include "app/app_console.h"
#include "lib/console.h"

using namespace Velkor;

void AppConsole::setup() {
    log_debug("setup()");
    log_debug("setup(): exit");
}

void AppConsole::show_welcome() {}

void AppConsole::get_choice_web_browser() {}

void AppConsole::get_chrome_eula_status() {}

void AppConsole::enable_extra_repositories() {}

void AppConsole::install_dependencies() {}

void AppConsole::remove_apps() {}

void AppConsole::install_apps() {}

void AppConsole::install_deb_get() {}

void AppConsole::install_nala() {}

void AppConsole::install_appimagelauncher() {}

void AppConsole::install_flatpak() {}

void AppConsole::install_snapd() {}

void AppConsole::update_bash_prompt() {}

void AppConsole::update_fish_prompt() {}

void AppConsole::update_config_gnome_terminal_pre() {}

void AppConsole::update_config_gnome_terminal_post() {}

void AppConsole::update_app_configs() {}

void AppConsole::update_config_nautilus() {}

void AppConsole::update_config_gedit() {}

void AppConsole::update_config_desktop() {}

void AppConsole::update_config_guake() {}

void AppConsole::update_ssh_config() {}

void AppConsole::update_mimeapps() {}

void AppConsole::install_web_browser() {}

void AppConsole::install_chrome() {}

void AppConsole::install_firefox() {}

void AppConsole::install_guake() {}

void AppConsole::install_zram_tools() {}

void AppConsole::install_libreoffice() {}

void AppConsole::install_updates() {}

void AppConsole::disable_apt_news() {}

void AppConsole::install_wallpaper() {}

void AppConsole::install_variety() {}

void AppConsole::snap_remove(std::string_view) {}
