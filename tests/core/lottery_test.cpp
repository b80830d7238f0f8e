#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "core/fakes.h"
#include "machine/lottery.h"
#include "machine/rules.h"

using namespace popchan;
using popchan::testing::pick;
using popchan::testing::ScriptedRandom;

namespace {

constexpr double kWin = 0.0;    // a jackpot draw that wins at any P
constexpr double kLose = 0.999; // one that loses at P = 310

// The draws after the symbol of a jackpot: reach kind 7, no slide, no notice.
constexpr double kKind7 = pick(30, 103);

Premises premises(Single P = 310, Single R = 2, Single L = 999) {
    Premises z;
    z.zentei_kakuritu = P;
    z.zentei_kakuhenritu = R;
    z.zentei_limiter = L;
    return z;
}

} // namespace

TEST(KakuhenHantei, ProbabilityUpSymbolsAndOutsiders) {
    const std::pair<int, int> cases[] = {{-1, 1}, {0, 0},  {3, 1}, {9, 0},
                                         {13, 1}, {14, 0}, {15, 1}};
    for (auto [egara, expected] : cases)
        EXPECT_EQ(KakuhenHantei(egara), expected) << egara;
    int count = 0;
    for (int e = 0; e <= 13; ++e)
        count += KakuhenHantei(e);
    EXPECT_EQ(count, 7);
}

TEST(Lottery, ActsOnlyWhenALotteryIsDue) {
    SpinState s;
    s.spin_phase = 1;
    ScriptedRandom rng{};
    Timer1_Timer(s, 0, premises(), rng);
    EXPECT_EQ(s.spin_phase, 1);
    EXPECT_EQ(rng.randomized, 0);
}

