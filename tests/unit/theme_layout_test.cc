#include <gtest/gtest.h>
#include <unistd.h>

#include "app/app_console.h"
#include "app/dialog.h"
#include "menu_test_support.h"
#include "ops/extension_payloads.h"
#include "ops/layout_payloads.h"
#include "ops/theme_payloads.h"

using namespace Velkor;
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

TEST_F(StubbedTools, ThemeFromMainMenuAppliesAndEnds) {
    AppConsole app{AppConsole::SkipStartupChecks{}};
    answers({"0 theme", "0 dark"});
    CaptureStdout();
    const int status = status_of([&] { app.get_choice_action(); });
    const std::string out = GetCapturedStdout();
    EXPECT_EQ(0, status);
    EXPECT_EQ("dark", app.theme);
    EXPECT_EQ("Choose Action\nGTK Theme\n", read("whiptail.log"));
    EXPECT_TRUE(Contains(out, "Selected theme: dark\n\n┌"));
    EXPECT_TRUE(Contains(out, "┊ Apply Theme: dark ┊"));
    EXPECT_TRUE(Contains(out, "┘\nApplied\n"));
    EXPECT_EQ(std::string(dark_theme_payload), read("payloads.log"));
}

TEST_F(StubbedTools, ThemeBackReturnsToMenu) {
    AppConsole app{AppConsole::SkipStartupChecks{}};
    answers({"0 theme", "0 back", "0 wibble"});
    CaptureStdout();
    const int status = status_of([&] { app.get_choice_action(); });
    GetCapturedStdout();
    EXPECT_EQ(-1, status);
    EXPECT_EQ("light", app.theme);
    EXPECT_EQ("Choose Action\nGTK Theme\nChoose Action\n", read("whiptail.log"));
    EXPECT_EQ("", read("payloads.log"));
}

TEST_F(StubbedTools, WizardThemeAndLayoutOnlyStoreTheAnswer) {
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

TEST_F(StubbedTools, UnknownNamesApplyNothing) {
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

TEST_F(StubbedTools, FailingLoadEndsWithStatusOne) {
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

class LayoutFromMenu : public StubbedTools {
   protected:
    void SetUp() override {
        StubbedTools::SetUp();
        // The extensions come from the current folder, as from the program's data folder.
        data = root + "/data";
        ASSERT_TRUE(dir_create(data + "/extensions_22.04/caffeine@patapon.info"));
        ASSERT_TRUE(
            file_write(data + "/extensions_22.04/caffeine@patapon.info/metadata.json", "{}\n"));
        char cwd[4096];
        ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
        old_cwd = cwd;
        ASSERT_EQ(0, chdir(data.c_str()));
        app.user_home = root + "/home of 'me'";
        app.dist_version_id = "22.04";
    }
    void TearDown() override {
        EXPECT_EQ(0, chdir(old_cwd.c_str()));
        StubbedTools::TearDown();
    }

    int choose(const std::string& layout_tag) {
        answers({"0 layout", "0 " + layout_tag});
        CaptureStdout();
        const int status = status_of([&] { app.get_choice_action(); });
        out = GetCapturedStdout();
        return status;
    }

    AppConsole app{AppConsole::SkipStartupChecks{}};
    std::string data;
    std::string old_cwd;
    std::string out;
};

TEST_F(LayoutFromMenu, UbuntuCopiesExtensionsThenLoadsSettingsAndLayout) {
    ASSERT_EQ(0, choose("ubuntu"));
    EXPECT_EQ("ubuntu", app.layout);
    EXPECT_TRUE(file_exists(app.user_home +
                            "/.local/share/gnome-shell/extensions/caffeine@patapon.info/"
                            "metadata.json"));
    EXPECT_TRUE(Contains(out, "Selected layout: ubuntu\n"));
    EXPECT_TRUE(Contains(out, "┊ Install GNOME extensions ┊"));
    EXPECT_TRUE(Contains(out, "Installed extensions\n"));
    EXPECT_TRUE(Contains(out, "┊ Apply Layout: ubuntu ┊"));
    EXPECT_TRUE(Contains(out, "┘\nApplied\n"));
    // Extension settings without the favourites, then the layout.
    EXPECT_EQ(std::string(extensions_payload) + std::string(ubuntu_layout_payload),
              read("payloads.log"));
    if (!file_exists(extension_installer_path)) {
        EXPECT_TRUE(Contains(read("commands.log"),
                             "wget -O /tmp/gnome-shell-extension-installer "
                             "https://github.com/brunelli/gnome-shell-extension-installer/raw/"
                             "master/gnome-shell-extension-installer\n"
                             "sudo mv -f /tmp/gnome-shell-extension-installer /usr/bin/\n"
                             "sudo chmod 755 /usr/bin/gnome-shell-extension-installer\n"));
        EXPECT_TRUE(Contains(out, "Installed 'gnome-shell-extension-installer'\n"));
    }
}

TEST_F(LayoutFromMenu, ResetLoadsExtensionsThenResetsAndLogsOut) {
    ASSERT_EQ(0, choose("reset"));
    EXPECT_EQ(std::string(extensions_payload), read("payloads.log"));
    const std::string commands = read("commands.log");
    EXPECT_TRUE(Contains(commands,
                         "dconf load -f /\ndconf reset -f /org/gnome/\n"
                         "gnome-session-quit --no-prompt\n"));
}

TEST_F(LayoutFromMenu, FailedCopyIsReportedAndSettingsStillLoad) {
    app.dist_version_id = "21.10";
    testing::internal::CaptureStderr();
    ASSERT_EQ(0, choose("minimal"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(Contains(err, "E: Failed to install extensions: " + app.user_home +
                                  "/.local/share/gnome-shell/extensions/\n"));
    EXPECT_FALSE(string_contains(out, "Installed"));
    EXPECT_FALSE(string_contains(read("commands.log"), "wget"));
    EXPECT_EQ(std::string(extensions_payload) + std::string(minimal_layout_payload) +
                  std::string(clock_payload_a) + std::string(clock_payload_b),
              read("payloads.log"));
}
