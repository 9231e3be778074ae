#include <gtest/gtest.h>

#include "app/app_console.h"
#include "app/dialog.h"
#include "menu_test_support.h"
#include "ops/extension_payloads.h"
#include "ops/layout_payloads.h"
#include "ops/theme_payloads.h"

using namespace Velkor;
using namespace menu_test;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

// Runs an action that may end the process; the exit status, or -1 when it returned.
template <class Action>
int status_of(Action action) {
    try {
        action();
    } catch (const AppExit& request) {
        return request.status;
    }
    return -1;
}

}  // namespace

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

TEST(ThemeLayoutMenus, PayloadChoiceAndCommands) {
    EXPECT_EQ(light_theme_payload, theme_payload("light").value_or(""));
    EXPECT_EQ(dark_theme_payload, theme_payload("dark").value_or(""));
    EXPECT_FALSE(theme_payload("Dark"));
    EXPECT_FALSE(theme_payload(""));

    using Payloads = std::vector<std::string_view>;
    EXPECT_EQ((Payloads{minimal_layout_payload, clock_payload_a, clock_payload_b}),
              layout_payloads("minimal"));
    EXPECT_EQ((Payloads{windows_layout_payload, clock_payload_a, clock_payload_b}),
              layout_payloads("windows"));
    EXPECT_EQ((Payloads{ubuntu_layout_payload}), layout_payloads("ubuntu"));
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
                  "wget -O /tmp/gnome-shell-extension-installer "
                  "'https://github.com/brunelli/gnome-shell-extension-installer/raw/master/"
                  "gnome-shell-extension-installer'",
                  "sudo mv -f /tmp/gnome-shell-extension-installer /usr/bin/",
                  "sudo chmod 755 /usr/bin/gnome-shell-extension-installer"}),
              extension_installer_commands());
}

// The sections of the extension settings, in the order they are written.
TEST(ThemeLayoutMenus, ExtensionPayloadSections) {
    const std::vector<std::string> expected{
        "[org/gnome/shell]",
        "[com/ftpix/transparentbar]",
        "[org/gnome/shell/extensions/arcmenu]",
        "[org/gnome/shell/extensions/appindicator]",
        "[org/gnome/shell/extensions/caffeine]",
        "[org/gnome/shell/extensions/com/github/hermes83/compiz-windows-effect]",
        "[org/gnome/shell/extensions/custom-hot-corners-extended/misc]",
        "[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-bottom-left-0]",
        "[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-bottom-left-6]",
        "[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-bottom-right-0]",
        "[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-bottom-right-6]",
        "[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-top-left-0]",
        "[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-top-left-6]",
        "[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-top-right-0]",
        "[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-top-right-6]",
        "[org/gnome/shell/extensions/dash-to-panel]",
        "[org/gnome/shell/extensions/dash-to-dock]",
        "[org/gnome/shell/extensions/ding]",
        "[org/gnome/shell/extensions/extension-list]",
        "[org/gnome/shell/extensions/net/gfxmonk/impatience]",
        "[org/gnome/shell/extensions/netspeedsimplified]",
        "[org/gnome/shell/extensions/order-icons]",
        "[org/gnome/shell/extensions/status-area-horizontal-spacing]",
        "[org/gnome/shell/extensions/system-monitor]",
        "[org/gnome/shell/extensions/tophat]",
    };
    std::vector<std::string> headers;
    for (const auto& line : string_split(extensions_payload, "\n")) {
        if (!line.empty() && line.front() == '[') headers.push_back(line);
    }
    EXPECT_EQ(expected, headers);
    // One empty line between sections, none doubled, one line feed at the end.
    EXPECT_FALSE(string_contains(extensions_payload, "\n\n\n"));
    EXPECT_EQ('\n', extensions_payload.back());
    EXPECT_NE('\n', extensions_payload[extensions_payload.size() - 2]);
}

TEST_F(MenuStubs, WizardThemeAndLayoutOnlyStoreTheAnswer) {
    AppConsole app{AppConsole::SkipStartupChecks{}};
    answers({"0 dark", "0 minimal"});
    CaptureStdout();
    app.get_choice_theme();
    app.get_choice_layout();
    const std::string out = GetCapturedStdout();
    EXPECT_EQ("dark", app.theme);
    EXPECT_EQ("minimal", app.layout);
    EXPECT_EQ("Selected theme: dark\nSelected layout: minimal\n", out);
    EXPECT_EQ("", read("commands.log"));

    // Cancelling a wizard question ends the run before anything changes.
    answers({"1 "});
    CaptureStdout();
    EXPECT_EQ(0, status_of([&] { app.get_choice_layout(); }));
    EXPECT_EQ("Cancelled by user\n", GetCapturedStdout());
    EXPECT_EQ("minimal", app.layout);
}

TEST_F(MenuStubs, UnknownNamesApplyNothing) {
    AppConsole app{AppConsole::SkipStartupChecks{}};
    CaptureStdout();
    app.apply_theme("blue");
    app.apply_layout("bottom");
    const std::string out = GetCapturedStdout();
    EXPECT_TRUE(Contains(out, "┊ Apply Theme: blue ┊"));
    EXPECT_TRUE(Contains(out, "┊ Apply Layout: bottom ┊"));
    EXPECT_EQ(2u, string_split(out, "Applied\n").size() - 1);
    EXPECT_EQ("", read("commands.log"));
}

TEST_F(MenuStubs, FailingLoadEndsWithStatusOne) {
    AppConsole app{AppConsole::SkipStartupChecks{}};
    set("dconf_status", "1");
    CaptureStdout();
    EXPECT_EQ(1, status_of([&] { app.apply_layout("windows"); }));
    const std::string out = GetCapturedStdout();
    EXPECT_FALSE(string_contains(out, "Applied"));
    EXPECT_EQ(std::string(windows_layout_payload), read("payloads.log"));

    CaptureStdout();
    EXPECT_EQ(1, status_of([&] { app.update_config_gnome_extensions(true); }));
    GetCapturedStdout();
    EXPECT_EQ(std::string(windows_layout_payload) + std::string(extensions_payload),
              read("payloads.log"));
}