TEST(Lottery, EachDrawScriptGivesItsSpin) {
    // Every spin starts from a machine whose flags a former spin left set; the
    // lottery clears them before it draws. kAny: a field the case leaves open.
    constexpr int kAny = -1;
    struct Fields {
        int atari_flag = kAny, atari_egara = kAny, shoukaku_egara = kAny, kakuhen_zan = kAny,
            reach_kind = kAny, suberi_flag = kAny, yokoku_chara = kAny, yokoku_level = kAny;
    };
    struct Case {
        const char* what;
        int kakuhen_zan, kakuhen_flag, renchan;
        Premises z;
        std::vector<double> draws;
        Fields expected;
    };
    const double edge = 1 / 62.4; // at 1 in 312 in the probability-up state, Rnd × 62.4 < 1
    const Case cases[] = {
        // d = Int(0.3 × 2000) = 600 < 1000: the probability-up table, k = 2 → 7;
        // promoted; the reels first stop on k = 3 → 8; kind 7; slide; notice 1 → 2.
        {"jackpot, promoted",
         0,
         0,
         0,
         premises(),
         {kWin, 0.3, pick(2, 7), pick(1, 2), pick(3, 7), kKind7, pick(1, 2), pick(1, 2), pick(1, 2),
          pick(0, 2), pick(5, 10)},
         {1, 8, 7, 1, 7, 1, 1, 2}},
        // d = 1800: the other table, k = 0, not promoted: the continuation runs down.
        {"jackpot on 0 from 2",
         2,
         0,
         0,
         premises(),
         {kWin, 0.9, pick(0, 7), pick(0, 2), kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 0, .kakuhen_zan = 1}},
        {"jackpot on 0 from 1",
         1,
         0,
         0,
         premises(),
         {kWin, 0.9, pick(0, 7), pick(0, 2), kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 0, .kakuhen_zan = 0}},
        {"jackpot on 0 from 0",
         0,
         0,
         0,
         premises(),
         {kWin, 0.9, pick(0, 7), pick(0, 2), kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 0, .kakuhen_zan = 0}},
        // A miss without a reach (1 of 14) and without a slide (5 of 14).
        {"plain miss",
         0,
         0,
         0,
         premises(),
         {kLose, pick(1, 14), pick(5, 14)},
         {0, 0, 0, 0, 0, 0, 0, 0}},
        {"plain miss, 9 of 14",
         0,
         0,
         0,
         premises(),
         {kLose, pick(5, 14), pick(9, 14)},
         {.reach_kind = 0, .suberi_flag = 0}},
        {"plain miss slides on 1 of 14",
         0,
         0,
         0,
         premises(),
         {kLose, pick(5, 14), pick(1, 14)},
         {.suberi_flag = 1}},
        // Symbol 0 promoted is written as 14; shown first as 0 again; 0 is no
        // probability-up symbol.
        {"promoted 0",
         1,
         0,
         0,
         premises(),
         {kWin, 0.9, pick(0, 7), pick(1, 2), pick(0, 7), kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 0, .shoukaku_egara = 14, .kakuhen_zan = 0}},
        // L = 1 at the start of a day (chain 0 = L − 1): forced onto the other
        // table; the continuation stops at 0.
        {"limiter 1",
         0,
         0,
         0,
         premises(310, 2, 1),
         {kWin, pick(6, 7), pick(0, 2), kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 6, .shoukaku_egara = 0, .kakuhen_zan = 0}},
        {"limiter 5, fifth jackpot: promoted onto another symbol",
         1,
         0,
         4,
         premises(310, 2, 5),
         {kWin, pick(3, 7), pick(1, 2), pick(1, 7), kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 1, .shoukaku_egara = 8, .kakuhen_zan = 0}},
        {"limiter 5, past it: no symbol lottery",
         2,
         0,
         5,
         premises(310, 2, 5),
         {kWin, kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 0, .shoukaku_egara = 0, .kakuhen_zan = 2, .reach_kind = 7}},
        {"unlimited, chain 997",
         0,
         0,
         997,
         premises(),
         {kWin, 0.1, pick(4, 7), 0, kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 11}},
        {"unlimited, chain 998: the other table",
         0,
         0,
         998,
         premises(),
         {kWin, pick(4, 7), 0, kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 4}},
        {"angel reach: no slide, no notice",
         0,
         0,
         0,
         premises(),
         {kWin, 0.1, 0, 0, pick(90, 103), pick(1, 2)},
         {.reach_kind = 11, .suberi_flag = 0, .yokoku_chara = 0, .yokoku_level = 0}},
        {"notice level 3 not for kind 3",
         0,
         0,
         0,
         premises(),
         {kWin, 0.1, 0, 0, pick(5, 103), 0, 0, 0, pick(0, 10)},
         {.reach_kind = 3, .yokoku_level = 2}},
        {"notice level 3 for kind 7",
         0,
         0,
         0,
         premises(),
         {kWin, 0.1, 0, 0, pick(30, 103), 0, 0, 0, pick(0, 10)},
         {.reach_kind = 7, .yokoku_level = 3}},
        // A reach (k = 0 of 14), kind 4, slide, notice character, level 1 → 2.
        {"miss with reach",
         0,
         0,
         0,
         premises(),
         {kLose, pick(0, 14), pick(1300, 2172), pick(1, 2), pick(1, 10), pick(1, 10), pick(0, 2)},
         {0, 0, kAny, kAny, 4, 1, 1, 2}},
        {"1 in 1 always wins",
         0,
         0,
         0,
         premises(1),
         {0.9999999, 0.1, 0, 0, pick(90, 103), 0},
         {.atari_flag = 1}},
        {"1 in 5 always wins in the probability-up state",
         0,
         1,
         0,
         premises(5),
         {0.9999999, 0.1, 0, 0, pick(90, 103), 0},
         {.atari_flag = 1}},
        {"1 in 3 always wins in the probability-up state",
         0,
         1,
         0,
         premises(3),
         {0.9999999, 0.1, 0, 0, pick(90, 103), 0},
         {.atari_flag = 1}},
        {"1 in 312 just below the edge",
         0,
         1,
         0,
         premises(312),
         {edge * 0.999, 0.1, 0, 0, pick(90, 103), 0},
         {.atari_flag = 1}},
        {"1 in 312 just above the edge",
         0,
         1,
         0,
         premises(312),
         {edge * 1.001, pick(5, 14), pick(5, 14)},
         {.atari_flag = 0}},
        // R = 1000: d = Int(0.5 × 1,000,000) would not fit 16 bits.
        {"R 1000",
         0,
         0,
         0,
         premises(310, 1000),
         {kWin, 0.5, pick(0, 7), 0, kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 0}},
        {"R 1000, d = 900: the probability-up table",
         0,
         0,
         0,
         premises(310, 1000),
         {kWin, 0.0009, pick(0, 7), 0, kKind7, 0, 0, 0, pick(1, 10)},
         {.atari_egara = 3}},
    };
    for (const Case& c : cases) {
        SpinState s;
        s.atari_flag = 1, s.atari_egara = 7, s.reach_kind = 4, s.suberi_flag = 1;
        s.yokoku_chara = 1, s.shoukaku_egara = 5, s.yokoku_level = 3, s.yokoku_scroll = 50;
        s.kakuhen_zan = Int16(c.kakuhen_zan), s.kakuhen_flag = Int16(c.kakuhen_flag);
        ScriptedRandom rng(c.draws);
        Timer1_Timer(s, Single(c.renchan), c.z, rng);
        EXPECT_EQ(s.spin_phase, 1) << c.what;
        EXPECT_EQ(rng.randomized, 1) << c.what;
        EXPECT_EQ(rng.left(), 0u) << c.what << ": every draw is used";
        EXPECT_EQ(s.yokoku_scroll, 0) << c.what;
        const Fields& e = c.expected;
        const std::pair<int, int> fields[] = {
            {e.atari_flag, s.atari_flag},         {e.atari_egara, s.atari_egara},
            {e.shoukaku_egara, s.shoukaku_egara}, {e.kakuhen_zan, s.kakuhen_zan},
            {e.reach_kind, s.reach_kind},         {e.suberi_flag, s.suberi_flag},
            {e.yokoku_chara, s.yokoku_chara},     {e.yokoku_level, s.yokoku_level}};
        for (std::size_t i = 0; i < std::size(fields); ++i)
            if (fields[i].first != kAny) {
                EXPECT_EQ(fields[i].second, fields[i].first) << c.what << ", field " << i;
            }
    }
}

