#include <gtest/gtest.h>

#include "common/text.h"

using namespace popchan;

TEST(Utf8, SequenceLengthFromTheLeadByte) {
    EXPECT_EQ(utf8_length('A'), 1);
    EXPECT_EQ(utf8_length(0x7F), 1);
    EXPECT_EQ(utf8_length(0xC3), 2); // é
    EXPECT_EQ(utf8_length(0xDF), 2);
    EXPECT_EQ(utf8_length(0xE3), 3); // あ
    EXPECT_EQ(utf8_length(0xEF), 3); // ｱ, ０
    EXPECT_EQ(utf8_length(0xF0), 4); // 🎰
    EXPECT_EQ(utf8_chars("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x8E\xB0"), 4u);
    EXPECT_EQ(utf8_chars("　１０"), 3u);
}

TEST(Utf8, ColumnsOnATerminal) {
    EXPECT_EQ(display_width("310"), 3u);
    EXPECT_EQ(display_width("大当り確率"), 10u);
    EXPECT_EQ(display_width("ﾘｰﾁ"), 3u); // half-width katakana, U+FF61 to U+FF9F
    EXPECT_EQ(display_width("｡ﾟ"), 2u);
    EXPECT_EQ(display_width("～"), 2u); // U+FF5E, just before them
    EXPECT_EQ(display_width("￠"), 2u); // U+FFE0, after them
    EXPECT_EQ(display_width("é"), 2u);
    EXPECT_EQ(display_width("🎰"), 2u);
}
