#include <gtest/gtest.h>

#include <optional>

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

TEST(Utf8, EdgesOfTheLeadBytesAndTheHalfWidthBlock) {
    EXPECT_EQ(utf8_length(0xBF), 1); // a continuation byte counts alone
    EXPECT_EQ(utf8_length(0xC0), 2);
    EXPECT_EQ(utf8_length(0xE0), 3);
    EXPECT_EQ(display_width("\xC2\x80"), 2u);     // U+0080, the first past ASCII
    EXPECT_EQ(display_width("\xEF\xBE\x9F"), 1u); // U+FF9F, the last half-width one
    EXPECT_EQ(display_width("\xEF\xBE\xA0"), 2u); // U+FFA0, just after them
    EXPECT_EQ(display_width("\xC2"), 1u);         // a sequence cut short reads no further
}

TEST(DecimalNumber, WhatTheProgramWritesAndNothingElse) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"2.5", 2.5},
        {"-3", -3},
        {"1e5", 1e5},
        {"1e+5", 1e5},
        {"0.1", 0.1},
        {"0", 0},
        {"4.9e-324", 4.9e-324}, // the least double, below the normal ones
        {"", std::nullopt},
        {" 1", std::nullopt},
        {"\t1", std::nullopt},
        {"1 ", std::nullopt},
        {"+1", std::nullopt},
        {"0x10", std::nullopt},
        {"0X1p3", std::nullopt},
        {"12abc", std::nullopt},
        {"1e400", std::nullopt},
        {"1e-400", std::nullopt}, // too small for a double: not the 0 it would round to
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"-infinity", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decimal_number(c.text), c.value) << c.text;
    // A refusal leaves nothing behind for the next number.
    EXPECT_FALSE(decimal_number("1e-400").has_value());
    EXPECT_EQ(decimal_number("0"), 0.0);
}
