// The theme menu and the settings that each theme loads (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/settings_data.h"

struct Dialog;
struct ReleaseProfile;

/// The "GTK Theme" menu. `standalone` (reached from the main menu) adds 'back' and the
/// "Exit" label.
Dialog theme_menu_dialog(bool standalone);
/// The settings of theme "light" or "dark" on `release` (the same keys for both, the dark
/// variant of each for "dark"); nullopt for any other name. With font-rendering='manual' on
/// GNOME 47 and later, where font-hinting only applies with it.
std::optional<SettingsPayload> theme_payload(std::string_view theme_name,
                                             const ReleaseProfile& release);
