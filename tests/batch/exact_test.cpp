#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>

#include "analysis/sweep.h"
#include "reports/exact_report.h"
#include "reports/options.h"
#include "reports/report.h"
#include "reports/sweep_report.h"
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

TEST(Exact, ABreakEvenOfWholeBallsIsABreakEven) {
    // P 5, R 2.5, limiter 521, 2.37 yen a ball: a chain pays 2100 / (1 − 0.4)
    // = 3500 balls, one spin in five, so a normal-state spin breaks even at
    // 0.2 × 3500 / 0.8 = 875 balls exactly, and a spin of 875 whole balls
    // (from 250 / 875.5 spins per 1,000 yen up) breaks even.
    Premises z;
    z.zentei_kakuritu = 5;
    z.zentei_kakuhenritu = 2.5f;
    z.zentei_limiter = 521;
    z.zentei_kankin = 2.37f;
    const ExactFigures e = exact_figures(z);
    expect_rel(e.border_held, 250 / 875.5, 1e-12, "border held");
    expect_rel(e.border_held_exact, 250.0 / 875, 1e-12, "border held unrounded");
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

namespace {

// A model of the day as played, written from the rules apart from this
// program and run backwards: what is still to come from each whole second
// in each state. The states: the normal state with the next first hit
// drawing its symbol or held at the limit, or a chain at n jackpots. A spin
// that starts within the hours is booked; one that ends past them ends the
// day. Seconds as above; 300 s more for a jackpot's payout.
struct DayModel {
    double first = 0, first_on = 0, jackpots = 0, spins = 0, seconds = 0;
    std::vector<double> at_least; // [n − 1]: chains of a day that reach n, n = 1..10
};

DayModel day_model(double P, double R, int L, int no_reach, double hours) {
    const int day = int(hours * 3600), longest = std::min(L - 1, day / 300 + 1);
    const int states = 2 + longest, places = 10, parts = 5 + places;
    const double p[2] = {1 / P, std::min(5 / P, 1.0)}, q = 1 / R;
    // (seconds, chance) of a miss and of a jackpot's spin, by state.
    const std::vector<std::pair<int, double>> miss[2] = {
        {{no_reach, 13.0 / 14}, {20, 799.0 / 2172 / 14}, {50, 1373.0 / 2172 / 14}},
        {{5, 13.0 / 14 + 2037.0 / 2172 / 14}, {50, 135.0 / 2172 / 14}}};
    const std::vector<std::pair<int, double>> hit = {{20, 1.0 / 103}, {50, 102.0 / 103}};
    // to_come[t % 400][state][part]: 0 spins, 1 seconds, 2 first hits, 3 first
    // hits going on, 4 jackpots, 5 + n − 1 jackpots that were the n-th of
    // their chain. No spin takes 400 s.
    using Sums = std::vector<double>;
    std::vector<std::vector<Sums>> to_come(400, std::vector<Sums>(std::size_t(states)));
    const auto held_after = [&](int length) { return length >= L - 1 ? 1 : 0; };
    for (int t = day; t >= 0; --t)
        for (int state = 0; state < states; ++state) {
            Sums& v = to_come[std::size_t(t % 400)][std::size_t(state)];
            v.assign(parts, 0.0);
            const int up = state >= 2 ? 1 : 0, chain = state - 1; // jackpots so far
            // A share w of a spin of s seconds into state `to` at `next`.
            const auto go = [&](double w, int s, int to, int next) {
                v[0] += w;
                v[1] += w * s;
                if (to < 0 || next > day) return;
                const Sums& after = to_come[std::size_t(next % 400)][std::size_t(to)];
                for (std::size_t i = 0; i < v.size(); ++i)
                    v[i] += w * after[i];
            };
            for (const auto& [s, c] : miss[up])
                go((1 - p[up]) * c, s, state, t + s);
            for (const auto& [s, c] : hit) {
                const double w = p[up] * c;
                const int n = up ? chain + 1 : 1; // this jackpot's place
                const double on = state == 0 || (up && chain < L - 1) ? q : 0;
                v[4] += w;
                if (n <= places) v[std::size_t(5 + n - 1)] += w;
                if (!up) v[2] += w, v[3] += w * on;
                go(w * on, s, n + 1 < states ? 1 + n : -1, t + s + 300);
                go(w * (1 - on), s, held_after(n), t + s + 300);
            }
        }
    const Sums& v = to_come[0][L >= 2 ? 0 : 1];
    DayModel m{v[2], v[3], v[4], v[0], v[1], {}};
    for (int n = 1; n <= places; ++n)
        m.at_least.push_back(v[std::size_t(5 + n - 1)] / v[2]);
    return m;
}

} // namespace

TEST(Exact, ChainOfADayAsPlayed) {
    // Days that start with no chain and end at the first spin booked after
    // their hours, at 30 spins a 1,000 yen (10 s a miss without reach). Their
    // chains are those the day holds, cut by its end; every first hit
    // counts, the one on the day's last spin too. Beside the model above,
    // figures of another model of the day, as printed: 1.19 jackpots an
    // hour and 11.71 s a spin at half an hour; 1.333 at 1 h, 1.498 at 10 h,
    // 1.647 at limiter 5 and R 1.5; 5.71 %, 36.64 % and 9.09 % of first hits
    // going on at limiter 2 (10 h, 1 h, and P 1 at half an hour).
    struct Row {
        double P, R;
        int L;
        double hours;
        double per_hour, seconds, going_on; // printed figures, 0 where none
    };
    const Row rows[] = {
        {310, 2, 999, 0.5, 1.19, 11.71, 0.5}, {310, 2, 999, 1, 1.333, 0, 0.5},
        {310, 2, 999, 10, 1.498, 0, 0.5},     {310, 1.5, 5, 10, 1.647, 0, 0},
        {310, 2, 2, 10, 0, 0, 0.0571},        {310, 2, 2, 1, 0, 0, 0.3664},
        {1, 2, 2, 0.5, 0, 0, 0.0909},         {100, 2, 3, 0.5, 0, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << "P " << r.P << " R " << r.R << " L " << r.L << ", " << r.hours << " h");
        Premises z;
        z.zentei_kakuritu = Single(r.P), z.zentei_kakuhenritu = Single(r.R);
        z.zentei_limiter = Single(r.L), z.zentei_jikan = Single(r.hours);
        const ExactFigures e = exact_figures(z);
        const DayModel m = day_model(r.P, r.R, r.L, 10, r.hours);
        expect_rel(e.day.kakuhen_share, m.first_on / m.first, 1e-9, "going on");
        expect_rel(e.day.mean, m.jackpots / m.first, 1e-9, "mean chain");
        expect_rel(e.day.seconds_per_spin, m.seconds / m.spins, 1e-9, "seconds a spin");
        expect_rel(e.day.jackpots_per_hour, m.jackpots / r.hours, 1e-9, "jackpots an hour");
        for (std::size_t n = 2; n <= 10; ++n)
            EXPECT_NEAR(e.day.at_least(n), m.at_least[n - 1], 1e-9) << n;
        const auto printed = [](double x, double figure, int decimals) {
            if (figure > 0) {
                EXPECT_NEAR(x, figure, 0.5 * std::pow(10, -decimals)) << figure;
            }
        };
        printed(e.day.jackpots_per_hour, r.per_hour, r.per_hour < 1.2 ? 2 : 3);
        printed(e.day.seconds_per_spin, r.seconds, 2);
        printed(e.day.kakuhen_share, r.going_on, r.going_on == 0.5 ? 6 : 4);
    }
    // A jackpot takes 320 s and more, so a half-hour day holds chains of 6
    // at most (the 6th from 1,600 s on), where unending play has 1.56 % of
    // 7 or more.
    Premises half;
    half.zentei_jikan = 0.5f;
    const ExactFigures e = exact_figures(half);
    EXPECT_GT(e.day.at_least(6), 0);
    EXPECT_EQ(e.day.at_least(7), 0);
    expect_rel(e.unending.at_least(7), 1.0 / 64, 1e-9, "unending");
}

TEST(Exact, DayRatioSpreadByHand) {
    DayRatio r;
    r.add(2, 10);
    r.add(4, 10);
    EXPECT_DOUBLE_EQ(r.ratio(), 0.3);
    // Residuals 2 − 3 and 4 − 3: sqrt(2 × 2 / 1) / 20 at z = 1.
    EXPECT_DOUBLE_EQ(r.half_width(1), std::sqrt(4.0) / 20);
    // One of each: the ratio is the sum itself.
    DayRatio one;
    one.add(3, 1);
    EXPECT_EQ(one.ratio(), 3);
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
        EXPECT_LE(std::fabs(exact - estimate), half + 1e-9 * std::fabs(exact))
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
    // First hits are counted one way: the day's last spin's too.
    EXPECT_EQ(m.kakuhen_first.y, double(t.first_hits));
    EXPECT_EQ(m.chain_mean.x, double(t.jackpots));
    // The run's days start with no chain before them and end at their
    // hours: their chains and pace are the day's, not unending play's.
    ratio(e.day.kakuhen_share, m.kakuhen_first, "first hits going on");
    ratio(e.day.mean, m.chain_mean, "mean chain");
    ratio(e.day.seconds_per_spin, m.seconds_all, "seconds per spin");
    ratio(e.day.jackpots_per_hour * c.hours, m.jackpots_per_day, "jackpots a day");
    // Lengths that enough chains reach for the interval's normal shape.
    for (std::size_t n = 2; n <= 6; ++n) {
        const double share = e.day.at_least(n);
        if (share * m.chain_mean.y < 30) break;
        ratio(share, m.chain_at[n - 2], ("chains of at least " + std::to_string(n)).c_str());
    }
}

} // namespace

