#include "lib/console.h"

#include <gtest/gtest.h>

#include "test_support.h"

using test_support::CaptureOutput;

TEST(MessageBox, FramesEveryLineToTheWidestInBytes) {
    using Velkor::draw_message_box_thin;
    EXPECT_EQ("┌┄┄┄┄┄┄┐\n┊ Done ┊\n└┄┄┄┄┄┄┘", draw_message_box_thin("Done", -1, "┊"));
    // No lines at all: only the two borders, inner width 0.
    EXPECT_EQ("┌┄┄┐\n└┄┄┘", draw_message_box_thin("", -1, "┊"));
    // A trailing line feed gives a last, empty row padded like the others.
    EXPECT_EQ("┌┄┄┄┄┐\n┊ ab ┊\n┊    ┊\n└┄┄┄┄┘", draw_message_box_thin("ab\n", -1, "┊"));
    // A minimum width pads every row.
    EXPECT_EQ("┌┄┄┄┄┄┐\n| a   |\n└┄┄┄┄┄┘", draw_message_box_thin("a", 3, "|"));
    // A width below the longest line does not cut it.
    EXPECT_EQ("┌┄┄┄┄┄┐\n| abc |\n└┄┄┄┄┄┘", draw_message_box_thin("abc", 2, "|"));
    EXPECT_EQ(
        "┌┄┄┄┄┄┄┄┄┄┄┐\n"
        "┊ Install  ┊\n"
        "┊ the apps ┊\n"
        "┊          ┊\n"
        "┊ now      ┊\n"
        "└┄┄┄┄┄┄┄┄┄┄┘",
        draw_message_box_thin("Install\nthe apps\n\nnow", -1, "┊"));
    // Lengths are bytes: "é" is two bytes, so it gets no blank where "e" gets one.
    EXPECT_EQ("┌┄┄┄┄┐\n┊ é ┊\n┊ e  ┊\n└┄┄┄┄┘", draw_message_box_thin("é\ne", -1, "┊"));
    // A box-drawing letter is three bytes.
    EXPECT_EQ("┌┄┄┄┄┄┐\n| ┊ |\n└┄┄┄┄┄┘", draw_message_box_thin("┊", -1, "|"));
    // Carriage returns are content, not line breaks.
    EXPECT_EQ("┌┄┄┄┄┐\n| a\r |\n└┄┄┄┄┘", draw_message_box_thin("a\r", -1, "|"));
}

TEST(Console, FillAndPad) {
    EXPECT_EQ("", Velkor::string_nfill(0, "┄"));
    EXPECT_EQ("", Velkor::string_nfill(-4, "x"));
    EXPECT_EQ("┄┄┄", Velkor::string_nfill(3, "┄"));
    EXPECT_EQ("ababab", Velkor::string_nfill(3, "ab"));

    EXPECT_EQ("007", Velkor::pad_left("7", '0', 3));
    EXPECT_EQ("abc", Velkor::pad_left("abc", '0', 3));
    EXPECT_EQ("abcd", Velkor::pad_left("abcd", '0', 3));
    EXPECT_EQ("   ", Velkor::pad_left("", ' ', 3));
    EXPECT_EQ("x", Velkor::pad_left("x", ' ', -2));
    // Bytes again: the two-byte letter needs one pad character less.
    EXPECT_EQ(".é", Velkor::pad_left("é", '.', 3));
}

TEST(Console, LineFormatsOnTheRightStreams) {
    CaptureOutput capture;
    Velkor::log_msg("plain text");
    Velkor::log_msg("");
    Velkor::log_error("it failed");
    Velkor::log_error("");
    Velkor::log_error("first\nsecond");
    Velkor::log_msg("ünïcødé ┊");
    EXPECT_EQ("plain text\n\nünïcødé ┊\n", capture.std_out());
    EXPECT_EQ("E: it failed\nE: \nE: first\nsecond\n", capture.std_err());
}

TEST(Console, DebugLinesOnlyWhileSwitchedOn) {
    ASSERT_FALSE(Velkor::log_debug_enabled);
    CaptureOutput capture;
    Velkor::log_debug("hidden");
    Velkor::log_debug_enabled = true;
    Velkor::log_debug("shown");
    Velkor::log_debug_enabled = false;
    Velkor::log_debug("hidden again");
    const std::string out = capture.std_out();
    EXPECT_TRUE(test_support::has_shape(out, "[##:##:##] D: shown\n")) << out;
    EXPECT_LT(std::stoi(out.substr(1, 2)), 24) << out;
    EXPECT_EQ("", capture.std_err());

    EXPECT_TRUE(test_support::has_shape(Velkor::timestamp(), "##:##:##"));
}
