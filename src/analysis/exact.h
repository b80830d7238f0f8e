// Figures that follow from the premises alone, without playing a day: the
// jackpot chances, the chain (連荘) with its limiter, the cost of a spin, what
// a normal-state spin is worth, the border, and the pace of the day. Beside
// them, what a run counts to measure the same figures.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "parlour/accounting.h"
#include "premises/premises.h"
#include "premises/validation.h"

namespace popchan::analysis {

struct DayResult;

// The chain (連荘) and what follows from it.
struct ChainFigures {
    // renchan[n − 1]: the share of chains of exactly n jackpots (n = 1..limiter).
    std::vector<double> renchan;
    double mean = 0, kakuhen_share = 0; // kakuhen_share: of first hits, those going on
    // Seconds per spin and jackpots per hour with these chains.
    double seconds_per_spin = 0, jackpots_per_hour = 0;

    // The share of chains of n jackpots or more, summed from the longest.
    double at_least(std::size_t n) const {
        double tail = 0;
        for (std::size_t i = renchan.size(); i-- > n - 1;)
            tail += renchan[i];
        return std::max(tail, 0.0);
    }
};

// Long-run figures of one machine under fixed premises. The chain is followed
// from first hit to first hit without end, the way one unending day would
// play it: the limiter sees the length of the chain before. (Days as they are
// played start with no chain before them: see played_chain.)
struct ExactFigures {
    double atari_tsujo = 0;    // jackpot chance of a normal-state spin
    double atari_kakuhen = 0;  // jackpot chance of a probability-up spin
    double kakuhen_symbol = 0; // chance of a probability-up symbol when the symbol is drawn
    // The chain of unending play: a two-state Markov chain from first hit to
    // first hit, in its steady share.
    ChainFigures unending;
    double balls_per_spin = 0, yen_per_spin = 0; // cost of a normal-state miss
    double balls_per_chain = 0;
    double payout_ratio = 0; // balls paid out / balls spent, over normal-state play
    // Yen won or lost per normal-state spin, counting each first hit's whole
    // chain, with balls valued at the exchange rate.
    double yen_per_spin_cash = 0, yen_per_spin_held = 0;
    // Spins per 1,000 yen at which a normal-state spin breaks even. A spin
    // costs whole yen (whole balls), so the worth steps with the spin rate:
    // from just above `border_cash` the whole-yen cost is at most the break-
    // even cost. `border_cash_exact` is where a cost of 1,000 / k yen without
    // rounding would break even. Likewise with held balls.
    double border_cash = 0, border_cash_exact = 0, border_held = 0, border_held_exact = 0;
    // Seconds of one spin by state, without the payout's five minutes.
    double seconds_tsujo = 0, seconds_kakuhen = 0;
    // The chain of days as they are played: each starts with no chain before
    // it, so its first first hit draws its symbol whatever the day before
    // left, and ends at the first spin booked after its hours. Its chains are
    // those the day holds: a chain the day's end cuts counts the jackpots
    // booked before it, the one on the day's last spin included, and every
    // first hit counts, that one too. The pace is the day's: its jackpots
    // over its hours, and its spins' seconds over its spins. All of it is
    // followed second by second through the day; a give-up that ends a day
    // early is not part of it.
    ChainFigures day;
    double hours = 0; // of the day
    // The spin rate of the premises that no spin rate exceeds: a border above
    // it is no border the premises can meet.
    static constexpr double kTopSpinRate = 1000;
};

ExactFigures exact_figures(const Premises& z);

// A border in spins per 1,000 yen; above the highest spin rate the premises
// take there is none, and the border is NaN (no value to show).
double border_or_none(double rate);
// The same for the premises as the dialog or the command line writes them.
ExactFigures exact_figures(const PremiseTexts& texts);

// A spin as the accounting found it, before it booked the spin.
struct SpinBefore {
    Int16 kakuhen_flag = 0, atari_flag = 0;
    Single renchan = 0, keika_byo = 0;
};

// What one day shows, spin by spin, of the figures above.
struct DayTally {
    double seconds_tsujo = 0, seconds_kakuhen = 0; // spin time by state
    double kakuhen_first = 0;                      // first hits whose symbol goes on
    // reached[n − 1]: jackpots that were the n-th of their chain.
    std::vector<double> reached;

    // Books a spin: the clock and the probability-up state after it. The
    // spin that ends the day counts as every other.
    void book(const SpinBefore& before, Single keika_byo, Int16 kakuhen_flag) {
        const bool atari = before.atari_flag == 1, kakuhen = before.kakuhen_flag == 1;
        const double seconds = keika_byo - before.keika_byo - (atari ? kAtariSeconds : 0);
        (kakuhen ? seconds_kakuhen : seconds_tsujo) += seconds;
        if (atari) book_jackpot(kakuhen, before.renchan, kakuhen_flag);
    }

  private:
    // A jackpot in the probability-up state or not, `renchan` the chain
    // before it, and the state it left.
    void book_jackpot(bool kakuhen, Single renchan, Int16 kakuhen_flag);
};

// A ratio of two sums over days, with the spread of the days about it, so
// that spins of one day need not be independent of each other.
struct DayRatio {
    double x = 0, y = 0, xx = 0, xy = 0, yy = 0;
    std::int64_t days = 0;
    void add(double dx, double dy);
    double ratio() const;
    double half_width(double z) const;           // z standard errors
    DayRatio& operator+=(const DayRatio& other); // the sums of two runs of days
};

// The normal distribution's 97.5 % point, for 95 % intervals.
inline constexpr double kZ95 = 1.959963984540054;
// Below this many days a ratio over days, or a mean, has no interval yet:
// the days' spread is too poorly known to give one.
inline constexpr std::int64_t kMinIntervalDays = 30;

// An estimate with the half width of its interval.
struct Estimate {
    double value = 0, half = 0;
};

// The longest chain the summary gives a share of chains for.
inline constexpr int kChainRows = 10;

// What the days of a ratio count.
enum class Per { kSpins, kFirstHits, kDays };

// The run's measurements of the exact figures, each a ratio of sums over
// days.
struct Measured {
    DayRatio atari_tsujo, atari_kakuhen, seconds_tsujo, seconds_kakuhen;
    // Of the first hits: those that went on, all jackpots (the mean chain),
    // and the jackpots that were the n-th of their chain (chain_at[n − 2],
    // n = 2..kChainRows): the shares of chains of n or more.
    DayRatio kakuhen_first, chain_mean;
    std::array<DayRatio, kChainRows - 1> chain_at;
    DayRatio seconds_all;      // the spins' seconds over the spins
    DayRatio jackpots_per_day; // jackpots over days, for the jackpots an hour
    void add(const DayResult& d);

    // Every ratio by the name a summary file gives it, with what its days
    // count and whether its numerator is a part of that.
    template <class R> struct Named {
        std::string name;
        R* ratio;
        Per per;
        bool part;
    };
    std::vector<Named<DayRatio>> named();
    std::vector<Named<const DayRatio>> named() const;
};

// The Wilson score interval of a share: x of n, z standard errors. It stays
// within 0..1 and keeps a width where x is 0 or n.
struct Interval {
    double low = 0, high = 0;
};
Interval wilson(double x, double n, double z);

} // namespace popchan::analysis
