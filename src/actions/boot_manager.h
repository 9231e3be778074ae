// The boot manager action: rEFInd from its PPA, a theme, GRUB on hold, drivers and settings.
#pragma once

#include <string_view>

#include "core/dialogs.h"

struct AppConsole;

/// Asks for the boot manager's theme and installs it. `back` when chosen.
MenuResult get_choice_refind_theme(AppConsole& app);
/// Installs the boot manager with `refind_theme` ("light" or "dark"); EFI machines only. A
/// failing step logs an "E: " line and ends the action.
void install_refind(AppConsole& app, std::string_view refind_theme);
