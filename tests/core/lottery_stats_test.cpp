// The lottery's rates over many seeded spins, against the machine's
// probabilities. Each tolerance is five binomial standard errors.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "machine/lottery.h"
#include "machine/rules.h"

using namespace popchan;

namespace {

constexpr int kSpins = 1'000'000;

// Weights of the reach kinds 1..11: of 103 on jackpots, of 2172 on misses
// with a reach.
constexpr std::array<double, 12> kJackpotWeights = {0, 1, 2, 10, 2, 10, 3, 20, 5, 10, 20, 20};
constexpr std::array<double, 12> kMissWeights = {0, 799, 398, 40, 398, 30, 397, 30, 45, 30, 5, 0};

// Expects `count` successes out of `n` at the probability `p`, within 5 σ.
void expect_rate(double count, double n, double p, const char* what) {
    const double sigma = std::sqrt(n * p * (1 - p));
    EXPECT_NEAR(count, n * p, 5 * sigma + 1e-9) << what << ": " << count / n << " vs " << p;
}

Premises odds(Single P, Single R = 2) {
    Premises z;
    z.zentei_kakuritu = P;
    z.zentei_kakuhenritu = R;
    return z;
}

template <class F> void run(const Premises& z, int kakuhen_flag, std::uint64_t seed, F&& each) {
    MachineRandom rng(seed, false);
    SpinState s;
    s.kakuhen_flag = kakuhen_flag;
    for (int i = 0; i < kSpins; ++i) {
        s.spin_phase = 0;
        Timer1_Timer(s, 0, z, rng);
        each(s);
    }
}

} // namespace

TEST(LotteryRates, JackpotRateInBothStates) {
    for (auto [P, kakuhen, p] :
         {std::tuple{310.0f, 0, 1 / 310.0}, std::tuple{310.0f, 1, 5 / 310.0},
          std::tuple{99.5f, 0, 1 / 99.5}, std::tuple{312.0f, 1, 5 / 312.0}}) {
        double jackpots = 0;
        run(odds(P), kakuhen, 11, [&](const SpinState& s) { jackpots += s.atari_flag; });
        expect_rate(jackpots, kSpins, p, "jackpots");
    }
}

TEST(LotteryRates, SymbolsPromotionReachesAndNoticesOfJackpots) {
    for (Single R : {2.0f, 7.5f, 1000.0f}) {
        double kakuhen_symbols = 0, promoted = 0, slides = 0, non_angel = 0, chara = 0;
        std::array<double, 12> kinds{}, levels_strong{}, levels_weak{};
        double strong = 0, weak = 0;
        run(odds(1, R), 0, 23, [&](const SpinState& s) {
            const int final_egara = s.shoukaku_egara == 14  ? 0
                                    : s.shoukaku_egara != 0 ? int(s.shoukaku_egara)
                                                            : int(s.atari_egara);
            kakuhen_symbols += KakuhenHantei(final_egara);
            promoted += s.shoukaku_egara != 0;
            kinds[s.reach_kind] += 1;
            if (s.reach_kind != 11) {
                ++non_angel;
                slides += s.suberi_flag;
                chara += s.yokoku_chara;
                if (s.reach_kind < 6)
                    ++weak, levels_weak[s.yokoku_level] += 1;
                else
                    ++strong, levels_strong[s.yokoku_level] += 1;
            } else {
                EXPECT_EQ(s.suberi_flag + s.yokoku_chara + s.yokoku_level, 0);
            }
            // Jackpots are never shown on a probability-up symbol first.
            if (s.shoukaku_egara != 0) {
                EXPECT_EQ(KakuhenHantei(s.atari_egara), 0);
            }
        });
        expect_rate(kakuhen_symbols, kSpins, 1 / R, "probability-up symbols");
        expect_rate(promoted, kSpins, 0.5, "promotions");
        if (R != 2.0f) continue;
        for (int k = 1; k <= 11; ++k)
            expect_rate(kinds[k], kSpins, kJackpotWeights[k] / 103.0, "jackpot reach kind");
        EXPECT_EQ(kinds[0], 0); // every jackpot has a reach
        expect_rate(slides, non_angel, 0.5, "jackpot slides");
        expect_rate(chara, non_angel, 0.5, "notice character");
        const std::array<double, 4> p_strong = {0.45, 0.225, 0.225, 0.1};
        const std::array<double, 4> p_weak = {0.45, 0.225, 0.325, 0};
        for (int l = 0; l < 4; ++l) {
            expect_rate(levels_strong[l], strong, p_strong[l], "notice level, kinds 6-10");
            expect_rate(levels_weak[l], weak, p_weak[l], "notice level, kinds 1-5");
        }
    }
}

