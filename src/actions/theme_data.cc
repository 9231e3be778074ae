#include "actions/theme_data.h"

#include "core/dialogs_data.h"
#include "core/release_data.h"

namespace {

constexpr std::string_view interface = "/org/gnome/desktop/interface/";
constexpr std::string_view editor = "/org/gnome/gedit/preferences/editor/";

}  // namespace

Dialog theme_menu_dialog(bool standalone) {
    Dialog dialog{"GTK Theme", "", menu_kind("Choose theme:"), {}};
    dialog.items.push_back(menu_item("light", "light      Light theme"));
    dialog.items.push_back(menu_item("dark", "dark       Dark theme"));
    if (standalone) {
        dialog.items.push_back(menu_item("back", "back       -- Go back --"));
        dialog.cancel_label = cancel_button_exit;
    }
    return dialog;
}

std::optional<SettingsPayload> theme_payload(std::string_view theme_name,
                                             const ReleaseProfile& release) {
    if (theme_name != "light" && theme_name != "dark") return std::nullopt;
    const bool dark = theme_name == "dark";
    const std::string variant = dark ? "-dark" : "";
    SettingsPayload payload;
    settings_set(payload, interface, "color-scheme", dark ? "'prefer-dark'" : "'default'");
    settings_set(payload, interface, "font-hinting", "'slight'");
    settings_set(payload, interface, "gtk-theme", "'Yaru" + variant + "'");
    settings_set(payload, interface, "icon-theme", "'TelaBudgie" + variant + "'");
    if (needs_manual_font_rendering(release))
        settings_set(payload, interface, "font-rendering", "'manual'");
    // gedit 48 follows the desktop's variant itself: it gets the scheme of each.
    if (release.gedit_scheme_per_variant) {
        settings_set(payload, editor, "style-scheme-for-light-theme-variant", "'Yaru'");
        settings_set(payload, editor, "style-scheme-for-dark-theme-variant", "'Yaru-dark'");
    } else {
        settings_set(payload, editor, "scheme", "'Yaru" + variant + "'");
    }
    return payload;
}
