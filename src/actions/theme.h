// The theme action: asked by the wizard (applied at its end) or from the main menu.
#pragma once

#include <string_view>
#include <vector>

#include "core/dialogs.h"

struct AppConsole;

/// Asks for the theme and stores it; from the menu also applies it. `back` when chosen.
MenuResult get_choice_theme(AppConsole& app, AskedFrom from);
/// The settings of `theme_name` are in place (an unknown name: never).
bool theme_applied(const AppConsole& app, std::string_view theme_name);
/// Loads the settings of `theme_name` ("light" or "dark"; another name loads nothing).
void apply_theme(AppConsole& app, std::string_view theme_name);
