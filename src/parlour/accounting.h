// The accounting of each spin: simulated time, balls and yen, jackpots with
// their history line, the probability-up chain, the business form and the
// box regulation, the counters, the clock and the end of the day.
#pragma once

#include <functional>
#include <string>

#include "machine/spin_state.h"
#include "parlour/day_state.h"
#include "parlour/graph.h"
#include "parlour/screen.h"
#include "premises/premises.h"
#include "premises/spin_rate.h"
#include "stats/reach_stats.h"

namespace popchan {

// What a spin costs at k spins per 1,000 yen. k stays the same all day, so
// the divisions are done once for it.
struct SpinRates {
    Single k = -1;
    Single normal_seconds = 0; // a spin without reach in the normal state
    Single balls = 0, yen = 0; // a spin's cost in balls, or in yen with none held
    const SpinRates& at(Single rate);
};

struct AccountingContext {
    SpinState& s;
    DayState& day;
    const Premises& z;
    ReachStats& reach;
    BalanceGraph& graph;
    FormDigiScreen& screen;
    std::function<void()> end_of_day; // the Reset handler
    SpinRates rates{};
};

// One tick of Timer3: books the spin when spin_phase is 2 and hands over with 0.
void Timer3_Timer(AccountingContext& c);

// The business form's rules at a jackpot: keep the balls or exchange them.
void Eigyo(AccountingContext& c);

// The five 5-character columns of a hit-history line.
std::array<std::string, 5> rireki_columns(Single atari_count, Single jikan_hour,
                                          Single jikan_minute, Single spins, Int16 egara);

// A jackpot's payout takes five minutes of the day.
inline constexpr Single kAtariSeconds = 300;

// Seconds a spin takes by its reach and state; normal_seconds is that of a
// spin without reach in the normal state at the day's spin rate.
Single spin_seconds(Int16 reach_kind, Int16 kakuhen_flag, Single normal_seconds);

// Yen for `balls` at `rate` yen a ball, in whole 100 yen, half up.
Single exchange_value(Single balls, Single rate);

// The counter box i (0..10) as the window shows it: "##,##0".
std::string hyouji_text(const DayState& day, int i);

} // namespace popchan
