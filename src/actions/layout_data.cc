#include "actions/layout_data.h"

#include "core/dialogs_data.h"
#include "core/release_data.h"
#include "lib/files.h"

// The three layouts share their keys; they differ in the panel side, the panel size, which
// extensions run, and whether the top panel stays (ubuntu hides the clock and system menu in
// the side panel because the top panel already shows them).

const std::string_view minimal_layout_payload = R"dconf(
[org/gnome/shell/extensions/dash-to-dock]
dock-position='LEFT'
show-apps-at-top=false

[org/gnome/shell/extensions/dash-to-panel]
animate-appicon-hover=false
dot-position='LEFT'
panel-positions='{"0":"LEFT"}'
panel-sizes='{"0":40}'
stockgs-keep-top-panel=false
appicon-margin=0
appicon-padding=6
show-apps-icon-side-padding=0
panel-element-positions='{"0":[{"element":"showAppsButton","visible":true,"position":"stackedTL"},{"element":"activitiesButton","visible":false,"position":"stackedTL"},{"element":"leftBox","visible":true,"position":"stackedTL"},{"element":"taskbar","visible":true,"position":"stackedTL"},{"element":"centerBox","visible":true,"position":"stackedBR"},{"element":"rightBox","visible":true,"position":"stackedBR"},{"element":"dateMenu","visible":true,"position":"stackedBR"},{"element":"systemMenu","visible":true,"position":"stackedBR"},{"element":"desktopButton","visible":true,"position":"stackedBR"}]}'

[org/gnome/shell]
disable-user-extensions=false
enabled-extensions=['dash-to-panel@jderose9.github.com', 'ubuntu-appindicators@ubuntu.com', 'user-theme@gnome-shell-extensions.gcampax.github.com', 'caffeine@patapon.info', 'custom-hot-corners-extended@G-dH.github.com', 'impatience@gfxmonk.net']

[org/gnome/shell/extensions/custom-hot-corners-extended/misc]
supported-active-extensions=['ArcMenu']
)dconf";

const std::string_view ubuntu_layout_payload = R"dconf(
[org/gnome/shell/extensions/dash-to-dock]
dock-position='LEFT'
show-apps-at-top=false

[org/gnome/shell/extensions/dash-to-panel]
animate-appicon-hover=false
dot-position='LEFT'
panel-positions='{"0":"LEFT"}'
panel-sizes='{"0":40}'
stockgs-keep-top-panel=true
show-appmenu=true
appicon-margin=0
appicon-padding=6
show-apps-icon-side-padding=0
panel-element-positions='{"0":[{"element":"showAppsButton","visible":true,"position":"stackedTL"},{"element":"activitiesButton","visible":false,"position":"stackedTL"},{"element":"leftBox","visible":true,"position":"stackedTL"},{"element":"taskbar","visible":true,"position":"stackedTL"},{"element":"centerBox","visible":true,"position":"stackedBR"},{"element":"rightBox","visible":true,"position":"stackedBR"},{"element":"dateMenu","visible":false,"position":"stackedBR"},{"element":"systemMenu","visible":false,"position":"stackedBR"},{"element":"desktopButton","visible":true,"position":"stackedBR"}]}'

[org/gnome/shell]
disable-user-extensions=false
enabled-extensions=['dash-to-panel@jderose9.github.com', 'ubuntu-appindicators@ubuntu.com', 'user-theme@gnome-shell-extensions.gcampax.github.com', 'caffeine@patapon.info', 'custom-hot-corners-extended@G-dH.github.com', 'impatience@gfxmonk.net', 'tophat@fflewddur.github.io', 'transparent-top-bar@ftpix.com', 'apps-menu@gnome-shell-extensions.gcampax.github.com']

[org/gnome/desktop/interface]
clock-show-seconds=false
clock-show-weekday=true

[org/gnome/shell/extensions/custom-hot-corners-extended/misc]
supported-active-extensions=@as []
)dconf";

const std::string_view windows_layout_payload = R"dconf(
[org/gnome/shell/extensions/dash-to-dock]
dock-position='BOTTOM'
show-apps-at-top=true

