#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>

#include "batch/options.h"
#include "batch/report.h"
#include "batch/sweep.h"
#include "batch/sweep_report.h"
#include "common/text.h"

using namespace popchan;
using namespace popchan::batch;

namespace {

// Seconds of a spin by its reach, as the rules give them: a plain reach 20 s,
// a presented reach 50 s, no reach 5 s in the probability-up state.
// Jackpot table: kind 1 has 1 of 103, the others 102.
constexpr double kJackpotSpinSeconds = (1 * 20.0 + 102 * 50.0) / 103;
// Miss table: kind 1 has 799 of 2172, kinds 2..10 the other 1373.
constexpr double kHazureReachSeconds = (799 * 20.0 + 1373 * 50.0) / 2172;
// In the probability-up state only kinds 3, 5, 7, 9, 10 stay on a miss:
// 40 + 30 + 30 + 30 + 5 = 135 of 2172 at 50 s, the rest show nothing, 5 s.
constexpr double kKakuhenReachSeconds = (135 * 50.0 + 2037 * 5.0) / 2172;

// A miss gets a reach one time in 14.
double hazure_tsujo(double no_reach) {
    return 13.0 / 14 * no_reach + 1.0 / 14 * kHazureReachSeconds;
}
constexpr double kHazureKakuhen = 13.0 / 14 * 5 + 1.0 / 14 * kKakuhenReachSeconds;

void expect_rel(double actual, double expected, double rel, const char* what) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * rel + 1e-12) << what;
}

} // namespace

TEST(Exact, StartPremises) {
    // P 310, payout 2100, R 2, no limiter, 30 spins per 1,000 yen, 2.22 yen a ball.
    const ExactFigures e = exact_figures(Premises{});
    expect_rel(e.atari_tsujo, 1.0 / 310, 1e-12, "normal chance");
    expect_rel(e.atari_kakuhen, 1.0 / 62, 1e-12, "probability-up chance");
    expect_rel(e.kakuhen_symbol, 0.5, 1e-12, "symbol");
    // Chains go on with 1/2 at every jackpot: 1/2, 1/4, 1/8 … mean 2.
    ASSERT_EQ(e.unending.renchan.size(), 999u);
    expect_rel(e.unending.renchan[0], 0.5, 1e-12, "one");
    expect_rel(e.unending.renchan[1], 0.25, 1e-12, "two");
    expect_rel(e.unending.renchan[5], 1.0 / 64, 1e-12, "six");
    expect_rel(e.unending.mean, 2, 1e-12, "mean");
    expect_rel(e.unending.kakuhen_share, 0.5, 1e-12, "share");
    // Int(250 / 30 + 0.5) = Int(8.83) = 8 balls; Int(1000 / 30 + 0.5) = 33 yen.
    EXPECT_EQ(e.balls_per_spin, 8);
    EXPECT_EQ(e.yen_per_spin, 33);
    expect_rel(e.balls_per_chain, 2 * 2100, 1e-12, "balls per chain");
    // Out 4200 / 310 per normal spin, in 8 × 309 / 310 (a jackpot spin is free).
    expect_rel(e.payout_ratio, 4200.0 / (8 * 309), 1e-12, "payout ratio");
    expect_rel(e.yen_per_spin_cash, (4200 * 2.22 - 309 * 33) / 310, 1e-6, "cash");
    expect_rel(e.yen_per_spin_held, (4200 - 309 * 8) * 2.22 / 310, 1e-6, "held");
    // Break-even: 4200 × 2.22 / 309 = 30.17 yen, or 4200 / 309 = 13.59 balls a
    // spin. Whole yen: 30 yen a spin from 1000 / 30.5 = 32.79 spins up.
    expect_rel(e.border_cash, 1000 / 30.5, 1e-12, "border cash");
    expect_rel(e.border_cash_exact, 1000 * 309 / (4200 * 2.22), 1e-6, "border cash exact");
    expect_rel(e.border_held, 250 / 13.5, 1e-12, "border held");
    expect_rel(e.border_held_exact, 250.0 * 309 / 4200, 1e-12, "border held exact");
    // No reach in the normal state: (30 × 6 + 250) × 0.6 / 30 = 8.6, so 10 s.
    const double tsujo = kJackpotSpinSeconds / 310 + 309.0 / 310 * hazure_tsujo(10);
    const double kakuhen = kJackpotSpinSeconds / 62 + 61.0 / 62 * kHazureKakuhen;
    expect_rel(e.seconds_tsujo, tsujo, 1e-12, "seconds normal");
    expect_rel(e.seconds_kakuhen, kakuhen, 1e-12, "seconds probability-up");
    // A chain: 310 normal spins, 62 probability-up spins, two payouts of 300 s.
    expect_rel(e.unending.seconds_per_spin, (310 * tsujo + 62 * kakuhen) / 372, 1e-12, "seconds");
    expect_rel(e.unending.jackpots_per_hour, 3600 * 2 / (310 * tsujo + 62 * kakuhen + 600), 1e-12,
               "per hour");
}

