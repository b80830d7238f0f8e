#include <cmath>
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "common/numbers.h"

using namespace popchan;

namespace {
int error_number(auto&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}
} // namespace

TEST(Int16, HoldsTheWholeRangeAndOverflowsIntoError6) {
    EXPECT_EQ(Int16(32767).value(), 32767);
    EXPECT_EQ(Int16(-32768).value(), -32768);
    EXPECT_EQ(error_number([] { Int16 x(32768); }), kOverflow);
    EXPECT_EQ(error_number([] { Int16 x(-32769); }), kOverflow);
    EXPECT_EQ(error_number([] {
                  Int16 x(32767);
                  ++x;
              }),
              kOverflow);
    EXPECT_EQ(error_number([] {
                  Int16 x(-32768);
                  x -= 1;
              }),
              kOverflow);
    Int16 y(-1);
    y += 2;
    EXPECT_EQ(y, 1);
}

TEST(Int16, ConversionsRoundHalvesToEven) {
    EXPECT_EQ(to_int16(2.5), 2);
    EXPECT_EQ(to_int16(3.5), 4);
    EXPECT_EQ(to_int16(-2.5), -2);
    EXPECT_EQ(to_int16(-3.5), -4);
    EXPECT_EQ(to_int16(0.5), 0);
    EXPECT_EQ(to_int16(1.4999), 1);
    EXPECT_EQ(to_int16(32767.4), 32767);
    EXPECT_EQ(to_int16(-32768.5), -32768); // halves to even stay inside
    EXPECT_EQ(error_number([] { to_int16(32767.5); }), kOverflow);
    EXPECT_EQ(error_number([] { to_int16(-32769.0); }), kOverflow);
}

TEST(Int, IsTheFloor) {
    struct Case {
        double x, floor;
    };
    for (const Case c : {Case{2.9, 2},
                         {-0.5, -1},
                         {-2.0, -2},
                         {0.999999, 0},
                         {1e-300, 0},
                         {4503599627370495.5, 4503599627370495.0},
                         {9007199254740993.0 * 1024, 9007199254740993.0 * 1024},
                         {0x1p63, 0x1p63},
                         {1e300, 1e300},
                         {-1e300, -1e300},
                         {-0x1p63 - 4096, -0x1p63 - 4096}})
        EXPECT_EQ(vb_int(c.x), c.floor) << c.x;
    // The sign of a zero, infinities and NaN as they come.
    EXPECT_TRUE(std::signbit(vb_int(-0.0)));
    EXPECT_FALSE(std::signbit(vb_int(0.0)));
    EXPECT_EQ(vb_int(INFINITY), INFINITY);
    EXPECT_EQ(vb_int(-INFINITY), -INFINITY);
    EXPECT_TRUE(std::isnan(vb_int(NAN)));
}

TEST(NumberText, PlainDigitsForMessages) {
    EXPECT_EQ(cstr(Single(12300)), "12300");
    EXPECT_EQ(cstr(Single(-5)), "-5");
    EXPECT_EQ(cstr(2.22f), "2.22"); // the nearest float still reads 2.22
    EXPECT_EQ(cstr(Single(310)), "310");
    EXPECT_EQ(cstr(Single(9999999)), "9999999");
    EXPECT_EQ(cstr(Single(0)), "0");
    EXPECT_EQ(cstr(Single(-0.0f)), "0");
    EXPECT_EQ(cstr(Single(12345678)), "1.234568E+07"); // beyond seven digits
}

TEST(NumberText, ListsPutOneBlankBeforeNonNegativeNumbers) {
    EXPECT_EQ(str(0.0), " 0");
    EXPECT_EQ(str(1234.0), " 1234");
    EXPECT_EQ(str(-7.0), "-7");
    EXPECT_EQ(str(0.5), " .5");
    EXPECT_EQ(str(-0.25), "-.25");
    EXPECT_EQ(str(Single(37)), " 37");
}

TEST(NumberText, CounterFormat) {
    EXPECT_EQ(format_counter(0), "0");
    EXPECT_EQ(format_counter(999), "999");
    EXPECT_EQ(format_counter(1000), "1,000");
    EXPECT_EQ(format_counter(12345), "12,345");
    EXPECT_EQ(format_counter(1234567), "1,234,567");
    EXPECT_EQ(format_counter(-1234567), "-1,234,567");
    EXPECT_EQ(format_counter(-100), "-100");
    EXPECT_EQ(format_counter(2.5), "3");  // the format rounds halves away from zero
    EXPECT_EQ(format_counter(-0.4), "0"); // no "-0"
    EXPECT_EQ(format_counter(999.5), "1,000");
}

TEST(ErrorReport, BothForms) {
    const RuntimeError e(kOverflow);
    EXPECT_EQ(e.description(), "オーバーフローしました。");
    EXPECT_EQ(error_report(e, ReportForm::Long),
              "エラー番号 = 6、popchan でエラーが発生しました。 \nオーバーフローしました。");
    EXPECT_EQ(error_report(e, ReportForm::Short),
              "エラー番号 6popchan でエラーが発生しました。 \nオーバーフローしました。");
    EXPECT_EQ(RuntimeError(kSubscriptOutOfRange).description(),
              "インデックスが有効範囲にありません。");
    EXPECT_EQ(RuntimeError(kDivisionByZero).description(), "0 で除算しました。");
    EXPECT_EQ(RuntimeError(kTypeMismatch).description(), "型が一致しません。");
}

TEST(Subscripts, OutsideTheirBoundsAreError9) {
    std::array<int, 3> from0{10, 11, 12};
    EXPECT_EQ(element(from0, 0), 10);
    EXPECT_EQ(element(from0, 2), 12);
    element(from0, 1) = 21;
    EXPECT_EQ(from0[1], 21);
    const std::array<int, 5> from2{2, 3, 4, 5, 6}; // subscripts 2 to 6
    EXPECT_EQ(element(from2, 2, 2), 2);
    EXPECT_EQ(element(from2, 6, 2), 6);
    for (auto attempt : {std::function<void()>([&] { element(from0, -1); }),
                         std::function<void()>([&] { element(from0, 3); }),
                         std::function<void()>([&] { element(from2, 1, 2); }),
                         std::function<void()>([&] { element(from2, 7, 2); })}) {
        try {
            attempt();
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), 9);
        }
    }
}
