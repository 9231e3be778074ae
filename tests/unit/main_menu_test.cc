#include "app/main_menu.h"

#include <gtest/gtest.h>

#include "app/dialog.h"
#include "lib/commands.h"
#include "lib/files.h"
#include "test_support.h"

using namespace Velkor;
using namespace test_support;

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
TEST(MainMenu, AnswerPathWithSingleQuote) {
    ScratchDir dir;
    StubPath stubs;
    stubs.add("whiptail", "printf layout >&2");
    const std::string answer_path = dir / "it's a \"dir\"/answer";
    ASSERT_TRUE(dir_create(dir / "it's a \"dir\""));
    const std::string cmd = dialog_command(main_menu_dialog(false), answer_path);
    const std::string redirection = " 2> '" + dir / "it'\\''s a \"dir\"/answer'";
    EXPECT_EQ(redirection, cmd.substr(cmd.size() - redirection.size()));
    ASSERT_EQ(0, exec_posix(cmd));
    EXPECT_EQ("layout", file_read(answer_path).value_or("<unreadable>"));
}
