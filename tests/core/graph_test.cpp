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
