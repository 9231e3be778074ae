// The theme action: asked by the wizard (applied at its end) or from the main menu.
#pragma once

#include <string_view>
#include <vector>

#include "core/dialogs.h"

struct AppConsole;
struct ReleaseProfile;

/// Asks for the theme and stores it; from the menu also applies it. `back` when chosen.
MenuResult get_choice_theme(AppConsole& app, AskedFrom from);
/// The settings that apply `theme_name` on `release`, in load order; empty for an unknown name.
std::vector<std::string_view> theme_settings(std::string_view theme_name,
                                             const ReleaseProfile& release);
/// The settings of `theme_name` are in place (an unknown name: never).
bool theme_applied(std::string_view theme_name, const ReleaseProfile& release);
/// Loads the settings of `theme_name` ("light" or "dark"; another name loads nothing), and
/// font-rendering='manual' where the release's GNOME needs it for the hinting.
void apply_theme(std::string_view theme_name, const ReleaseProfile& release);