TEST(LotteryRates, ReachesSlidesAndNoticesOfMisses) {
    double misses = 0, reaches = 0, plain = 0, plain_slides = 0, presented = 0,
           presented_slides = 0, chara = 0, level1 = 0, level2 = 0;
    std::array<double, 12> kinds{};
    run(odds(1000), 0, 37, [&](const SpinState& s) {
        if (s.atari_flag) return;
        ++misses;
        kinds[s.reach_kind] += 1;
        if (s.reach_kind != 0) ++reaches;
        if (s.reach_kind <= 1)
            ++plain, plain_slides += s.suberi_flag;
        else {
            ++presented;
            presented_slides += s.suberi_flag;
            chara += s.yokoku_chara;
            level1 += s.yokoku_level == 1;
            level2 += s.yokoku_level == 2;
            EXPECT_LE(s.yokoku_level, 2);
        }
    });
    expect_rate(reaches, misses, 1 / 14.0, "reaches on misses");
    for (int k = 1; k <= 10; ++k)
        expect_rate(kinds[k], reaches, kMissWeights[k] / 2172.0, "miss reach kind");
    EXPECT_EQ(kinds[11], 0);
    expect_rate(plain_slides, plain, 1 / 14.0, "slides without a presented reach");
    expect_rate(presented_slides, presented, 0.5, "slides with a presented reach");
    expect_rate(chara, presented, 0.1, "notice character on misses");
    expect_rate(level1, presented, 0.05, "notice level 1 on misses");
    expect_rate(level2, presented, 0.05, "notice level 2 on misses");
}

TEST(LotteryRates, ProbabilityUpMissesShowOnlyStrongReaches) {
    run(odds(1000), 1, 41, [&](const SpinState& s) {
        if (s.atari_flag) return;
        const int k = s.reach_kind;
        EXPECT_TRUE(k == 0 || k == 3 || k == 5 || k == 7 || k == 9 || k == 10) << k;
        if (k == 0) {
            EXPECT_EQ(s.suberi_flag, 0);
        }
    });
}

TEST(RandomGenerator, SameSeedSameDrawsAndClockReadingsNeverRepeatThem) {
    MachineRandom a(5, false), b(5, false);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(a.Rnd(), b.Rnd());
    // Two generators re-seeded from the clock over and over keep drawing
    // different numbers, even when the clock reads the same.
    MachineRandom c(9, true);
    double previous = -1;
    int repeats = 0;
    for (int i = 0; i < 100000; ++i) {
        c.Randomize();
        const double d = c.Rnd();
        repeats += d == previous;
        previous = d;
        ASSERT_GE(d, 0.0);
        ASSERT_LT(d, 1.0);
    }
    EXPECT_EQ(repeats, 0);
}

TEST(RandomGenerator, AFrontEndSeedsFromAWholeNumberOnly) {
    // A whole number gives the pure seeded sequence; anything else the
    // machine's own generator (null).
    for (const char* seed : {"5", "0005", "18446744073709551615"}) {
        const auto r = seeded_random(seed);
        ASSERT_NE(r, nullptr) << seed;
        MachineRandom same(seed[0] == '1' ? 18446744073709551615ull : 5, false);
        for (int i = 0; i < 3; ++i) {
            r->Randomize(); // no clock in a seeded sequence
            EXPECT_EQ(r->Rnd(), same.Rnd()) << seed;
        }
    }
    for (const char* seed :
         {(const char*)nullptr, "", "x", "5x", " 5", "-1", "+5", "1.5", "18446744073709551616"})
        EXPECT_EQ(seeded_random(seed), nullptr) << (seed ? seed : "null");
}

TEST(LotteryRates, ReliabilityOfEachReachKindAt310) {
    // A spin wins with 1/310 and every jackpot has a reach; a miss gets one
    // with 1/14. The share of a kind's reaches that win:
    //   (w_j / 103 / 310) / (w_j / 103 / 310 + 309 / 310 / 14 × w_m / 2172).
    std::array<double, 12> reaches{}, wins{};
    double spins = 0, weak = 0;
    run(odds(310), 0, 53, [&](const SpinState& s) {
        ++spins;
        reaches[s.reach_kind] += 1;
        wins[s.reach_kind] += s.atari_flag;
        const int k = s.reach_kind;
        weak += k == 1 || k == 2 || k == 4 || k == 6;
    });
    auto reliability = [](int k) {
        const double won = kJackpotWeights[k] / 103 / 310;
        const double lost = 309.0 / 310 / 14 * kMissWeights[k] / 2172;
        return won / (won + lost);
    };
    for (int k = 1; k <= 11; ++k)
        expect_rate(wins[k], reaches[k], reliability(k), "reliability");
    // The figures players quote: about 0.1 % for kind 1, 19 % for kind 3,
    // 39 % for kind 7, 79 % for kind 10 and 100 % for kind 11.
    const std::pair<int, double> quoted[] = {{1, 0.001}, {3, 0.19}, {7, 0.39}, {10, 0.79}, {11, 1}};
    for (const auto& [k, share] : quoted)
        EXPECT_NEAR(reliability(k), share, share < 0.01 ? 0.0005 : 0.005) << k;
    // Kinds 1, 2, 4 and 6 together: about 65 spins in 1,000.
    EXPECT_NEAR(weak / spins * 1000, 65, 1);
}