TEST(Exact, LimiterFive) {
    // P 400, payout 1500, R 2, limiter 5, 25 spins per 1,000 yen, 2.5 yen a ball.
    Premises z;
    z.zentei_kakuritu = 400;
    z.zentei_dedama = 1500;
    z.zentei_limiter = 5;
    z.zentei_kaiten = 25;
    z.zentei_kankin = 2.5f;
    const ExactFigures e = exact_figures(z);
    expect_rel(e.atari_tsujo, 1.0 / 400, 1e-12, "normal chance");
    expect_rel(e.atari_kakuhen, 1.0 / 80, 1e-12, "probability-up chance");
    // A first hit that draws its symbol: 1/2, 1/4, 1/8, 1/16, and 1/16 forced
    // off at the fifth. A chain of 4 or 5 (1/8) holds the next first hit,
    // which makes a chain of 1 and frees the one after: drawing 8/9 of the
    // first hits, held 1/9.
    ASSERT_EQ(e.unending.renchan.size(), 5u);
    expect_rel(e.unending.renchan[0], 8.0 / 9 / 2 + 1.0 / 9, 1e-12, "one");
    expect_rel(e.unending.renchan[1], 8.0 / 9 / 4, 1e-12, "two");
    expect_rel(e.unending.renchan[2], 8.0 / 9 / 8, 1e-12, "three");
    expect_rel(e.unending.renchan[3], 8.0 / 9 / 16, 1e-12, "four");
    expect_rel(e.unending.renchan[4], 8.0 / 9 / 16, 1e-12, "five");
    expect_rel(e.unending.mean, 5.0 / 9 + 2 * 2.0 / 9 + 3 * 1.0 / 9 + 4 / 18.0 + 5 / 18.0, 1e-12,
               "mean");
    expect_rel(e.unending.kakuhen_share, 4.0 / 9, 1e-12, "share");
    // Int(250 / 25 + 0.5) = 10 balls, Int(40.5) = 40 yen.
    EXPECT_EQ(e.balls_per_spin, 10);
    EXPECT_EQ(e.yen_per_spin, 40);
    const double chain = 11.0 / 6 * 1500; // 2750 balls
    expect_rel(e.balls_per_chain, chain, 1e-12, "balls per chain");
    expect_rel(e.payout_ratio, chain / 400 / (399.0 / 400 * 10), 1e-12, "payout ratio");
    expect_rel(e.yen_per_spin_cash, (chain * 2.5 - 399 * 40) / 400, 1e-12, "cash");
    expect_rel(e.yen_per_spin_held, (chain - 399 * 10) * 2.5 / 400, 1e-12, "held");
    // Break-even 6875 / 399 = 17.23 yen: 17 yen a spin from 1000 / 17.5 up;
    // 2750 / 399 = 6.89 balls: 6 balls a spin from 250 / 6.5 up.
    expect_rel(e.border_cash, 1000 / 17.5, 1e-12, "border cash");
    expect_rel(e.border_cash_exact, 1000 * 399 / 6875.0, 1e-12, "border cash exact");
    expect_rel(e.border_held, 250 / 6.5, 1e-12, "border held");
    expect_rel(e.border_held_exact, 250 * 399 / 2750.0, 1e-12, "border held exact");
    // (25 × 6 + 250) × 0.6 / 25 = 9.6, so 10 s.
    const double tsujo = kJackpotSpinSeconds / 400 + 399.0 / 400 * hazure_tsujo(10);
    const double kakuhen = kJackpotSpinSeconds / 80 + 79.0 / 80 * kHazureKakuhen;
    // A chain: 400 normal spins and 5/6 × 80 probability-up spins.
    const double spins_up = 5.0 / 6 * 80;
    expect_rel(e.unending.seconds_per_spin, (400 * tsujo + spins_up * kakuhen) / (400 + spins_up),
               1e-12, "seconds");
    expect_rel(e.unending.jackpots_per_hour,
               3600 * 11.0 / 6 / (400 * tsujo + spins_up * kakuhen + 300 * 11.0 / 6), 1e-12,
               "per hour");
}

