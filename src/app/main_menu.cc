// The main action menu shown on every run after the first one.
#include "app/main_menu.h"

#include <array>

#include "app/app_console.h"
#include "app/dialog.h"
#include "build_config.h"
#include "lib/commands.h"
#include "lib/console.h"

using namespace Velkor;

namespace {

constexpr size_t label_column = 19;
constexpr std::string_view separator_label = "-----------------";
constexpr std::string_view separator_description = "-----------------------------------";

struct MenuEntry {
    std::string_view tag;
    std::string_view label;
    std::string_view description;
    bool efi_only;
};

// The order here is the order on screen.
constexpr std::array<MenuEntry, 10> menu_entries{{
    {"setup", "Run Setup", "Run the post-install wizard again", false},
    {"sep1", separator_label, separator_description, false},
    {"theme", "Change Theme", "Change the theme (light or dark)", false},
    {"layout", "Change Layout", "Change GNOME shell layout", false},
    {"refind", "Install Refind", "Install Refind boot manager", true},
    {"xanmod", "Install XanMod", "Install XanMod kernel", false},
    {"install", "Install Software", "Install extra software", false},
    {"sep2", separator_label, separator_description, false},
    {"website", "Website", "Visit " KELVANE_WEBSITE_NAME, false},
    {"donate", "Donate", "Support this project", false},
}};

struct MenuAction {
    std::string_view tag;
    void (AppConsole::*run)();
};

constexpr std::array<MenuAction, 6> menu_actions{{
    {"setup", &AppConsole::setup},
    {"theme", &AppConsole::get_choice_theme},
    {"layout", &AppConsole::get_choice_layout},
    {"install", &AppConsole::get_choice_advanced},
    {"refind", &AppConsole::get_choice_refind_theme},
    {"xanmod", &AppConsole::get_choice_xanmod_kernel},
}};

}  // namespace

std::string main_menu_item_text(std::string_view label, std::string_view description) {
    std::string text = " " + std::string(label);
    if (label.size() < label_column) text.append(label_column - label.size(), ' ');
    return text + std::string(description);
}

Dialog main_menu_dialog(bool efi) {
    Dialog dialog{
        "Choose Action", std::string(cancel_button_exit), menu_kind("Choose action:"), {}, ""};
    for (const auto& entry : menu_entries) {
        if (entry.efi_only && !efi) continue;
        dialog.items.push_back(
            menu_item(entry.tag, main_menu_item_text(entry.label, entry.description)));
    }
    return dialog;
}

std::optional<std::string_view> main_menu_url(std::string_view tag) {
    if (tag == "website") return KELVANE_WEBSITE_URL;
    if (tag == "donate") return KELVANE_DONATE_URL;
    return std::nullopt;
}

bool main_menu_is_separator(std::string_view tag) { return tag == "sep1" || tag == "sep2"; }

void AppConsole::get_choice_action() {
    std::string answer;
    // A separator line shows the menu again; a loop gives the same order of dialogs as
    // calling the menu from inside itself, without growing the stack.
    do {
        log_debug("get_choice_action()");
        // Asked every time: the boot mode decides whether 'refind' is offered.
        answer = run_dialog(main_menu_dialog(boot_mode_is_efi()), true);
    } while (main_menu_is_separator(answer));

    if (const auto url = main_menu_url(answer)) {
        // The opener runs in the background; the run ends without waiting for the browser.
        xdg_open(*url, "");
        return;
    }
    selected_action = answer;
    log_debug("selected_action: " + selected_action);
    for (const auto& action : menu_actions) {
        if (action.tag == answer) {
            (this->*action.run)();
            break;
        }
    }
    log_debug("get_choice_action(): exit");
}
