#include <gtest/gtest.h>

#include "lib/console.h"

TEST(Smoke, MessageBox) { EXPECT_EQ("┌┄┄┐\n└┄┄┘", Velkor::draw_message_box_thin("", -1, "┊")); }