TEST(Lottery, ProbabilityUpFilterKeepsOnlyStrongReachesOnMisses) {
    const std::pair<int, int> kinds[] = {{400, 1},  {1000, 2}, {1200, 3}, {1300, 4}, {1650, 5},
                                         {1700, 6}, {2070, 7}, {2100, 8}, {2150, 9}, {2170, 10}};
    for (auto [v, kind] : kinds) {
        SpinState s;
        s.kakuhen_flag = 1;
        ScriptedRandom rng{0.999, pick(0, 14), pick(v, 2172), pick(1, 2), 0.99, 0.99};
        Timer1_Timer(s, 0, premises(), rng);
        const bool kept = kind == 3 || kind == 5 || kind == 7 || kind == 9 || kind == 10;
        EXPECT_EQ(s.reach_kind, kept ? kind : 0) << kind;
        EXPECT_EQ(s.suberi_flag, kept ? 1 : 0) << kind;
    }
}

TEST(Reach_Hantei, EachBandOfBothTablesAtItsEdges) {
    // v = Int(Rnd × 103) on jackpots, Int(Rnd × 2172) on misses; each band
    // gives its kind from its first value to its last.
    struct Band {
        int first, last, kind;
    };
    const Band jackpot[] = {{0, 0, 1},   {1, 2, 2},    {3, 12, 3},   {13, 14, 4},
                            {15, 24, 5}, {25, 27, 6},  {28, 47, 7},  {48, 52, 8},
                            {53, 62, 9}, {63, 82, 10}, {83, 102, 11}};
    const Band miss[] = {{0, 798, 1},     {799, 1196, 2},  {1197, 1236, 3}, {1237, 1634, 4},
                         {1635, 1664, 5}, {1665, 2061, 6}, {2062, 2091, 7}, {2092, 2136, 8},
                         {2137, 2166, 9}, {2167, 2171, 10}};
    auto kind = [](Int16 atari_flag, int v, int n) {
        ScriptedRandom rng{pick(v, n)};
        return int(Reach_Hantei(atari_flag, rng));
    };
    for (const Band& b : jackpot) {
        EXPECT_EQ(kind(1, b.first, 103), b.kind) << b.first;
        EXPECT_EQ(kind(1, b.last, 103), b.kind) << b.last;
    }
    for (const Band& b : miss) {
        for (Int16 flag : {0, 2}) { // anything but 1 is a miss
            EXPECT_EQ(kind(flag, b.first, 2172), b.kind) << b.first;
            EXPECT_EQ(kind(flag, b.last, 2172), b.kind) << b.last;
        }
    }
}