TEST(Exact, LimiterOneAndSevenSpins) {
    // P 100, payout 2400, R 7.5, limiter 1, 7 spins per 1,000 yen, 4 yen a ball.
    Premises z;
    z.zentei_kakuritu = 100;
    z.zentei_dedama = 2400;
    z.zentei_kakuhenritu = 7.5f;
    z.zentei_limiter = 1;
    z.zentei_kaiten = 7;
    z.zentei_kankin = 4;
    const ExactFigures e = exact_figures(z);
    expect_rel(e.atari_kakuhen, 1.0 / 20, 1e-12, "probability-up chance");
    expect_rel(e.kakuhen_symbol, 2 / 15.0, 1e-12, "symbol");
    // Every first hit is at the limit: chains of one, never probability-up.
    ASSERT_EQ(e.unending.renchan.size(), 1u);
    EXPECT_EQ(e.unending.renchan[0], 1);
    EXPECT_EQ(e.unending.mean, 1);
    EXPECT_EQ(e.unending.kakuhen_share, 0);
    // Int(35.71 + 0.5) = 36 balls, Int(142.86 + 0.5) = 143 yen.
    EXPECT_EQ(e.balls_per_spin, 36);
    EXPECT_EQ(e.yen_per_spin, 143);
    expect_rel(e.payout_ratio, 24 / (0.99 * 36), 1e-12, "payout ratio");
    expect_rel(e.yen_per_spin_cash, 24 * 4 - 0.99 * 143, 1e-12, "cash");
    expect_rel(e.yen_per_spin_held, (24 - 0.99 * 36) * 4, 1e-12, "held");
    // 96 / 0.99 = 96.97 yen: 96 from 1000 / 96.5; 24 / 0.99 = 24.24 balls.
    expect_rel(e.border_cash, 1000 / 96.5, 1e-12, "border cash");
    expect_rel(e.border_held, 250 / 24.5, 1e-12, "border held");
    expect_rel(e.border_cash_exact, 1000 * 0.99 / 96, 1e-12, "border cash exact");
    // Int((7 × 6 + 250) × 0.6 / 7 + 0.5) = Int(25.5) = 25 s without reach.
    const double tsujo = kJackpotSpinSeconds / 100 + 0.99 * hazure_tsujo(25);
    expect_rel(e.seconds_tsujo, tsujo, 1e-12, "seconds normal");
    expect_rel(e.unending.seconds_per_spin, tsujo, 1e-12, "seconds");
    expect_rel(e.unending.jackpots_per_hour, 3600 / (100 * tsujo + 300), 1e-12, "per hour");
}

TEST(Exact, ChainsAtSmallLimiters) {
    Premises z;
    // Limiter 2: a chain of 1 or 2 leaves renchan at 1 or more, so every first
    // hit after the first chain is at or past the limit.
    z.zentei_limiter = 2;
    ExactFigures e = exact_figures(z);
    EXPECT_EQ(e.unending.mean, 1);
    EXPECT_EQ(e.unending.kakuhen_share, 0);
    // Limiter 3: 1/2, 1/4, 1/4 when drawn; a chain of 2 or 3 (1/2) holds the
    // next first hit: drawn 2/3 of the time.
    z.zentei_limiter = 3;
    e = exact_figures(z);
    expect_rel(e.unending.renchan[0], 2.0 / 3 / 2 + 1.0 / 3, 1e-12, "one");
    expect_rel(e.unending.renchan[2], 2.0 / 3 / 4, 1e-12, "three");
    expect_rel(e.unending.mean, 1.5, 1e-12, "mean");
    expect_rel(e.unending.kakuhen_share, 1.0 / 3, 1e-12, "share");
    // R 1 and limiter 5: chains of 5 and 1 in turn.
    z.zentei_limiter = 5;
    z.zentei_kakuhenritu = 1;
    e = exact_figures(z);
    expect_rel(e.unending.renchan[0], 0.5, 1e-12, "one");
    expect_rel(e.unending.renchan[4], 0.5, 1e-12, "five");
    expect_rel(e.unending.mean, 3, 1e-12, "mean");
    // P 1: every spin wins, in both states; P 4: 5/4 is still every spin.
    z.zentei_kakuritu = 4;
    e = exact_figures(z);
    EXPECT_EQ(e.atari_kakuhen, 1);
    expect_rel(e.atari_tsujo, 0.25, 1e-12, "P 4");
    z.zentei_kakuritu = 1;
    EXPECT_EQ(exact_figures(z).atari_tsujo, 1);
}

