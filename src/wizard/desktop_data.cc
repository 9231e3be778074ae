#include "wizard/desktop_data.h"

#include "lib/files.h"
#include "wizard/browser_data.h"

using namespace Velkor;

const FileCopy wallpaper = {"./mirovel-T_Qe4QlMIvQ-unsplash.jpg",
                            "/usr/share/backgrounds/mirovel-T_Qe4QlMIvQ-unsplash.jpg"};

namespace {

// The desktop files the default-applications list swaps, in order: (old, new).
std::vector<std::pair<std::string, std::string>> mimeapps_renames(
    std::string_view extra_video_players) {
    std::vector<std::pair<std::string, std::string>> renames = {
        {"org.gnome.TextEditor.desktop", "org.gnome.gedit.desktop"},
        {"rhythmbox.desktop", "vlc.desktop"},
        {"org.gnome.Totem.desktop", "vlc.desktop"}};
    for (const auto& player : string_split(extra_video_players, " ")) {
        if (!player.empty()) renames.emplace_back(player, "vlc.desktop");
    }
    return renames;
}

}  // namespace

std::vector<std::string> mimeapps_commands(std::string_view mimeapps_path,
                                           std::string_view extra_video_players) {
    const std::string path = shell_quote(mimeapps_path);
    std::vector<std::string> commands = {"cp -f " + std::string(system_defaults_list_path) + " " +
                                         path};
    for (const auto& [old_name, new_name] : mimeapps_renames(extra_video_players)) {
        commands.push_back("sed -i 's/" + old_name + "/" + new_name + "/g' " + path);
    }
    return commands;
}

std::string mimeapps_text(std::string_view defaults_list, std::string_view extra_video_players) {
    std::string text(defaults_list);
    for (const auto& [old_name, new_name] : mimeapps_renames(extra_video_players)) {
        text = string_replace(text, old_name, new_name);
    }
    return text;
}

const std::string_view guake_autostart_entry =
    "\n"
    "[Desktop Entry]\n"
    "Name[ca]=Terminal Guake\n"
    "Name[cs]=Terminál Guake\n"
    "Name[de]=Guake-Terminal\n"
    "Name[es]=Terminal Guake\n"
    "Name[fa]=ترمینال گواک\n"
    "Name[fr]=Terminal Guake\n"
    "Name[gl]=Terminal Guake\n"
    "Name[hr]=Guake terminal\n"
    "Name[hu]=Guake terminál\n"
    "Name[it]=Terminale Guake\n"
    "Name[ja]=Guake 端末\n"
    "Name[ko]=Guake 터미널\n"
    "Name[nb]=Guake terminal\n"
    "Name[nl]=Guake-terminal\n"
    "Name[pa]=ਗੁਏਕ ਟਰਮੀਨਲ\n"
    "Name[pl]=Terminal Guake\n"
    "Name[pt_BR]=Terminal Guake\n"
    "Name[ru]=Терминал Guake\n"
    "Name[sv]=Guake-terminal\n"
    "Name[tr]=Guake Uçbirimi\n"
    "Name[uk]=Термінал Guake\n"
    "Name[zh_CN]=Guake 终端\n"
    "Name=Guake Terminal\n"
    "Comment[cs]=Použijte příkazový řádek v terminálu ve stylu Quake\n"
    "Comment[de]=Befehlszeile in einem Quake-ähnlichen Terminal verwenden\n"
    "Comment[fr]=Utiliser la ligne de commande dans un terminal à la Quake\n"
    "Comment[pl]=Używanie wiersza poleceń w terminalu w stylu gry Quake\n"
    "Comment[ru]=Использовать командную строку в терминале в стиле Quake\n"
    "Comment=Use the command line in a Quake-like terminal\n"
    "TryExec=guake\n"
    "Exec=guake\n"
    "Icon=guake\n"
    "Type=Application\n"
    "Categories=GNOME;GTK;System;Utility;TerminalEmulator;\n"
    "StartupNotify=true\n"
    "X-Desktop-File-Install-Version=0.22\n"
    "X-GNOME-Autostart-enabled=true\n"
    "Hidden=false\n"
    "NoDisplay=false\n";

const std::string_view terminal_colors_payload = R"(
[org/gnome/terminal/legacy/profiles:/:b1dcc9dd-5262-4d8d-a863-c897e6d979b9]
background-color='rgb(29,29,29)'
cursor-blink-mode='on'
cursor-shape='ibeam'
default-size-columns=120
default-size-rows=30
foreground-color='rgb(255,255,255)'
palette=['rgb(46,52,54)', 'rgb(204,0,0)', 'rgb(78,154,6)', 'rgb(196,160,0)', 'rgb(52,101,164)', 'rgb(117,80,123)', 'rgb(6,152,154)', 'rgb(211,215,207)', 'rgb(85,87,83)', 'rgb(239,41,41)', 'rgb(138,226,52)', 'rgb(252,233,79)', 'rgb(114,159,207)', 'rgb(173,127,168)', 'rgb(52,226,226)', 'rgb(238,238,236)']
scrollback-unlimited=true
use-theme-colors=false
)";

const std::string_view terminal_font_payload = R"(
[org/gnome/terminal/legacy/profiles:/:b1dcc9dd-5262-4d8d-a863-c897e6d979b9]
use-system-font=false
font='Fira Code 11'
)";

