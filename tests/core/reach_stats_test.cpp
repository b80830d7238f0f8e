#include <gtest/gtest.h>

#include "stats/reach_stats.h"

using namespace popchan;

TEST(ReachStats, CountsPerStateWithTotals) {
    ReachStats s;
    s.Reach_Rireki(99, 0, 0, 0, 0);
    s.Reach_Rireki(2, 2, 1, 0, 0); // a jackpot on kind 2
    s.Reach_Rireki(2, 2, 0, 0, 0); // a reach that missed
    s.Reach_Rireki(7, 7, 1, 1, 0); // probability-up state
    EXPECT_EQ(s.count(2, 0), 1);
    EXPECT_EQ(s.count(2, 1), 2);
    EXPECT_EQ(s.count(0, 1), 2);
    EXPECT_EQ(s.count(27, 0), 1);
    EXPECT_EQ(s.count(20, 1), 1);
    EXPECT_EQ(s.list().lines[2], "箱  … 1/ 2");
    EXPECT_EQ(s.list().lines[13], "計… 1/ 2");
    EXPECT_EQ(s.list().lines[14], "（確変時）");
    EXPECT_EQ(s.list().lines[21], "猫２… 1/ 1");
    EXPECT_EQ(s.list().selected, 21); // kind 7, fourteen lines further down
    EXPECT_EQ(s.list().lines[12], "--------------");
}

TEST(ReachStats, HiddenMissesCountButDoNotRedraw) {
    ReachStats s;
    s.Reach_Rireki(99, 0, 0, 0, 3);
    s.Reach_Rireki(1, 1, 0, 0, 3);
    EXPECT_EQ(s.count(1, 1), 1);
    EXPECT_EQ(s.list().lines[1], "普通… 0/ 0");
    s.Reach_Rireki(3, 3, 1, 0, 3);
    EXPECT_EQ(s.list().lines[1], "普通… 0/ 1");
    EXPECT_EQ(s.list().lines[3], "箱２… 1/ 1");
    s.Reach_Rireki(99, 0, 0, 0, 3);
    EXPECT_EQ(s.list().lines[3], "箱２… 0/ 0");
    EXPECT_EQ(s.list().selected, -1);
}

TEST(ReachStats, WhichSpinsRedrawTheListInEachDisplayMode) {
    // Shown (0) and reaches only (2): every counted reach redraws; jackpots
    // only (3): a jackpot does, a miss does not.
    struct Case {
        Int16 digi_mode, atari_flag;
        bool redrawn;
    };
    for (const Case& c : {Case{0, 0, true}, Case{0, 1, true}, Case{2, 0, true}, Case{2, 1, true},
                          Case{3, 0, false}, Case{3, 1, true}}) {
        ReachStats s;
        s.Reach_Rireki(99, 0, 0, 0, c.digi_mode);
        s.Reach_Rireki(6, 6, c.atari_flag, 0, c.digi_mode);
        const std::string line = c.atari_flag ? "猫  … 1/ 1" : "猫  … 0/ 1";
        EXPECT_EQ(s.list().lines[6], c.redrawn ? line : "猫  … 0/ 0") << c.digi_mode;
        EXPECT_EQ(s.list().selected, c.redrawn ? 6 : -1) << c.digi_mode;
        EXPECT_EQ(s.count(6, 1), 1); // counted in every mode
    }
}

TEST(ReachStats, EachRedrawScrollsToItsLineAndAClearToTheTop) {
    ReachStats s;
    const auto before = s.list().redraws;
    s.Reach_Rireki(5, 5, 0, 0, 0);
    EXPECT_EQ(s.list().scroll_to, 5);
    EXPECT_EQ(s.list().selected, 5);
    s.Reach_Rireki(10, 10, 0, 1, 0); // probability-up state: fourteen lines down
    EXPECT_EQ(s.list().scroll_to, 24);
    EXPECT_EQ(s.list().lines[24], "精４… 0/ 1");
    EXPECT_EQ(s.list().lines[27], "計… 0/ 1");
    EXPECT_EQ(s.list().redraws, before + 2);
    // A clear scrolls back to the top and selects nothing, whatever the last spin was.
    s.Reach_Rireki(99, 10, 1, 1, 0);
    EXPECT_EQ(s.list().scroll_to, 0);
    EXPECT_EQ(s.list().selected, -1);
    EXPECT_EQ(s.list().redraws, before + 3);
    EXPECT_EQ(s.list().lines[27], "計… 0/ 0");
}
