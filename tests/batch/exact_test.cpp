#include <gtest/gtest.h>

#include <cmath>

#include "batch/options.h"
#include "batch/report.h"

using namespace popchan;
using namespace popchan::batch;

namespace {

// Seconds of a spin by its reach, as the rules give them: a plain reach 20 s,
// a presented reach 50 s, no reach 5 s in the probability-up state.
// Jackpot table: kind 1 has 1 of 103, the others 102.
constexpr double kAtariSeconds = (1 * 20.0 + 102 * 50.0) / 103;
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
    ASSERT_EQ(e.renchan.size(), 999u);
    expect_rel(e.renchan[0], 0.5, 1e-12, "one");
    expect_rel(e.renchan[1], 0.25, 1e-12, "two");
    expect_rel(e.renchan[5], 1.0 / 64, 1e-12, "six");
    expect_rel(e.renchan_mean, 2, 1e-12, "mean");
    expect_rel(e.kakuhen_share, 0.5, 1e-12, "share");
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
    const double tsujo = kAtariSeconds / 310 + 309.0 / 310 * hazure_tsujo(10);
    const double kakuhen = kAtariSeconds / 62 + 61.0 / 62 * kHazureKakuhen;
    expect_rel(e.seconds_tsujo, tsujo, 1e-12, "seconds normal");
    expect_rel(e.seconds_kakuhen, kakuhen, 1e-12, "seconds probability-up");
    // A chain: 310 normal spins, 62 probability-up spins, two payouts of 300 s.
    expect_rel(e.seconds_per_spin, (310 * tsujo + 62 * kakuhen) / 372, 1e-12, "seconds");
    expect_rel(e.jackpots_per_hour, 3600 * 2 / (310 * tsujo + 62 * kakuhen + 600), 1e-12,
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
    ASSERT_EQ(e.renchan.size(), 5u);
    expect_rel(e.renchan[0], 8.0 / 9 / 2 + 1.0 / 9, 1e-12, "one");
    expect_rel(e.renchan[1], 8.0 / 9 / 4, 1e-12, "two");
    expect_rel(e.renchan[2], 8.0 / 9 / 8, 1e-12, "three");
    expect_rel(e.renchan[3], 8.0 / 9 / 16, 1e-12, "four");
    expect_rel(e.renchan[4], 8.0 / 9 / 16, 1e-12, "five");
    expect_rel(e.renchan_mean, 5.0 / 9 + 2 * 2.0 / 9 + 3 * 1.0 / 9 + 4 / 18.0 + 5 / 18.0, 1e-12,
               "mean");
    expect_rel(e.kakuhen_share, 4.0 / 9, 1e-12, "share");
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
    const double tsujo = kAtariSeconds / 400 + 399.0 / 400 * hazure_tsujo(10);
    const double kakuhen = kAtariSeconds / 80 + 79.0 / 80 * kHazureKakuhen;
    // A chain: 400 normal spins and 5/6 × 80 probability-up spins.
    const double spins_up = 5.0 / 6 * 80;
    expect_rel(e.seconds_per_spin, (400 * tsujo + spins_up * kakuhen) / (400 + spins_up), 1e-12,
               "seconds");
    expect_rel(e.jackpots_per_hour,
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
    ASSERT_EQ(e.renchan.size(), 1u);
    EXPECT_EQ(e.renchan[0], 1);
    EXPECT_EQ(e.renchan_mean, 1);
    EXPECT_EQ(e.kakuhen_share, 0);
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
    const double tsujo = kAtariSeconds / 100 + 0.99 * hazure_tsujo(25);
    expect_rel(e.seconds_tsujo, tsujo, 1e-12, "seconds normal");
    expect_rel(e.seconds_per_spin, tsujo, 1e-12, "seconds");
    expect_rel(e.jackpots_per_hour, 3600 / (100 * tsujo + 300), 1e-12, "per hour");
}

TEST(Exact, ChainsAtSmallLimiters) {
    Premises z;
    // Limiter 2: a chain of 1 or 2 leaves renchan at 1 or more, so every first
    // hit after the first chain is at or past the limit.
    z.zentei_limiter = 2;
    ExactFigures e = exact_figures(z);
    EXPECT_EQ(e.renchan_mean, 1);
    EXPECT_EQ(e.kakuhen_share, 0);
    // Limiter 3: 1/2, 1/4, 1/4 when drawn; a chain of 2 or 3 (1/2) holds the
    // next first hit: drawn 2/3 of the time.
    z.zentei_limiter = 3;
    e = exact_figures(z);
    expect_rel(e.renchan[0], 2.0 / 3 / 2 + 1.0 / 3, 1e-12, "one");
    expect_rel(e.renchan[2], 2.0 / 3 / 4, 1e-12, "three");
    expect_rel(e.renchan_mean, 1.5, 1e-12, "mean");
    expect_rel(e.kakuhen_share, 1.0 / 3, 1e-12, "share");
    // R 1 and limiter 5: chains of 5 and 1 in turn.
    z.zentei_limiter = 5;
    z.zentei_kakuhenritu = 1;
    e = exact_figures(z);
    expect_rel(e.renchan[0], 0.5, 1e-12, "one");
    expect_rel(e.renchan[4], 0.5, 1e-12, "five");
    expect_rel(e.renchan_mean, 3, 1e-12, "mean");
    // P 1: every spin wins, in both states; P 4: 5/4 is still every spin.
    z.zentei_kakuritu = 4;
    e = exact_figures(z);
    EXPECT_EQ(e.atari_kakuhen, 1);
    expect_rel(e.atari_tsujo, 0.25, 1e-12, "P 4");
    z.zentei_kakuritu = 1;
    EXPECT_EQ(exact_figures(z).atari_tsujo, 1);
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
    const std::array<Estimate, 2> pace = m.pace(z999);
    within(e.seconds_per_spin, pace[0].value, pace[0].half, "seconds per spin");
    within(e.jackpots_per_hour, pace[1].value, pace[1].half, "jackpots per hour");
    const ChainEstimate chain = chain_estimate(m.chain);
    ASSERT_GT(chain.at_least.size(), 0u);
    within(e.renchan_mean, chain.mean, z999 * std::sqrt(chain.mean_var), "mean chain");
    // Lengths that enough chains reach for the interval's normal shape.
    const double chains = m.chain[0][0];
    double tail = 1;
    for (std::size_t n = 2; n <= e.renchan.size() && n <= 6; ++n) {
        tail -= e.renchan[n - 2];
        if (tail * chains < 30) break;
        const double seen = n <= chain.at_least.size() ? chain.at_least[n - 1] : 0;
        const double var = n <= chain.at_least.size() ? chain.at_least_var[n - 1] : 0;
        within(tail, seen, z999 * std::sqrt(var),
               ("chains of at least " + std::to_string(n)).c_str());
    }
}

} // namespace

TEST(Exact, FiguresLieWithinTheRunsInterval) {
    // Long days without a give-up keep the day's ends small beside the
    // intervals. The chain's figures are long-run ones, while each day starts
    // afresh with no chain before it; that difference is small where a day
    // holds many first hits, which is how the limiter cases are chosen.
    const Single none = kLimiterUnlimited, unlimited = kGiveupUnlimited;
    const Case cases[] = {
        {"start premises", 310, 2, none, 30, 10, 30000, 1500},
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
    // Of the chains, 4/9 reach two, 2/9 three, 1/9 four and 1/18 five.
    for (auto [n, share] :
         {std::pair{"2 連荘以上", "44.44 %"}, std::pair{"3 連荘以上", "22.22 %"},
          std::pair{"4 連荘以上", "11.11 %"}, std::pair{"5 連荘以上", "5.56 %"}}) {
        const auto at = text.find(n);
        ASSERT_NE(at, std::string::npos) << n;
        const std::string line = text.substr(at, text.find('\n', at) - at);
        EXPECT_TRUE(line.ends_with(std::string(" ") + share)) << line;
    }
    EXPECT_EQ(text.find("6 連荘以上"), std::string::npos) << text;
    EXPECT_EQ(text.find("["), std::string::npos) << text; // no run, no intervals
    EXPECT_NE(usage().find("--exact"), std::string::npos);
}
