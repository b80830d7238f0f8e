#include <gtest/gtest.h>

#include "parlour/graph.h"

using namespace popchan;

TEST(BalanceGraph, ClampsTheBalanceToTheChart) {
    BalanceGraph g;
    g.clear(15, 15);
    g.start_pen();
    g.plot(10, 0, 96700);
    EXPECT_EQ(g.pen_y(), 50);
    g.plot(10, 0, 96600);
    EXPECT_EQ(g.pen_y(), 51);
    g.plot(10, 0, -100000);
    EXPECT_EQ(g.pen_y(), 3000);
    g.plot(10, 0, -250000);
    EXPECT_EQ(g.pen_y(), 3000);
    // Just inside each edge the point stands where it falls.
    g.plot(10, 0, -100040); // 3000.6: held at 3000
    EXPECT_EQ(g.pen_y(), 3000);
    g.plot(10, 0, -99960); // 2999.4
    EXPECT_NEAR(g.pen_y(), 2999.4f, 0.001);
    g.plot(10, 0, 96630); // 50.55
    EXPECT_NEAR(g.pen_y(), 50.55f, 0.001);
}

TEST(BalanceGraph, EachDrawingKeepsTheLinesBeforeAndAClearWipesThemAll) {
    BalanceGraph g;
    g.clear(15, 15);
    g.start_pen();
    g.plot(10, 1, -100000); // from (0, 100) straight down to (0, 200)
    g.surface();
    g.plot(10, 3600, -100000); // on to (35, 200)
    const Surface& shown = g.surface();
    EXPECT_EQ(shown.at(0, 150), rgb(0, 0, 255)) << "the first segment is still there";
    EXPECT_EQ(shown.at(20, 200), rgb(0, 0, 255));
    g.clear(15, 15);
    const Surface& wiped = g.surface();
    EXPECT_EQ(wiped.at(0, 150), rgb(255, 255, 255));
    EXPECT_EQ(wiped.at(20, 200), rgb(255, 255, 255));
    EXPECT_EQ(wiped.at(0, 100), rgb(0, 0, 0)); // the zero line again
}

TEST(BalanceGraph, TimeRunsAcrossTheHoursOfPlay) {
    BalanceGraph g;
    g.clear(15, 15);
    g.start_pen();
    g.plot(8, 4 * 3600, 0);
    EXPECT_FLOAT_EQ(g.pen_x(), 2600);
    EXPECT_EQ(g.pen_y(), 1500);
}

TEST(BalanceGraph, DrawsBlueSegmentsFromThePen) {
    BalanceGraph g;
    g.clear(15, 15);
    g.start_pen();
    g.plot(10, 36000, 0); // along the zero line to the end of the day
    EXPECT_EQ(g.surface().at(100, 100), rgb(0, 0, 255));
    g.clear(15, 15);
    EXPECT_EQ(g.surface().at(100, 100), rgb(0, 0, 0));
    EXPECT_EQ(g.pen_x(), 0);
    EXPECT_EQ(g.pen_y(), 0);
}

TEST(BalanceGraph, WhiteChartWithTheZeroLineAcrossTheHoursOfPlay) {
    // 15 twips a pixel: the zero line at y = 1,500 ÷ 15 = 100 runs from x = 0
    // to 5,200 ÷ 15 = 346.7, the rest of the 353 × 209 pixels is white.
    BalanceGraph g;
    g.clear(15, 15);
    g.start_pen();
    g.plot(10, 36600, 96700); // a day's last segment, to the right edge at the top
    ASSERT_EQ(g.surface().at(350, 4), rgb(0, 0, 255));
    g.clear(15, 15);
    const Surface& s = g.surface();
    for (int y = 0; y < 209; ++y)
        for (int x : {348, 350, 352})
            ASSERT_EQ(s.at(x, y), rgb(255, 255, 255)) << x << ", " << y;
    EXPECT_EQ(s.at(0, 100), rgb(0, 0, 0));
    EXPECT_EQ(s.at(345, 100), rgb(0, 0, 0));
    EXPECT_EQ(s.at(350, 100), rgb(255, 255, 255));
    EXPECT_EQ(s.at(100, 99), rgb(255, 255, 255));
    EXPECT_EQ(s.at(100, 101), rgb(255, 255, 255));
    EXPECT_EQ(s.at(352, 208), rgb(255, 255, 255));

    // 12 twips a pixel: the zero line at y = 125.
    BalanceGraph small;
    small.clear(12, 12);
    EXPECT_EQ(small.surface().at(100, 125), rgb(0, 0, 0));
    EXPECT_EQ(small.surface().at(100, 100), rgb(255, 255, 255));
}

TEST(BalanceGraph, ASegmentRisesWithTheBalance) {
    // From the opening to half of 10 hours at +50,000 yen: (0, 1,500) to
    // (2,600, 750) twips, (0, 100) to (173.3, 50) pixels.
    BalanceGraph g;
    g.clear(15, 15);
    g.start_pen();
    g.plot(10, 18000, 50000);
    EXPECT_FLOAT_EQ(g.pen_x(), 2600);
    EXPECT_FLOAT_EQ(g.pen_y(), 750);
    const Surface& s = g.surface();
    EXPECT_EQ(s.at(0, 100), rgb(0, 0, 255));
    int blue_in_column_86 = 0; // halfway: y = 75
    for (int y = 73; y <= 77; ++y)
        blue_in_column_86 += s.at(86, y) == rgb(0, 0, 255);
    EXPECT_EQ(blue_in_column_86, 1);
    EXPECT_EQ(s.at(86, 100), rgb(0, 0, 0)); // the zero line stays black there
}

TEST(BalanceGraph, APointFarPastTheDaysEndIsDrawnToTheEdge) {
    // A one-second day and a jackpot of 350 s: x = 5200 × 350 = 1,820,000
    // twips, 121,333 pixels, past what a 16-bit pixel position holds. The line
    // runs level along the zero balance across the whole picture.
    BalanceGraph g;
    g.clear(15, 15);
    g.start_pen();
    g.plot(1 / 3600.0f, 350, 0);
    const Surface* shown = nullptr;
    ASSERT_NO_THROW(shown = &g.surface());
    EXPECT_EQ(shown->at(shown->width() - 1, 100), rgb(0, 0, 255));
}
