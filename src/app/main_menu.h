// The main menu, shown on every run after the first one.
#pragma once

struct AppConsole;
struct Dialog;

/// The "Choose Action" menu; `efi` adds the boot manager's entry (eleven entries, else ten).
Dialog main_menu_dialog(bool efi);
/// Shows the menu until an action is done; separators and 'back' show it again. An action that
/// wrote an error line ends the run with status 1.
void run_main_menu(AppConsole& app);