TEST(Exact, ChainOfADayAsPlayed) {
    // Shares of first hits that go on into a chain, for days that start with
    // no chain and end at their hours, from a model of the day written apart
    // from this program (second by second: 10 s a plain miss at 30 or 25
    // spins, 25 s at 7; a reach one miss in 14, 20 s for 799 of 2172 and 50 s
    // for the rest; a jackpot 20 s (1 of 103) or 50 s and 300 s more; in a
    // chain 1/62 a spin, 5 s a miss but for the 135 of 2172 reaches kept).
    struct Row {
        Single L, R, P, k, hours;
        double day, endless;
    };
    const Row rows[] = {
        // Only the day's first first hit starts a chain: 1/2 of 8.66 a day.
        {2, 2, 310, 30, 10, 0.0577003, 0},
        {5, 2, 310, 30, 10, 0.4533062, 4.0 / 9},
        {5, 1.5f, 310, 30, 10, 0.5357908, 36.0 / 70},
        {3, 2, 100, 7, 14, 0.3413169, 1.0 / 3},
        // Unlimited: no chain of a day reaches 998, every first hit draws.
        {999, 2, 310, 30, 10, 0.5, 0.5},
    };
    for (const Row& r : rows) {
        Premises z;
        z.zentei_limiter = r.L, z.zentei_kakuhenritu = r.R, z.zentei_kakuritu = r.P;
        z.zentei_kaiten = r.k, z.zentei_jikan = r.hours;
        const ExactFigures e = exact_figures(z);
        EXPECT_NEAR(e.day.kakuhen_share, r.day, 5e-7) << r.L << " " << r.R;
        EXPECT_NEAR(e.unending.kakuhen_share, r.endless, 1e-12) << r.L << " " << r.R;
        // Past the first jackpot a chain goes on as in unending play.
        for (std::size_t n = 1; n < e.unending.renchan.size() && n < 8; ++n)
            EXPECT_NEAR(e.day.renchan[n] * e.unending.kakuhen_share,
                        e.unending.renchan[n] * e.day.kakuhen_share, 1e-12);
    }
}

TEST(Exact, ChainEstimateFromCountsByHand) {
    // 100 first hits seen, 60 ended at once; 40 second jackpots, 30 ended; 8
    // third jackpots seen (two chains cut by the day's end), all ended.
    const ChainEstimate c = chain_estimate({{100, 60}, {40, 30}, {8, 8}});
    ASSERT_EQ(c.at_least.size(), 3u);
    EXPECT_DOUBLE_EQ(c.at_least[0], 1);
    EXPECT_DOUBLE_EQ(c.at_least[1], 0.4);
    EXPECT_DOUBLE_EQ(c.at_least[2], 0.4 * 0.25);
    EXPECT_DOUBLE_EQ(c.mean, 1 + 0.4 + 0.1);
    // Greenwood: S(2)² × (60 / (100 × 40) + 30 / (40 × 10)).
    EXPECT_NEAR(c.at_least_var[2], 0.01 * (0.015 + 0.075), 1e-15);
    // Mean: (0.4 + 0.1)² × 0.015 + 0.1² × 0.075; the last place ended all.
    EXPECT_NEAR(c.mean_var, 0.25 * 0.015 + 0.01 * 0.075, 1e-15);
}

TEST(Exact, DayRatioSpreadByHand) {
    DayRatio r;
    r.add(2, 10);
    r.add(4, 10);
    EXPECT_DOUBLE_EQ(r.ratio(), 0.3);
    // Residuals 2 − 3 and 4 − 3: sqrt(2 × 2 / 1) / 20 at z = 1.
    EXPECT_DOUBLE_EQ(r.half_width(1), std::sqrt(4.0) / 20);
}

