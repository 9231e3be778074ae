#include "actions/theme_data.h"

#include "core/dialogs_data.h"

namespace {

// The two themes set the same keys; the dark one uses the dark variant of each.
std::string theme_payload_text(std::string_view color_scheme, std::string_view variant) {
    const std::string suffix(variant);
    return "\n[org/gnome/desktop/interface]\ncolor-scheme='" + std::string(color_scheme) +
           "'\nfont-hinting='slight'\ngtk-theme='Yaru" + suffix + "'\nicon-theme='TelaBudgie" +
           suffix + "'\n\n[org/gnome/gedit/preferences/editor]\nscheme='Yaru" + suffix + "'\n";
}

}  // namespace

const std::string light_theme_payload = theme_payload_text("default", "");
const std::string dark_theme_payload = theme_payload_text("prefer-dark", "-dark");

const std::string_view font_rendering_payload =
    "\n[org/gnome/desktop/interface]\nfont-rendering='manual'\n";

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