[org/gnome/shell/extensions/dash-to-panel]
dot-position='BOTTOM'
panel-positions='{"0":"BOTTOM"}'
panel-sizes='{"0":46}'
appicon-margin=0
appicon-padding=6
stockgs-keep-top-panel=false
panel-element-positions='{"0":[{"element":"showAppsButton","visible":true,"position":"stackedTL"},{"element":"activitiesButton","visible":false,"position":"stackedTL"},{"element":"leftBox","visible":true,"position":"stackedTL"},{"element":"taskbar","visible":true,"position":"stackedTL"},{"element":"centerBox","visible":true,"position":"stackedBR"},{"element":"rightBox","visible":true,"position":"stackedBR"},{"element":"dateMenu","visible":true,"position":"stackedBR"},{"element":"systemMenu","visible":true,"position":"stackedBR"},{"element":"desktopButton","visible":true,"position":"stackedBR"}]}'

[org/gnome/shell]
disable-user-extensions=false
enabled-extensions=['dash-to-panel@jderose9.github.com', 'ubuntu-appindicators@ubuntu.com', 'user-theme@gnome-shell-extensions.gcampax.github.com', 'caffeine@patapon.info', 'custom-hot-corners-extended@G-dH.github.com', 'impatience@gfxmonk.net', 'tophat@fflewddur.github.io']

[org/gnome/shell/extensions/custom-hot-corners-extended/misc]
supported-active-extensions=['ArcMenu']
)dconf";

// A payload before this one showed the seconds, which this one hid again at once: only the end
// state is loaded, so that a second pass finds it in place.
const std::string_view clock_payload = R"dconf(
[org/gnome/desktop/interface]
clock-show-seconds=false
clock-show-weekday=false
)dconf";

Dialog layout_menu_dialog(bool standalone) {
    Dialog dialog{"Desktop Layout", "", menu_kind("Choose layout:"), {}};
    dialog.items.push_back(menu_item("ubuntu", "ubuntu      Left Dock with Top Panel"));
    dialog.items.push_back(menu_item("windows", "bottom      Bottom Taskbar"));
    dialog.items.push_back(menu_item("minimal", "left        Left Taskbar"));
    if (standalone) {
        dialog.items.push_back(menu_item("reset", "default     Ubuntu Desktop (reset settings)"));
        dialog.items.push_back(menu_item("back", "back        -- Go back --"));
        dialog.cancel_label = cancel_button_exit;
    }
    return dialog;
}

namespace {

std::vector<std::string_view> layout_texts(std::string_view layout_name) {
    if (layout_name == "minimal") return {minimal_layout_payload, clock_payload};
    if (layout_name == "ubuntu") return {ubuntu_layout_payload};
    if (layout_name == "windows") return {windows_layout_payload, clock_payload};
    return {};
}

// A string list's text without the items `left_out`: each item goes with the separator after
// it, or before it when it is the last one.
void remove_list_items(std::string& list, std::span<const std::string_view> left_out) {
    for (const auto uuid : left_out) {
        const std::string item = "'" + std::string(uuid) + "'";
        for (const std::string& form : {item + ", ", ", " + item, item}) {
            if (const size_t at = list.find(form); at != std::string::npos) {
                list.erase(at, form.size());
                break;
            }
        }
    }
}

}  // namespace

std::vector<SettingsPayload> layout_payloads(std::string_view layout_name,
                                             const ReleaseProfile& release) {
    std::vector<SettingsPayload> payloads;
    for (const auto text : layout_texts(layout_name)) {
        SettingsPayload payload = parse_settings_payload(text);
        for (auto& folder : payload.folders) {
            for (auto& key : folder.keys) {
                if (folder.path == "/org/gnome/shell/" && key.name == "enabled-extensions")
                    remove_list_items(key.value, release.extensions_without_build);
            }
        }
        payloads.push_back(std::move(payload));
    }
    return payloads;
}

std::string extensions_source(std::string_view extensions_folder) {
    return "./" + std::string(extensions_folder) + "/*";
}

std::string extensions_destination(std::string_view user_home) {
    return std::string(user_home) + "/.local/share/gnome-shell/extensions/";
}

std::vector<std::string> extension_installer_commands(std::string_view download_path) {
    const std::string download = Velkor::shell_quote(download_path);
    const std::string installed = std::string(extension_installer_path);
    return {
        "wget -O " + download + " " + Velkor::shell_quote(extension_installer_url),
        "sudo mv -f " + download + " /usr/bin/",
        "sudo chown root:root " + installed,
        "sudo chmod 755 " + installed,
    };
}
