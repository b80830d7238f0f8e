// The accounting of each spin: simulated time, balls and yen, jackpots with
// their history line, the probability-up chain, the business form and the
// box regulation, the counters, the clock and the end of the day.
#pragma once

#include <cstdint>
#include <cstring>
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

// The bits of a single, as the key of a kept value: equal bits, equal
// results, NaN included. No arithmetic result has all bits set.
inline std::uint32_t key_of(Single x) {
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}
inline constexpr std::uint32_t kNoKey = ~std::uint32_t(0);

// What a spin costs at k spins per 1,000 yen. k stays the same all day, so
// the divisions are done once for it.
struct SpinRates {
    std::uint32_t k = kNoKey;
    Single normal_seconds = 0; // a spin without reach in the normal state
    Single balls = 0, yen = 0; // a spin's cost in balls, or in yen with none held
    const SpinRates& at(Single rate);
};

// x hundred yen in whole hundreds, half up: Int(x + 0.5) × 100.
inline Single whole_hundreds(double x) {
    return Single(vb_int(x + 0.5) * 100);
}

struct AccountingContext {
    SpinState& s;
    DayState& day;
    const Premises& z;
    ReachStats& reach;
    BalanceGraph& graph;
    FormDigiScreen& screen;
    std::function<void()> end_of_day; // the Reset handler
    SpinRates rates{};
    // False when nobody sees the window (the batch tool): the figures are kept
    // as ever, but the clock, the signs, the hit-history lines, the graph and
    // the boxes on the screen are left alone.
    bool shown = true;
};

// The business form's rules at a jackpot: keep the balls or exchange them.
void Eigyo(AccountingContext& c);

// The five 5-character columns of a hit-history line.
std::array<std::string, 5> rireki_columns(Single atari_count, Single jikan_hour,
                                          Single jikan_minute, Single spins, Int16 egara);

// The counter box i (0..10) as the window shows it: "##,##0".
std::string hyouji_text(const DayState& day, int i);

// A jackpot's payout takes five minutes of the day.
inline constexpr Single kAtariSeconds = 300;

// Seconds a spin takes by its reach and state; normal_seconds is that of a
// spin without reach in the normal state at the day's spin rate.
inline Single spin_seconds(Int16 reach_kind, Int16 kakuhen_flag, Single normal_seconds) {
    if (reach_kind >= 1) [[unlikely]]
        return reach_kind == 1 ? 20 : 50;
    if (kakuhen_flag == 1) return 5;
    return normal_seconds;
}

inline const SpinRates& SpinRates::at(Single rate) {
    if (key_of(rate) != k) [[unlikely]] {
        k = key_of(rate);
        normal_seconds = normal_spin_seconds(rate);
        balls = balls_per_spin(rate);
        yen = yen_per_spin(rate);
    }
    return *this;
}

// Yen for `balls` at `rate` yen a ball, in whole 100 yen, half up.
inline Single exchange_value(Single balls, Single rate) {
    const Single yen = rate * balls;
    return whole_hundreds(yen / 100);
}

// The booking of a spin is inline, as the batch tool runs it hundreds of
// millions of times; what a jackpot books, and what the screen shows, is not.
namespace accounting_detail {

void jackpot(AccountingContext& c);
// The clock, the time-service sign and, every 20th spin, the graph and the
// boxes.
void show_clock(AccountingContext& c);

inline void miss(AccountingContext& c, const SpinRates& rates) {
    DayState& d = c.day;
    d.hamari += 1;
    if (!(d.hamari_max > d.hamari)) d.hamari_max = d.hamari;
    if (c.s.kakuhen_flag == 1) return; // nothing is consumed in the probability-up state
    if (d.mochidama > 0) {
        d.mochidama -= rates.balls;
        if (d.mochidama < 0) [[unlikely]] {
            d.shishutsu_raw += -d.mochidama * 4; // the shortfall bought at 4 yen a ball
            d.mochidama = 0;
        }
    } else {
        d.shishutsu_raw += rates.yen;
    }
}

inline void money_and_clock(AccountingContext& c) {
    DayState& d = c.day;
    d.kaishu_gaku = exchange_value(d.mochidama, c.z.zentei_kankin) + d.kankin_gaku;
    d.shishutsu_gaku = whole_hundreds(d.shishutsu_raw / 100.0);
    d.shushi = d.kaishu_gaku - d.shishutsu_gaku;
    if (c.shown) show_clock(c);
}

} // namespace accounting_detail

// One tick of Timer3: books the spin when spin_phase is 2 and hands over with 0.
inline void Timer3_Timer(AccountingContext& c) {
    SpinState& s = c.s;
    DayState& d = c.day;
    if (s.spin_phase != 2) return;
    d.kaiten_total += 1;
    if (s.kakuhen_flag != 1) d.kaiten_tsujo += 1;
    const SpinRates& rates = c.rates.at(c.z.zentei_kaiten);
    d.keika_byo += spin_seconds(s.reach_kind, s.kakuhen_flag, rates.normal_seconds);
    if (s.reach_kind != 0) [[unlikely]]
        c.reach.Reach_Rireki(s.reach_kind, s.reach_kind, s.atari_flag, s.kakuhen_flag, s.digi_mode);
    if (s.atari_flag == 1) [[unlikely]]
        accounting_detail::jackpot(c);
    else
        accounting_detail::miss(c, rates);
    accounting_detail::money_and_clock(c);
    ++c.screen.revision;
    if (d.keika_byo > c.z.zentei_jikan * 3600 || d.shushi < -c.z.zentei_giveup) [[unlikely]]
        c.end_of_day();
    s.spin_phase = 0;
}

} // namespace popchan
