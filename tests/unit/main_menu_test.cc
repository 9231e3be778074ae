#include "app/main_menu.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/app_console.h"
#include "app/dialog.h"
#include "menu_test_support.h"

using namespace Velkor;
using namespace menu_test;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(MainMenu, CommandLineInBothBootModes) {
    const std::string head =
        "whiptail --title 'Choose Action' --cancel-button 'Exit' --notags --menu 'Choose "
        "action:' 20 78 10 'setup' ' Run Setup          Run the post-install wizard again' "
        "'sep1' ' -----------------  -----------------------------------' 'theme' ' Change "
        "Theme       Change the theme (light or dark)' 'layout' ' Change Layout      Change "
        "GNOME shell layout'";
    const std::string refind = " 'refind' ' Install Refind     Install Refind boot manager'";
    const std::string tail =
        " 'xanmod' ' Install XanMod     Install XanMod kernel' 'install' ' Install Software   "
        "Install extra software' 'sep2' ' -----------------  -----------------------------------' "
        "'website' ' Website            Visit kelvane.org' 'donate' ' Donate             Support "
        "this project' 2> '/tmp/kelvane_x/1/2'";

    EXPECT_EQ(head + refind + tail, dialog_command(main_menu_dialog(true), "/tmp/kelvane_x/1/2"));
    EXPECT_EQ(head + tail, dialog_command(main_menu_dialog(false), "/tmp/kelvane_x/1/2"));
    EXPECT_EQ(10u, main_menu_dialog(true).items.size());
    EXPECT_EQ(9u, main_menu_dialog(false).items.size());

    // A label as wide as the column or wider still gets its description, without padding.
    EXPECT_EQ(" 1234567890123456789x", main_menu_item_text("1234567890123456789", "x"));
    EXPECT_EQ(" ab                 c", main_menu_item_text("ab", "c"));

    EXPECT_EQ("https://kelvane.org", main_menu_url("website").value_or(""));
    EXPECT_EQ("https://kelvane.org/donate", main_menu_url("donate").value_or(""));
    EXPECT_FALSE(main_menu_url("setup"));
    EXPECT_FALSE(main_menu_url(""));
}

// The answer reaches its file through the shell redirection even when the path holds a quote.
TEST_F(MenuStubs, AnswerPathWithSingleQuote) {
    const std::string dir = root + "/it's a \"dir\"";
    ASSERT_TRUE(dir_create(dir));
    const std::string answer_path = dir + "/answer";
    const std::string cmd = dialog_command(main_menu_dialog(false), answer_path);
    const std::string redirection = " 2> '" + root + "/it'\\''s a \"dir\"/answer'";
    EXPECT_EQ(redirection, cmd.substr(cmd.size() - redirection.size()));

    answers({"0 layout"});
    ASSERT_EQ(0, exec_posix(cmd));
    EXPECT_EQ("layout", file_read(answer_path).value_or("<unreadable>"));
}

TEST_F(MenuStubs, WebsiteOpensThePageAndReturns) {
    AppConsole app{AppConsole::SkipStartupChecks{}};
    answers({"0 website"});
    CaptureStdout();
    app.get_choice_action();
    GetCapturedStdout();
    EXPECT_EQ("", app.selected_action);
    // The opener runs in the background; give it a moment.
    for (int i = 0; i < 100 && !string_contains(read("commands.log"), "xdg-open"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(Contains(read("commands.log"), "xdg-open https://kelvane.org\n"));
    EXPECT_EQ("Choose Action\n", read("whiptail.log"));
}

TEST_F(MenuStubs, UnknownOrUnreadableAnswerDoesNothing) {
    AppConsole app{AppConsole::SkipStartupChecks{}};
    answers({"0 wibble"});
    CaptureStdout();
    app.get_choice_action();
    GetCapturedStdout();
    EXPECT_EQ("wibble", app.selected_action);

    // A whiptail that succeeds without writing an answer: nothing is chosen, the run ends.
    stub("whiptail", "exit 0\n");
    app.selected_action = "";
    CaptureStdout();
    app.get_choice_action();
    GetCapturedStdout();
    EXPECT_EQ("", app.selected_action);
    EXPECT_EQ("sudo efibootmgr\nsudo efibootmgr\n", read("commands.log"));
}