TEST(Exact, FiguresLieWithinTheRunsInterval) {
    // Days that end at their hours (no give-up), each starting with no chain
    // before it: at limiter 2 only a day's first first hit can start a
    // chain, which unending play never does.
    const Single none = kLimiterUnlimited, unlimited = kGiveupUnlimited;
    const Case cases[] = {
        {"start premises without a give-up", 310, 2, none, 30, 10, unlimited, 1500},
        {"limiter 2", 310, 2, 2, 30, 10, unlimited, 3000},
        // Every spin wins: 9.09 % of first hits go on, 11.11 % of those
        // before the day's last spin.
        {"limiter 2, every spin wins, half an hour", 1, 2, 2, 30, 0.5f, unlimited, 3000},
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
    // A day's chains, as the model of the day above has them, then unending
    // play's: of these 4/9 reach two, 2/9 three, 1/9 four and 1/18 five.
    const DayModel day = day_model(310, 2, 5, 10, 10);
    for (auto [n, endless] : {std::pair{2, "44.44 %"}, std::pair{3, "22.22 %"},
                              std::pair{4, "11.11 %"}, std::pair{5, "5.56 %"}}) {
        const std::string label = std::to_string(n) + " 連荘以上";
        const auto at = text.find(label);
        ASSERT_NE(at, std::string::npos) << n;
        const auto next = text.find('\n', at);
        const std::string line = text.substr(at, next - at);
        const std::string below = text.substr(next + 1, text.find('\n', next + 1) - next - 1);
        char shown[32];
        std::snprintf(shown, sizeof shown, " %.2f %%", 100 * day.at_least[std::size_t(n - 1)]);
        EXPECT_TRUE(line.ends_with(shown)) << line << " against" << shown;
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
    // None of n has a low bound of exactly 0 and all of n a high one of exactly
    // 1, whatever rounding leaves (once 1.7e-18 at n = 149, printed 1/5.8e17).
    for (int n = 1; n <= 1000; ++n) {
        EXPECT_EQ(wilson(0, n, kZ95).low, 0) << n;
        EXPECT_EQ(wilson(n, n, kZ95).high, 1) << n;
    }
    EXPECT_EQ(wilson(0, 0, 1.959964).high, 1);
    for (auto [x, n, low, high] :
         {std::tuple{0.0, 10.0, 0.0, 0.2775}, std::tuple{5.0, 10.0, 0.2366, 0.7634},
          std::tuple{10.0, 10.0, 0.7225, 1.0}, std::tuple{1.0, 1.0, 0.2065, 1.0}}) {
        const Interval i = wilson(x, n, 1.959964);
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

    // Each a ratio over 100 days (30 for the last): 10 first hits with 25
    // jackpots have no interval of the mean chain yet; one chain of 5 in 100
    // days of one first hit each, the ratio's spread 0.01 (the count of 99
    // chains that a share of 1 % would need for it) and Wilson's interval of
    // that; 30 first hits that all went on, no spread, Wilson's 30 of 30.
    Measured m;
    for (int day = 0; day < 100; ++day) {
        m.atari_tsujo.add(1, 310);
        m.chain_mean.add(day < 5 ? 3 : day < 10 ? 2 : 0, day < 10 ? 1 : 0);
        m.chain_at[3].add(day == 0 ? 1 : 0, 1);
        if (day < 30) m.kakuhen_first.add(1, 1);
    }
    const std::string text_m = exact_section(exact_figures(Premises{}), &m, 0);
    for (auto [label, shown] :
         {std::pair{"平均連荘数", " 2.500 区間なし (初当りが 20 未満)"},
          std::pair{"5 連荘以上", " 1.00 % [0.18 %, 5.49 %]"},
          std::pair{"初当りが確変になる割合", " 100.00 % [88.65 %, 100.00 %]"}})
        EXPECT_TRUE(row_of(text_m, label).ends_with(shown)) << row_of(text_m, label);
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
    // Limiter 5, R 1.5: the share of a day's first hits going on, as the
    // model of the day above has it. Days cut short by the give-up hold
    // fewer jackpots and no chain cut at their end, so their chains and pace
    // are shown on rows of their own, not beside the figures of a day.
    Premises z;
    z.zentei_limiter = 5;
    z.zentei_kakuhenritu = 1.5f;
    const DayModel day = day_model(310, 1.5, 5, 10, 10);
    char going_on[32];
    std::snprintf(going_on, sizeof going_on, " %.2f %%", 100 * day.first_on / day.first);
    for (const bool giveup : {true, false}) {
        z.zentei_giveup = giveup ? 30000 : kGiveupUnlimited;
        Totals t = played(z, 300, 11);
        ASSERT_EQ(t.giveups > 0, giveup);
        const std::string text = exact_section(exact_figures(z), &t.exact, t.giveups);
        for (const char* label : {"初当りが確変になる割合", "1時間あたり大当り"}) {
            const std::string r = row_of(text, label);
            const auto next = text.find('\n', text.find(r)) + 1;
            const std::string below = text.substr(next, text.find('\n', next) - next);
            if (giveup) {
                EXPECT_EQ(r.find('['), std::string::npos) << r;
                EXPECT_TRUE(below.starts_with("    (ギブアップのある実測)")) << below;
                EXPECT_NE(below.find(" ["), std::string::npos) << below;
            } else {
                EXPECT_NE(r.find(" ["), std::string::npos) << r;
                EXPECT_TRUE(below.starts_with("    (連続プレイ)")) << below;
            }
        }
        const std::string r = row_of(text, "初当りが確変になる割合");
        EXPECT_NE(r.find(going_on), std::string::npos) << r << " against" << going_on;
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

namespace {

// The exact figure of a row and the run's interval beside it, as printed:
// "1/310.00 … [1/304.23, 1/317.49]", "50.00 % … [49.59 %, 51.95 %]",
// "1.412 … [1.407, 1.436]", "2966 個 … [2955, 3015]". None where the row has
// no interval.
std::optional<std::array<double, 3>> exact_and_interval(const std::string& row,
                                                        const std::string& label) {
    const auto open = row.find('[');
    if (open == std::string::npos) return std::nullopt;
    const auto number = [](const std::string& s, std::size_t from) {
        const auto at = s.find_first_of("0123456789", from);
        return std::strtod(s.c_str() + at, nullptr);
    };
    const bool chance = row.find("1/", label.size()) < open;
    const double exact = number(row, 2 + label.size()), low = number(row, open + 1),
                 high = number(row, row.find(", ", open) + 2);
    // A chance is shown as 1/N: the figure and the bounds turned round.
    if (chance) return std::array{1 / exact, 1 / high, 1 / low};
    return std::array{exact, low, high};
}

} // namespace

TEST(Exact, TheRunsIntervalsHoldTheDaysFiguresAtTheirRate) {
    // 100 runs of a few hundred days each, at three lengths of day, without
    // a give-up: each printed 95 % interval must hold its exact figure in 95
    // runs of 100, within three binomial standard deviations (≥ 89).
    struct Length {
        float hours;
        std::int64_t days;
    };
    const char* labels[] = {"大当り確率 (通常時)",  "大当り確率 (確変時)", "初当りが確変になる割合",
                            "平均連荘数",           "2 連荘以上",          "3 連荘以上",
                            "4 連荘以上",           "1連荘の出玉",         "1回転の秒数 (通常時)",
                            "1回転の秒数 (確変時)", "1回転の秒数 (全体)",  "1時間あたり大当り"};
    constexpr int kRuns = 100;
    const int least = int(std::ceil(kRuns * (0.95 - 3 * std::sqrt(0.95 * 0.05 / kRuns))));
    for (const Length length : {Length{0.5f, 300}, Length{1, 200}, Length{10, 60}}) {
        Premises z;
        z.zentei_jikan = length.hours;
        z.zentei_giveup = kGiveupUnlimited;
        const ExactFigures e = exact_figures(z);
        std::map<std::string, int> held, shown;
        for (int r = 0; r < kRuns; ++r) {
            Totals t = played(z, length.days, 7000 + std::uint64_t(r));
            const std::string text = exact_section(e, &t.exact, t.giveups);
            for (const std::string label : labels) {
                const auto x = exact_and_interval(row_of(text, label), label);
                if (!x) continue;
                ++shown[label];
                held[label] += (*x)[1] <= (*x)[0] && (*x)[0] <= (*x)[2];
            }
        }
        for (const std::string label : labels) {
            EXPECT_EQ(shown[label], kRuns) << length.hours << " h: " << label;
            EXPECT_GE(held[label], least) << length.hours << " h: " << label;
        }
    }
}
