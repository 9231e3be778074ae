// The theme menu and the settings that each theme loads (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct Dialog;

/// Settings of the light theme (GVariant text, begins with a line feed).
extern const std::string light_theme_payload;
/// Settings of the dark theme, the same keys as the light one.
extern const std::string dark_theme_payload;

/// Loaded after a theme on GNOME 47 and later, where font-hinting only applies with it.
extern const std::string_view font_rendering_payload;

/// The "GTK Theme" menu. `standalone` (reached from the main menu) adds 'back' and the
/// "Exit" label.
Dialog theme_menu_dialog(bool standalone);
/// The payload of "light" or "dark"; nullopt for any other name.
std::optional<std::string_view> theme_payload(std::string_view theme_name);