namespace {

struct Case {
    const char* name;
    Single P, R, L, k;
    Single hours, giveup;
    std::int64_t days;
};

// Every exact figure the run measures lies within its 99.9 % interval.
void check_against_run(const Case& c) {
    SCOPED_TRACE(c.name);
    Premises z;
    z.zentei_kakuritu = c.P;
    z.zentei_kakuhenritu = c.R;
    z.zentei_limiter = c.L;
    z.zentei_kaiten = c.k;
    z.zentei_jikan = c.hours;
    z.zentei_giveup = c.giveup;
    RunConfig config;
    config.premises = z;
    config.days = c.days;
    config.seed = 1000 + std::uint64_t(c.days);
    config.threads = 2;
    Totals t;
    ASSERT_EQ(run(
                  config, t, [](const DayResult&, const std::vector<SpinRow>&) {}, nullptr),
              "");
    const ExactFigures e = exact_figures(z);
    const double z999 = 3.290527; // two-sided 99.9 %
    const auto within = [&](double exact, double estimate, double half, const char* what) {
        EXPECT_LE(std::fabs(exact - estimate), half + 1e-12)
            << what << ": exact " << exact << ", run " << estimate << " ± " << half;
    };
    const auto ratio = [&](double exact, const DayRatio& r, const char* what) {
        within(exact, r.ratio(), r.half_width(z999), what);
    };
    const Measured& m = t.exact;
    ratio(e.atari_tsujo, m.atari_tsujo, "normal chance");
    ratio(e.seconds_tsujo, m.seconds_tsujo, "seconds normal");
    if (m.atari_kakuhen.y > 0) {
        ratio(e.atari_kakuhen, m.atari_kakuhen, "probability-up chance");
        ratio(e.seconds_kakuhen, m.seconds_kakuhen, "seconds probability-up");
    }
    // The run's days start with no chain before them: their chains are the
    // day's, not unending play's.
    const std::array<Estimate, 2> pace = m.pace(z999);
    within(e.day.seconds_per_spin, pace[0].value, pace[0].half, "seconds per spin");
    within(e.day.jackpots_per_hour, pace[1].value, pace[1].half, "jackpots per hour");
    const ChainEstimate chain = chain_estimate(m.chain);
    ASSERT_GT(chain.at_least.size(), 0u);
    within(e.day.mean, chain.mean, z999 * std::sqrt(chain.mean_var), "mean chain");
    // Lengths that enough chains reach for the interval's normal shape.
    const double chains = m.chain[0][0];
    double tail = 1;
    for (std::size_t n = 2; n <= e.day.renchan.size() && n <= 6; ++n) {
        tail -= e.day.renchan[n - 2];
        if (tail * chains < 30) break;
        const double seen = n <= chain.at_least.size() ? chain.at_least[n - 1] : 0;
        const double var = n <= chain.at_least.size() ? chain.at_least_var[n - 1] : 0;
        within(tail, seen, z999 * std::sqrt(var),
               ("chains of at least " + std::to_string(n)).c_str());
    }
}

} // namespace

TEST(Exact, FiguresLieWithinTheRunsInterval) {
    // Days that end at their hours (no give-up), each starting with no chain
    // before it: at limiter 2 only a day's first first hit can start a
    // chain, which unending play never does.
    const Single none = kLimiterUnlimited, unlimited = kGiveupUnlimited;
    const Case cases[] = {
        {"start premises", 310, 2, none, 30, 10, 30000, 1500},
        {"limiter 2", 310, 2, 2, 30, 10, unlimited, 3000},
        {"limiter 5, R 1.5", 310, 1.5f, 5, 30, 10, unlimited, 3000},
        {"limiter 5, every spin wins", 1, 2, 5, 30, 14, unlimited, 600},
        {"limiter 1, R 1", 100, 1, 1, 30, 14, unlimited, 600},
        {"R 7.5, P 999, 7 spins", 999, 7.5f, none, 7, 14, unlimited, 1500},
        {"limiter 5, R 25, 1000 spins", 60, 25, 5, 1000, 14, unlimited, 600},
        {"R 25, every spin wins, 7 spins", 1, 25, none, 7, 14, unlimited, 400},
        {"limiter 5, R 7.5, 7 spins", 200, 7.5f, 5, 7, 14, unlimited, 800},
        {"limiter 1, every spin wins, 1000 spins", 1, 2, 1, 1000, 14, unlimited, 300},
        {"P 50", 50, 2, none, 30, 14, unlimited, 600},
        {"limiter 5, P 310, 1000 spins", 310, 2, 5, 1000, 14, unlimited, 800},
    };
    for (const Case& c : cases)
        check_against_run(c);
}