TEST(Lottery, TheMachinesDrawsWinBelowOneBoundAtTheRulesEdges) {
    // The machine's draw is k × 2^-53 for its 53 bits k. At 1 in P the normal
    // state wins when Int(Int(Rnd × P × 10 + 1) / 10 + 0.9) = 1, that is below
    // 1/P; the probability-up state when Int(Rnd × P / 5 + 1) = 1, below 5/P.
    auto normal = [](double u, double P) {
        return std::floor(std::floor(u * P * 10 + 1) / 10 + 0.9) == 1;
    };
    auto kakuhen = [](double u, double P) { return std::floor(u * P / 5 + 1) == 1; };
    const double two53 = 0x1p53;
    for (double P : {1.0, 2.5, 5.0, 100.0, 310.0, double(319.68f), 999.9, 1000.0, double(1e-40f)}) {
        const JackpotBounds b = JackpotBounds::for_odds(P);
        ASSERT_TRUE(b.exact) << P;
        for (int state = 0; state < 2; ++state) {
            const auto wins = [&](std::uint64_t k) {
                const double u = double(k) / two53;
                return state == 1 ? kakuhen(u, P) : normal(u, P);
            };
            const std::uint64_t below = b.below[state];
            const double share = std::min((state == 1 ? 5 : 1) / P, 1.0);
            EXPECT_NEAR(double(below), share * two53, 4) << P << " " << state;
            EXPECT_TRUE(wins(below - 1)) << P << " " << state;
            if (below < (std::uint64_t(1) << 53)) {
                EXPECT_FALSE(wins(below)) << P << " " << state;
            }
        }
    }
    // Odds the premises never take have no bounds; the lottery then draws as
    // any generator does.
    for (double P : {0.0, -310.0, std::nan(""), HUGE_VAL})
        EXPECT_FALSE(JackpotBounds::for_odds(P).exact) << P;

    // Drawn from the machine's own generator, each lottery decides as the rule
    // does on the same draw.
    MachineRandom machine(3, false), twin(3, false);
    SpinState s;
    int hits = 0;
    for (int i = 0; i < 200000; ++i) {
        s.kakuhen_flag = i % 4 == 0 ? 1 : 0;
        const double u = twin.Rnd();
        const bool expected = s.kakuhen_flag == 1 ? kakuhen(u, 310) : normal(u, 310);
        ASSERT_EQ(lottery_detail::jackpot_draw(s, premises(310), machine), expected) << i;
        hits += expected;
    }
    const double p = 0.75 / 310 + 0.25 * 5 / 310;
    EXPECT_NEAR(hits, 200000 * p, 4 * std::sqrt(200000 * p * (1 - p))); // four deviations
}

TEST(Lottery, TheMachinesSmallDrawsSplitAtTheRulesEdges) {
    // Int(Rnd × n) on the machine's draw k × 2^-53, written out.
    auto whole = [](std::uint64_t k, int n) { return std::floor(double(k) / 0x1p53 * n); };
    for (int n : {2, 10, 14}) {
        for (int v : {0, 1}) {
            const std::uint64_t lo = rnd_bound(n, v), hi = rnd_bound(n, v + 1);
            EXPECT_NEAR(double(lo), double(v) / n * 0x1p53, 4) << n << " " << v;
            EXPECT_EQ(whole(lo, n), v) << n << " " << v;
            EXPECT_EQ(whole(hi - 1, n), v) << n << " " << v;
            if (lo > 0) {
                EXPECT_EQ(whole(lo - 1, n), v - 1) << n << " " << v;
            }
            if (hi < (std::uint64_t(1) << 53)) {
                EXPECT_EQ(whole(hi, n), v + 1) << n << " " << v;
            }
        }
    }
    EXPECT_EQ(rnd_bound(2, 2), std::uint64_t(1) << 53); // no draw gives 2

    // Whole lotteries on the machine's generator decide as on its twin drawn
    // through the plain interface, state by state.
    MachineRandom machine(5, false), twin(5, false);
    Random& plain = twin;
    int reaches = 0, slides = 0;
    for (int i = 0; i < 100000; ++i) {
        SpinState a, b;
        a.kakuhen_flag = b.kakuhen_flag = i % 3 == 0 ? 1 : 0;
        Timer1_Timer(a, 0, premises(310), machine);
        Timer1_Timer(b, 0, premises(310), plain);
        ASSERT_EQ(std::tie(a.atari_flag, a.atari_egara, a.reach_kind, a.suberi_flag, a.yokoku_chara,
                           a.yokoku_level, a.shoukaku_egara),
                  std::tie(b.atari_flag, b.atari_egara, b.reach_kind, b.suberi_flag, b.yokoku_chara,
                           b.yokoku_level, b.shoukaku_egara))
            << i;
        reaches += a.reach_kind != 0;
        slides += a.suberi_flag != 0;
    }
    // Both kinds of draw came up often enough to be compared.
    EXPECT_GT(reaches, 3000);
    EXPECT_GT(slides, 3000);

    // A lottery that mixes in the clock first draws from the mixed state and
    // leaves it so: its generator no longer follows the seed's sequence.
    MachineRandom mixed(9, true), unmixed(9, false);
    SpinState a, b;
    Timer1_Timer(a, 0, premises(310), mixed);
    Timer1_Timer(b, 0, premises(310), unmixed);
    EXPECT_NE(mixed.next(), unmixed.next());
}