const std::string_view nautilus_payload = R"(
[org/gnome/nautilus/compression]
default-compression-format='tar.xz'

[org/gnome/nautilus/list-view]
use-tree-view=true

[org/gnome/nautilus/preferences]
default-folder-viewer='list-view'
show-create-link=true
show-delete-permanently=true
)";

const std::string_view gedit_payload = R"(
[org/gnome/gedit/plugins]
active-plugins=['modelines', 'filebrowser', 'docinfo', 'spell', 'time', 'openlinks', 'quickhighlight', 'sort']

[org/gnome/gedit/plugins/filebrowser]
root='file:///'
tree-view=true

[org/gnome/gedit/preferences/editor]
background-pattern='none'
display-overview-map=true
display-right-margin=true
insert-spaces=false
tabs-size=uint32 4
wrap-last-split-mode='word'

[org/gnome/gedit/preferences/ui]
bottom-panel-visible=false
side-panel-visible=true

[org/gnome/gedit/state/window]
bottom-panel-size=139
side-panel-active-page='GeditWindowDocumentsPanel'
side-panel-size=270

[org/gnome/gedit/plugins/metagedit]
prefer-dark-theme=false
)";

const std::string_view desktop_payload = R"(
[org/gnome/desktop/background]
color-shading-type='solid'
picture-options='zoom'
picture-uri='file:///usr/share/backgrounds/mirovel-T_Qe4QlMIvQ-unsplash.jpg'
picture-uri-dark='file:///usr/share/backgrounds/mirovel-T_Qe4QlMIvQ-unsplash.jpg'
primary-color='#000000'
secondary-color='#000000'

[org/gnome/desktop/peripherals/keyboard]
numlock-state=true

[org/gnome/desktop/privacy]
report-technical-problems=false
)";

namespace {

// In the folder of Guake 3.8 and older; guake_payload moves it where the installed one reads.
const std::string_view guake_settings = R"(
[apps/guake/general]
compat-delete='delete-sequence'
copy-on-select=true
display-n=0
display-tab-names=2
fullscreen-hide-tabbar=false
gtk-prefer-dark-theme=true
gtk-theme-name='Adwaita-dark'
gtk-use-system-default-theme=false
hide-tabs-if-one-tab=false
history-size=1000
infinite-history=true
max-tab-name-length=100
mouse-display=true
new-tab-after=true
open-tab-cwd=true
prompt-on-quit=true
quick-open-command-line='gedit %(file_path)s'
restore-tabs-notify=true
restore-tabs-startup=true
save-tabs-when-changed=true
scroll-keystroke=true
set-window-title=false
start-at-login=true
tab-close-buttons=true
tab-ontop=false
use-audible-bell=true
use-default-font=false
use-popup=true
use-scrollbar=true
use-trayicon=true
use-vte-titles=true
window-halignment=0
window-height=50
window-losefocus=true
window-refocus=false
window-tabbar=true
window-width=100
default-shell='/usr/bin/fish'

[apps/guake/keybindings/global]
show-hide='F12'

[apps/guake/keybindings/local]
reset-terminal='<Primary><Shift>c'

[apps/guake/style]
cursor-blink-mode=1
cursor-shape=1

[apps/guake/style/background]
transparency=100

[apps/guake/style/font]
allow-bold=false
palette='#1d1d1d1d1d1d:#fcfc5e5ef0f0:#8787c3c38a8a:#ffffd7d7b1b1:#8585bebefdfd:#b9b9b5b5fcfc:#8585bebefdfd:#dfdfdfdfdfdf:#1d1d1d1d1d1d:#fcfc5e5ef0f0:#9494f9f93636:#f5f5ffffa7a7:#9696cbcbfefe:#b9b9b5b5fcfc:#8585bebefdfd:#dfdfdfdfdfdf:#c5c5c8c8c6c6:#1d1d1d1d1d1d'
palette-name='Custom'
style='Fira Code weight=453 11'

[org/gnome/settings-daemon/plugins/media-keys]
custom-keybindings=['/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/', '/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom1/']

[org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0]
binding='F1'
command='guake-toggle'
name='Guake Toggle F1'

[org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom1]
binding='F12'
command='guake-toggle'
name='Guake Toggle F12'
)";

}  // namespace

SettingsPayload guake_payload(std::string_view guake_folder) {
    return settings_moved(parse_settings_payload(guake_settings), "/apps/guake/", guake_folder);
}

std::string favorites_payload(std::string_view web_browser) {
    // The wizard turns "chrome" into "firefox" when the licence is declined: "chrome" here
    // means that Chrome is installed.
    const Browser* browser = find_browser(web_browser);
    const std::string apps =
        browser ? "'" + std::string(browser->desktop_file) + ".desktop', " : std::string();
    return "\n[org/gnome/shell]\nfavorite-apps=[" + apps +
           "'org.gnome.Nautilus.desktop', 'org.gnome.gedit.desktop', "
           "'org.gnome.Terminal.desktop', 'libreoffice-writer.desktop', "
           "'libreoffice-calc.desktop', 'org.gnome.Settings.desktop', 'synaptic.desktop']\n";
}
