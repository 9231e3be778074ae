#include "actions/theme_data.h"

#include "core/dialogs_data.h"

const std::string_view light_theme_payload = R"dconf(
[org/gnome/desktop/interface]
color-scheme='default'
font-hinting='slight'
gtk-theme='Yaru'
icon-theme='TelaBudgie'

[org/gnome/gedit/preferences/editor]
scheme='Yaru'
)dconf";

const std::string_view dark_theme_payload = R"dconf(
[org/gnome/desktop/interface]
color-scheme='prefer-dark'
font-hinting='slight'
gtk-theme='Yaru-dark'
icon-theme='TelaBudgie-dark'

[org/gnome/gedit/preferences/editor]
scheme='Yaru-dark'
)dconf";

Dialog theme_menu_dialog(bool standalone) {
    Dialog dialog{"GTK Theme", "", menu_kind("Choose theme:"), {}, ""};
    dialog.items.push_back(menu_item("light", "light      Light theme"));
    dialog.items.push_back(menu_item("dark", "dark       Dark theme"));
    if (standalone) {
        dialog.items.push_back(menu_item("back", "back       -- Go back --"));
        dialog.cancel_after = cancel_button_exit;
    }
    return dialog;
}

std::optional<std::string_view> theme_payload(std::string_view theme_name) {
    if (theme_name == "light") return light_theme_payload;
    if (theme_name == "dark") return dark_theme_payload;
    return std::nullopt;
}