TEST(Exact, TheOptionPrintsTheFiguresAlone) {
    const Parsed p = parse({"--exact", "--limiter", "5"});
    ASSERT_TRUE(p.usage_errors.empty());
    EXPECT_TRUE(p.options.exact);
    const std::string text = exact_table(p.options.premises);
    EXPECT_NE(text.find("最高継続回数 5"), std::string::npos) << text;
    EXPECT_NE(text.find(" 1/310.00\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" 1/62.00\n"), std::string::npos) << text;
    // Chains drawn 8/9 of the time, probability-up half of those.
    EXPECT_NE(text.find(" 44.44 %\n"), std::string::npos) << text;
    EXPECT_NE(text.find("5 連荘以上"), std::string::npos) << text;
    // A day's chains, then unending play's: of these 4/9 reach two, 2/9
    // three, 1/9 four and 1/18 five. A day starts drawing, 45.33 % of its
    // first hits go on (from a model of the day written apart).
    for (auto [n, day, endless] : {std::tuple{"2 連荘以上", "45.33 %", "44.44 %"},
                                   std::tuple{"3 連荘以上", "22.67 %", "22.22 %"},
                                   std::tuple{"4 連荘以上", "11.33 %", "11.11 %"},
                                   std::tuple{"5 連荘以上", "5.67 %", "5.56 %"}}) {
        const auto at = text.find(n);
        ASSERT_NE(at, std::string::npos) << n;
        const auto next = text.find('\n', at);
        const std::string line = text.substr(at, next - at);
        const std::string below = text.substr(next + 1, text.find('\n', next + 1) - next - 1);
        EXPECT_TRUE(line.ends_with(std::string(" ") + day)) << line;
        EXPECT_TRUE(below.starts_with("    (連続プレイ) ")) << below;
        EXPECT_TRUE(below.ends_with(std::string(" ") + endless)) << below;
    }
    EXPECT_EQ(text.find("6 連荘以上"), std::string::npos) << text;
    EXPECT_EQ(text.find("["), std::string::npos) << text; // no run, no intervals
    EXPECT_NE(usage().find("--exact"), std::string::npos);
}

namespace {

// The row of a figure in a summary's exact section.
std::string row_of(const std::string& text, const std::string& label) {
    const auto at = text.find("  " + label + " ");
    if (at == std::string::npos) return "";
    return text.substr(at, text.find('\n', at) - at);
}

Totals played(const Premises& z, std::int64_t days, std::uint64_t seed) {
    RunConfig config;
    config.premises = z;
    config.days = days;
    config.seed = seed;
    Totals t;
    EXPECT_EQ(run(
                  config, t, [](const DayResult&, const std::vector<SpinRow>&) {}, nullptr),
              "");
    return t;
}

} // namespace

TEST(Exact, IntervalsStayWithinWhatCanBe) {
    // Wilson's interval, as tables give it: 0 of 10, 5 of 10, 10 of 10; of
    // nothing, all that a share can be.
    EXPECT_EQ(wilson(0, 0, 1.959964).low, 0);
    EXPECT_EQ(wilson(0, 0, 1.959964).high, 1);
    for (auto [x, low, high] : {std::tuple{0.0, 0.0, 0.2775}, std::tuple{5.0, 0.2366, 0.7634},
                                std::tuple{10.0, 0.7225, 1.0}}) {
        const Interval i = wilson(x, 10, 1.959964);
        EXPECT_NEAR(i.low, low, 1e-4) << x;
        EXPECT_NEAR(i.high, high, 1e-4) << x;
    }

    // Two days at a time: the probability-up chance's interval holds 1/62 as
    // often as a 95 % interval should (38 of 40 expected; 33 or fewer has a
    // chance below 1 %).
    int covered = 0;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        Totals t = played(Premises{}, 2, seed);
        const std::string r = row_of(exact_section(exact_figures(Premises{}), &t.exact, t.giveups),
                                     "大当り確率 (確変時)");
        double low = 0, high = 0;
        ASSERT_EQ(std::sscanf(r.substr(r.find('[')).c_str(), "[1/%lf, 1/%lf]", &low, &high), 2)
            << r;
        covered += low <= 62 && 62 <= high;
    }
    EXPECT_GE(covered, 34);

    // One day: no interval without a width; the ratios of days say there are
    // too few of them.
    Totals one = played(Premises{}, 1, 7);
    const std::string text = exact_section(exact_figures(Premises{}), &one.exact, one.giveups);
    for (const char* label : {"1回転の秒数 (通常時)", "1回転の秒数 (全体)", "1時間あたり大当り"})
        EXPECT_NE(row_of(text, label).find("区間なし (30 日未満)"), std::string::npos) << text;
    for (std::size_t at = text.find('['); at != std::string::npos; at = text.find('[', at + 1)) {
        const std::string inside = text.substr(at + 1, text.find(']', at) - at - 1);
        const auto comma = inside.find(", ");
        EXPECT_NE(inside.substr(0, comma), inside.substr(comma + 2)) << text;
    }

    // R 1 and 14 hours: no chain ends within a day, so the mean chain has no
    // estimate at all (once 90.000 [90.000, 90.000]).
    Premises endless;
    endless.zentei_kakuhenritu = 1;
    endless.zentei_jikan = 14;
    endless.zentei_giveup = kGiveupUnlimited;
    Totals never = played(endless, 40, 3);
    EXPECT_NE(
        row_of(exact_section(exact_figures(endless), &never.exact, never.giveups), "平均連荘数")
            .find(" - 区間なし (終わった連荘が 20 未満)"),
        std::string::npos);

    // A rare long chain, 1/2 × 1/2 × 1/25 = 1 %: Greenwood's variance
    // 1e-4 × (0.01 + 0.02 + 0.96) gives a normal interval reaching below 0;
    // it is the variance of 1 chain in 100, and Wilson's interval of that.
    Measured m;
    m.atari_tsujo.add(50, 15500);
    m.chain = {{100, 50}, {50, 25}, {25, 24}, {1, 0}, {1, 1}};
    const std::string tail = row_of(exact_section(exact_figures(Premises{}), &m, 0), "5 連荘以上");
    EXPECT_TRUE(tail.ends_with(" 1.00 % [0.18 %, 5.45 %]")) << tail;
    // No chain ended at its first jackpot: no variance, and the share of 10
    // of 10 chains has Wilson's interval of 10 of 10.
    m.chain = {{10, 0}, {10, 5}};
    const std::string all = row_of(exact_section(exact_figures(Premises{}), &m, 0), "2 連荘以上");
    EXPECT_TRUE(all.ends_with(" 100.00 % [72.25 %, 100.00 %]")) << all;
}

TEST(Exact, EdgesOfThePremisesPrintNoInfinity) {
    struct Case {
        std::vector<std::string> args;
        const char* label;
        const char* shown;
    };
    const Case cases[] = {
        // A chain pays 2 balls: 4.44 / 309 yen or 2 / 309 balls a spin break
        // even, below the half yen or ball that a rate up to 1000 can reach,
        // but for the ball that rounds to nothing from 500 spins up.
        {{"--payout", "1"}, "ボーダー 現金 (回/千円)", " なし (1000 回/千円でも届かない)"},
        {{"--payout", "1"}, "ボーダー 持ち玉 (回/千円)", " 500.00 超 (端数なし なし)"},
        // Int(250 / 1000 + 0.5) = 0 balls a spin: no ratio to spending.
        {{"--spin-rate", "1000"}, "出玉率 (通常時の出玉/投入玉)", "  -"},
        // Every spin wins: any rate breaks even.
        {{"--probability", "1"}, "ボーダー 現金 (回/千円)", " 0.00 超 (端数なし 0.00)"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--exact"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Parsed p = parse(args);
        ASSERT_TRUE(p.usage_errors.empty());
        const std::string text = exact_table(p.options.premises);
        const std::string r = row_of(text, c.label);
        EXPECT_TRUE(r.ends_with(c.shown)) << r;
        EXPECT_EQ(text.find("inf"), std::string::npos) << text;
        EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    }
}

TEST(Exact, TheRunsChainsStandApartWhereAGiveUpEndedDays) {
    // Limiter 5, R 1.5: a day that ends at its hours has 53.58 % of its first
    // hits going on (the model of the day above). Days cut short by the
    // give-up hold fewer first hits after a long chain, so their chains are
    // shown on a row of their own, not beside that figure.
    Premises z;
    z.zentei_limiter = 5;
    z.zentei_kakuhenritu = 1.5f;
    for (const bool giveup : {true, false}) {
        z.zentei_giveup = giveup ? 30000 : kGiveupUnlimited;
        Totals t = played(z, 300, 11);
        ASSERT_EQ(t.giveups > 0, giveup);
        const std::string text = exact_section(exact_figures(z), &t.exact, t.giveups);
        const std::string r = row_of(text, "初当りが確変になる割合");
        const auto next = text.find('\n', text.find(r)) + 1;
        const std::string below = text.substr(next, text.find('\n', next) - next);
        if (giveup) {
            EXPECT_TRUE(r.ends_with(" 53.58 %")) << r;
            EXPECT_TRUE(below.starts_with("    (ギブアップのある実測)")) << below;
            EXPECT_NE(below.find("% ["), std::string::npos) << below;
        } else {
            EXPECT_NE(r.find(" 53.58 %  "), std::string::npos) << r;
            EXPECT_NE(r.find("% ["), std::string::npos) << r;
            EXPECT_TRUE(below.starts_with("    (連続プレイ)")) << below;
        }
    }
}

TEST(Exact, FiguresWithoutAValueAreNullInJsonAndNoneInTheBorderTable) {
    // 0 balls a spin at 1000 spins: no payout ratio. A chain of 2 balls: no
    // cash border up to 1000 spins, nor an unrounded held one.
    PremiseTexts fast = start_texts(), poor = start_texts();
    fast[kRowKaiten] = "1000";
    poor[kRowDedama] = "1";
    EXPECT_NE(exact_json(fast).find("\"payout_ratio\": null,"), std::string::npos);
    const std::string json = exact_json(poor);
    for (const char* member : {"\"border_cash\": null,", "\"border_cash_unrounded\": null,",
                               "\"border_held\": 500,", "\"border_held_unrounded\": null,"})
        EXPECT_NE(json.find(member), std::string::npos) << member << "\n" << json;
    Header h{1, poor};
    const std::string table = border_table(h, 100, Border{});
    EXPECT_NE(table.find("理論値 (現金)                        なし\n"), std::string::npos)
        << table;
    EXPECT_NE(table.find("理論値 (持ち玉)                      500.00"), std::string::npos)
        << table;
}

TEST(Exact, ASweepOfFewDaysHasNoIntervalOfItsMean) {
    // One day has no spread to give an interval from (once "27,700 ～ 27,700").
    const Sweep s{"spin-rate", kRowKaiten, {"20", "21"}};
    for (const std::int64_t days : {1, 29, 30}) {
        Premises z;
        Totals t = played(z, days, 1);
        const std::vector<SweepRow> rows = {sweep_row("20", t)};
        const std::string table = sweep_table(Header{1, start_texts()}, s, rows);
        const std::string json = sweep_json(Header{1, start_texts()}, s, rows);
        if (days < 30) {
            EXPECT_NE(table.find("区間なし (30 日未満)"), std::string::npos) << table;
            EXPECT_NE(json.find("\"low\": null, \"high\": null"), std::string::npos) << json;
        } else {
            EXPECT_NE(table.find(" ～ "), std::string::npos) << table;
            EXPECT_EQ(json.find("null"), std::string::npos) << json;
        }
    }
}

TEST(Exact, TheSectionsColumnsLineUpAndRatiosNeedThirtyDays) {
    // Labels take 30 columns after two blanks, the exact figures 18, then the
    // run's estimate; a ratio over days has its interval from 30 days on.
    for (const std::int64_t days : {29, 30}) {
        Totals t = played(Premises{}, days, 5);
        const std::string text = exact_section(exact_figures(Premises{}), &t.exact, t.giveups);
        const std::string r = row_of(text, "1回転の秒数 (通常時)");
        EXPECT_EQ(r.find("区間なし (30 日未満)") != std::string::npos, days == 29) << r;
        EXPECT_EQ(r.find(" [") != std::string::npos, days == 30) << r;
        // The exact figures at 30 spins a 1,000 yen: 1/310 and 12.19 s.
        for (auto [label, exact] : {std::pair{"大当り確率 (通常時)", "1/310.00"},
                                    std::pair{"1回転の秒数 (通常時)", "12.19"}}) {
            const std::string line = row_of(text, label);
            const auto exact_at = line.find(exact, 2 + std::string(label).size());
            ASSERT_NE(exact_at, std::string::npos) << line;
            const auto estimate_at = line.find_first_not_of(' ', exact_at + std::strlen(exact));
            EXPECT_EQ(display_width(line.substr(0, exact_at)), 32u) << line;
            EXPECT_EQ(display_width(line.substr(0, estimate_at)), 50u) << line;
        }
    }
}
