#include "app/main_menu.h"

#include <string_view>

#include "actions/boot_manager.h"
#include "actions/kernel.h"
#include "actions/layout.h"
#include "actions/software.h"
#include "actions/theme.h"
#include "actions/undo.h"
#include "app/startup.h"
#include "build_config.h"
#include "core/app_console.h"
#include "core/data_folder.h"
#include "core/dialogs.h"
#include "core/dialogs_data.h"
#include "core/exit.h"
#include "core/system.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "wizard/driver.h"

using namespace Velkor;

namespace {

constexpr size_t label_column = 19;
constexpr std::string_view separator_label = "-----------------";
constexpr std::string_view separator_description = "-----------------------------------";

MenuResult setup_action(AppConsole& app) {
    setup(app);
    return MenuResult::done;
}
MenuResult theme_action(AppConsole& app) {
    check_data(app.release, DataNeed::extensions);
    return get_choice_theme(app, AskedFrom::menu);
}
MenuResult layout_action(AppConsole& app) {
    check_data(app.release, DataNeed::extensions);
    return get_choice_layout(app, AskedFrom::menu);
}
MenuResult boot_manager_action(AppConsole& app) { return get_choice_refind_theme(app); }
MenuResult kernel_action(AppConsole& app) { return get_choice_xanmod_kernel(app); }
MenuResult software_action(AppConsole& app) {
    get_choice_advanced(app);
    return MenuResult::done;
}
MenuResult undo_action(AppConsole& app) { return get_choice_undo(app, runs_dir(app)); }
// The page opens in the background; the run ends without waiting for the browser.
MenuResult website_action(AppConsole&) {
    xdg_open(KELVANE_WEBSITE_URL, "");
    return MenuResult::done;
}
MenuResult donate_action(AppConsole&) {
    xdg_open(KELVANE_DONATE_URL, "");
    return MenuResult::done;
}

struct MenuEntry {
    std::string_view tag;
    std::string_view label;
    std::string_view description;
    bool efi_only;
    /// nullptr for a separator, which shows the menu again.
    MenuResult (*action)(AppConsole&);
};

// The order here is the order on screen.
constexpr MenuEntry menu_entries[] = {
    {"setup", "Run Setup", "Run the post-install wizard again", false, setup_action},
    {"sep1", separator_label, separator_description, false, nullptr},
    {"theme", "Change Theme", "Change the theme (light or dark)", false, theme_action},
    {"layout", "Change Layout", "Change GNOME shell layout", false, layout_action},
    {"refind", "Install Refind", "Install Refind boot manager", true, boot_manager_action},
    {"xanmod", "Install XanMod", "Install XanMod kernel", false, kernel_action},
    {"install", "Install Software", "Install extra software", false, software_action},
    {"undo", "Undo Run", "Undo a previous run", false, undo_action},
    {"sep2", separator_label, separator_description, false, nullptr},
    {"website", "Website", "Visit " KELVANE_WEBSITE_NAME, false, website_action},
    {"donate", "Donate", "Support this project", false, donate_action},
};

std::string item_text(std::string_view label, std::string_view description) {
    std::string text = " " + std::string(label);
    if (label.size() < label_column) text.append(label_column - label.size(), ' ');
    return text + std::string(description);
}

}  // namespace

Dialog main_menu_dialog(bool efi) {
    Dialog dialog{"Choose Action", std::string(cancel_button_exit), "", {}};
    for (const auto& entry : menu_entries) {
        if (entry.efi_only && !efi) continue;
        dialog.items.push_back(menu_item(entry.tag, item_text(entry.label, entry.description)));
    }
    // Every entry in view: a scrolling main menu hides the last ones.
    dialog.kind = menu_kind("Choose action:", static_cast<int>(dialog.items.size()));
    return dialog;
}

void run_main_menu(AppConsole& app) {
    while (true) {
        log_debug("get_choice_action()");
        // Asked every time: the boot mode decides whether the boot manager is offered.
        const std::string answer = run_dialog(main_menu_dialog(boot_mode_is_efi(app)), true);
        log_debug("selected_action: " + answer);
        const MenuEntry* chosen = nullptr;
        for (const auto& entry : menu_entries) {
            if (entry.tag == answer) chosen = &entry;
        }
        if (!chosen) return;  // an answer that is no entry ends the run, as before
        const int errors_before = log_error_count();
        if (chosen->action && chosen->action(app) == MenuResult::done) {
            // An action reports a failure with an error line and goes on; as its verb does, the
            // run then ends with status 1.
            if (log_error_count() > errors_before) exit_process(1);
            return;
        }
    }
}
