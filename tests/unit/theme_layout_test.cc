#include <gtest/gtest.h>

#include "app/app_console.h"
#include "app/dialog.h"
#include "ops/extension_payloads.h"
#include "ops/layout_payloads.h"
#include "ops/theme_payloads.h"

TEST(ThemeLayoutMenus, CommandLinesInWizardAndStandAloneForms) {
    EXPECT_EQ(
        "whiptail --title 'GTK Theme' --notags --menu 'Choose theme:' 20 78 10 'light' 'light      "
        "Light theme' 'dark' 'dark       Dark theme' 2> '/w/a'",
        dialog_command(theme_menu_dialog(false), "/w/a"));
    EXPECT_EQ(
        "whiptail --title 'GTK Theme' --notags --menu 'Choose theme:' 20 78 10 'light' 'light      "
        "Light theme' 'dark' 'dark       Dark theme' 'back' 'back       -- Go back --' "
        "--cancel-button 'Exit' 2> '/w/a'",
        dialog_command(theme_menu_dialog(true), "/w/a"));
    EXPECT_EQ(
        "whiptail --title 'Desktop Layout' --notags --menu 'Choose layout:' 20 78 10 'ubuntu' "
        "'ubuntu      Left Dock with Top Panel' 'windows' 'bottom      Bottom Taskbar' 'minimal' "
        "'left        Left Taskbar' 2> '/w/a'",
        dialog_command(layout_menu_dialog(false), "/w/a"));
    EXPECT_EQ(
        "whiptail --title 'Desktop Layout' --notags --menu 'Choose layout:' 20 78 10 'ubuntu' "
        "'ubuntu      Left Dock with Top Panel' 'windows' 'bottom      Bottom Taskbar' 'minimal' "
        "'left        Left Taskbar' 'reset' 'default     Ubuntu Desktop (reset settings)' 'back' "
        "'back        -- Go back --' --cancel-button 'Exit' 2> '/w/a'",
        dialog_command(layout_menu_dialog(true), "/w/a"));
}

// What the known names load is checked key by key in the dconf tests.
TEST(ThemeLayoutMenus, PayloadChoiceAndCommands) {
    EXPECT_FALSE(theme_payload("Dark"));
    EXPECT_FALSE(theme_payload(""));
    EXPECT_TRUE(layout_payloads("reset").empty());
    EXPECT_TRUE(layout_payloads("bottom").empty());

    for (const auto payload : {light_theme_payload, dark_theme_payload, minimal_layout_payload,
                               ubuntu_layout_payload, windows_layout_payload, clock_payload_a,
                               clock_payload_b, extensions_payload, favorites_payload}) {
        EXPECT_EQ('\n', payload.front()) << payload;
        EXPECT_EQ('[', payload[1]) << payload;
    }

    EXPECT_EQ("./extensions_22.10/*", extensions_source("22.10"));
    EXPECT_EQ("/home/a b/.local/share/gnome-shell/extensions/",
              extensions_destination("/home/a b"));
    EXPECT_EQ((std::vector<std::string>{
                  "wget -O '/ws/it'\\''s/gnome-shell-extension-installer' "
                  "'https://github.com/brunelli/gnome-shell-extension-installer/raw/master/"
                  "gnome-shell-extension-installer'",
                  "sudo mv -f '/ws/it'\\''s/gnome-shell-extension-installer' /usr/bin/",
                  "sudo chown root:root /usr/bin/gnome-shell-extension-installer",
                  "sudo chmod 755 /usr/bin/gnome-shell-extension-installer"}),
              extension_installer_commands("/ws/it's/gnome-shell-extension-installer"));
}
