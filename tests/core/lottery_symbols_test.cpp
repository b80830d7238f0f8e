#include <gtest/gtest.h>

#include "core/fakes.h"
#include "machine/lottery.h"

using namespace popchan;
using popchan::testing::pick;
using popchan::testing::ScriptedRandom;

namespace {

// A jackpot lottery at R = 2 whose symbol comes from the draw `d` (below 0.5:
// d < 1,000, the probability-up table; from 0.5: the other table) and the
// table draw k; reach kind 7, no slide, no notice. A promoted jackpot first
// stops on the other table's entry first_k.
SpinState jackpot_on(double d, int k, int promotion = 0, int first_k = 0) {
    SpinState s;
    Premises z;
    z.zentei_kakuhenritu = 2;
    if (promotion == 1) {
        ScriptedRandom promoted{0.0,           d, pick(k, 7), pick(1, 2), pick(first_k, 7),
                                pick(30, 103), 0, 0,          0,          pick(1, 10)};
        Timer1_Timer(s, 0, z, promoted);
        EXPECT_EQ(promoted.left(), 0u);
        return s;
    }
    ScriptedRandom plain{0.0, d, pick(k, 7), pick(0, 2), pick(30, 103), 0, 0, 0, pick(1, 10)};
    Timer1_Timer(s, 0, z, plain);
    EXPECT_EQ(plain.left(), 0u);
    return s;
}

} // namespace

// k = Int(Rnd × 7) picks the symbol from one of two seven-entry tables.
TEST(SymbolTables, EveryEntryOfBothTables) {
    const int other[7] = {0, 1, 2, 8, 4, 9, 6};
    const int kakuhen[7] = {3, 5, 7, 10, 11, 12, 13};
    for (int k = 0; k < 7; ++k) {
        const SpinState up = jackpot_on(0.3, k); // d = 600
        EXPECT_EQ(up.atari_egara, kakuhen[k]) << "k = " << k;
        EXPECT_EQ(up.kakuhen_zan, 1) << "k = " << k;
        const SpinState plain = jackpot_on(0.9, k); // d = 1,800
        EXPECT_EQ(plain.atari_egara, other[k]) << "k = " << k;
        EXPECT_EQ(plain.shoukaku_egara, 0) << "k = " << k;
    }
}

TEST(SymbolTables, APromotedJackpotStopsFirstOnTheOtherTable) {
    const int other[7] = {0, 1, 2, 8, 4, 9, 6};
    for (int k = 0; k < 7; ++k) {
        const SpinState s = jackpot_on(0.3, 6, 1, k); // promoted to 13
        EXPECT_EQ(s.shoukaku_egara, 13) << "k = " << k;
        EXPECT_EQ(s.atari_egara, other[k]) << "k = " << k;
    }
}

// d = Int(Rnd × R × 1,000) is below 1,000 for the probability-up table: at
// R = 2 a draw of 0.49975 gives 999, one of 0.5 gives 1,000.
TEST(SymbolTables, TheSymbolDrawAtTheEdgeOfItsBand) {
    EXPECT_EQ(jackpot_on(0.49975, 0).atari_egara, 3);
    EXPECT_EQ(jackpot_on(0.5, 0).atari_egara, 0);
}
