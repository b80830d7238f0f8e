#include "analysis/exact.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/simulation.h"
#include "common/text.h"
#include "machine/rules.h"
#include "parlour/accounting.h"

namespace popchan::analysis {

namespace {

// The lottery's draws are all of the form Int(Rnd × a) compared with a
// bound, so each chance is that of Rnd falling below a number.
double rnd_below(double x) {
    return std::clamp(x, 0.0, 1.0);
}

// The seconds of one spin and their chances, equal seconds together.
using Durations = std::vector<std::pair<int, double>>;

void add_duration(Durations& d, Single seconds, double chance) {
    for (auto& [s, c] : d)
        if (s == int(seconds)) {
            c += chance;
            return;
        }
    d.emplace_back(int(seconds), chance);
}

double mean_of(const Durations& d) {
    double sum = 0;
    for (const auto& [seconds, chance] : d)
        sum += seconds * chance;
    return sum;
}

// A jackpot's spin (without the payout's five minutes) and a miss, in the
// normal (flag 0) or probability-up (flag 1) state. A spin's seconds are
// whole, and the day is short enough to count them one by one.
struct SpinTimes {
    Durations atari, hazure;
};

SpinTimes spin_times(Int16 flag, Single normal_seconds) {
    SpinTimes t;
    int from = 0;
    for (const ReachBand& band : kAtariReachTable) {
        add_duration(t.atari, spin_seconds(Int16(band.kind), flag, normal_seconds),
                     double(band.below - from) / kAtariDraw);
        from = band.below;
    }
    const double one_in = 1.0 / kHazureReachOneIn;
    add_duration(t.hazure, spin_seconds(0, flag, normal_seconds), 1 - one_in);
    from = 0;
    for (const ReachBand& band : kHazureReachTable) {
        const Int16 kind(band.kind);
        const bool shown = flag != 1 || kakuhen_keeps_miss_reach(kind);
        add_duration(t.hazure, spin_seconds(shown ? kind : Int16(0), flag, normal_seconds),
                     one_in * double(band.below - from) / kHazureDraw);
        from = band.below;
    }
    return t;
}

// Seconds of a spin with jackpot chance p.
double spin_seconds_in(const SpinTimes& t, double p) {
    return p * mean_of(t.atari) + (1 - p) * mean_of(t.hazure);
}

// The chain as a two-state Markov chain from first hit to first hit: either
// the next first hit draws its symbol (the chain before it stayed below
// limiter − 1), or it is held at or past the limit, gets no probability-up
// symbol and makes a chain of one.
struct ChainParts {
    int limiter;
    double q;                  // a drawn symbol is a probability-up one
    std::vector<double> drawn; // [n − 1]: a chain whose first hit drew is n long
    double to_held = 1;        // such a chain holds the next first hit
    double to_drawn;           // a held one (renchan 1) frees it
};

ChainParts chain_parts(int limiter, double q) {
    ChainParts c;
    c.limiter = std::max(limiter, 1);
    c.q = q;
    const int L = c.limiter;
    // Its n-th jackpot (n ≥ 2) sees renchan n − 1: drawn below L − 1, forced
    // off at L − 1.
    c.drawn.resize(std::size_t(L));
    double reached = 1;
    for (int n = 1; n <= L; ++n) {
        const double go_on = n - 1 < L - 1 ? q : 0;
        c.drawn[std::size_t(n - 1)] = reached * (1 - go_on);
        reached *= go_on;
    }
    for (int n = 1; n < L - 1; ++n)
        c.to_held -= c.drawn[std::size_t(n - 1)];
    c.to_drawn = 1 < L - 1 ? 1.0 : 0.0;
    return c;
}

// The chain figures when a share `drawn` of the first hits draw their symbol.
void set_lengths(ChainFigures& f, const ChainParts& c, double drawn) {
    f.renchan.resize(c.drawn.size());
    for (std::size_t i = 0; i < f.renchan.size(); ++i) {
        f.renchan[i] = drawn * c.drawn[i] + (i == 0 ? 1 - drawn : 0.0);
        f.mean += double(i + 1) * f.renchan[i];
    }
    f.kakuhen_share = 1 - f.renchan[0];
}

// What days as they are played hold on average: spins and their seconds,
// first hits, and jackpots by their place in a chain. The day starts with no
// chain before it and ends at the first spin booked after its hours.
struct DaySums {
    double spins = 0, spin_seconds = 0; // the seconds without the payouts' five minutes
    double first_kakuhen = 0;           // first hits that go on
    std::vector<double> reached;        // [n − 1]: jackpots that were the n-th of their chain
};

// The day followed second by second: the chance of each state at each whole
// second, the normal state with its next first hit drawing or held, or a
// chain at its n-th jackpot. Every spin that starts within the hours is
// booked, the one that ends the day too.
DaySums day_sums(const ChainParts& c, const std::array<SpinTimes, 2>& times, double p_tsujo,
                 double p_kakuhen, int day_seconds) {
    // A chain's jackpot takes 300 s and more: at n jackpots a chain is at
    // least 300 n s into the day, so no state past `longest` is reached.
    const int longest = std::min(c.limiter - 1, day_seconds / int(kAtariSeconds) + 1);
    const int states = 2 + longest; // 0 drawing, 1 held, 1 + n chain at n
    int reach = int(kAtariSeconds);
    for (const auto& t : times)
        for (const Durations* d : {&t.atari, &t.hazure})
            for (const auto& [seconds, chance] : *d)
                reach = std::max(reach, seconds + int(kAtariSeconds));
    const int ring = std::min(reach, day_seconds) + 1;
    std::vector<double> at(std::size_t(states * ring), 0.0);
    const auto cell = [&](int state, int t) -> double& {
        return at[std::size_t(state * ring + t % ring)];
    };
    const auto after_chain = [&](int length) { return length < c.limiter - 1 ? 0 : 1; };
    DaySums sums;
    sums.reached.assign(std::size_t(longest + 2), 0.0);
    // A share of a spin of `seconds` with weight w, into `state` at `next`
    // when the day goes on after it.
    const auto spin = [&](double w, int seconds, int next, int state, double share) {
        sums.spins += w * share;
        sums.spin_seconds += w * share * seconds;
        if (next <= day_seconds) cell(state, next) += w * share;
    };
    cell(c.limiter > 1 ? 0 : 1, 0) = 1;
    for (int t = 0; t <= day_seconds; ++t) {
        const int slot = t % ring; // the second's place, as cell() finds it
        for (int state = 0; state < states; ++state) {
            double& here = at[std::size_t(state * ring + slot)];
            const double m = here;
            here = 0;
            if (m == 0) continue;
            const bool normal = state < 2;
            const SpinTimes& st = times[normal ? 0 : 1];
            const double p = normal ? p_tsujo : p_kakuhen;
            for (const auto& [seconds, chance] : st.hazure)
                spin(m * (1 - p) * chance, seconds, t + seconds, state, 1);
            for (const auto& [seconds, chance] : st.atari) {
                const int next = t + seconds + int(kAtariSeconds);
                const double w = m * p * chance;
                // The jackpot's place in its chain, and the chance it goes on.
                const int place = normal ? 1 : state;
                sums.reached[std::size_t(place - 1)] += w;
                double go_on = 0;
                // A day starts held at limiter 1, so a drawing first hit has a
                // limit of 2 or more. A chain at n jackpots is 320 n s into the
                // day at least, so it stays within `longest`.
                if (state == 0) {
                    go_on = c.q;
                    sums.first_kakuhen += w * go_on;
                } else if (!normal) {
                    go_on = place - 1 < c.limiter - 1 ? c.q : 0;
                }
                if (go_on > 0) spin(w, seconds, next, 1 + place, go_on);
                spin(w, seconds, next, after_chain(place), 1 - go_on);
            }
        }
    }
    return sums;
}

// The chain figures of a day of `hours` from its sums. A day that can hold
// no first hit keeps none.
void set_day(ChainFigures& f, const ChainParts& c, const DaySums& d, double hours) {
    const double first = d.reached[0];
    if (!(first > 0)) return;
    f.kakuhen_share = d.first_kakuhen / first;
    f.renchan.assign(c.drawn.size(), 0.0);
    // No chain reaches one jackpot past the last place counted.
    std::vector<double> reached = d.reached;
    reached.push_back(0);
    double jackpots = 0;
    for (std::size_t i = 0; i + 1 < reached.size(); ++i) {
        jackpots += reached[i];
        if (i < f.renchan.size()) f.renchan[i] = (reached[i] - reached[i + 1]) / first;
    }
    f.mean = jackpots / first;
    f.seconds_per_spin = d.spin_seconds / d.spins;
    f.jackpots_per_hour = jackpots / hours;
}

// Spins per 1,000 yen (`units` yen, or balls) from which a spin costing
// `units` / k, rounded to whole units half up, is at most `breakeven`. A
// break-even cost that is whole but for the rounding of the sums before it
// is whole: a spin that costs just that breaks even.
double border(double units, double breakeven) {
    if (!std::isfinite(breakeven)) return 0; // every spin wins: any rate does
    const double whole = std::round(breakeven);
    if (std::fabs(breakeven - whole) <= 1e-9 * std::max(whole, 1.0)) breakeven = whole;
    return units / (std::floor(breakeven) + 0.5);
}

// Seconds per spin and jackpots per hour of unending play: 1 / p normal-
// state spins up to each first hit, and a run of probability-up spins before
// each further jackpot of its chain.
void set_unending_pace(ExactFigures& e) {
    ChainFigures& f = e.unending;
    const double spins_tsujo = 1 / e.atari_tsujo;
    const double spins_kakuhen = f.mean > 1 ? (f.mean - 1) / e.atari_kakuhen : 0;
    const double seconds = spins_tsujo * e.seconds_tsujo + spins_kakuhen * e.seconds_kakuhen;
    f.seconds_per_spin = seconds / (spins_tsujo + spins_kakuhen);
    f.jackpots_per_hour = 3600 * f.mean / (seconds + kAtariSeconds * f.mean);
}

} // namespace

ExactFigures exact_figures(const PremiseTexts& texts) {
    return exact_figures(convert_and_check(texts).record);
}

ExactFigures exact_figures(const Premises& z) {
    ExactFigures e;
    const double P = z.zentei_kakuritu;
    // Normal state: Int(Int(Rnd × P × 10 + 1) ÷ 10 + 0.9) = 1 for Rnd × P < 1;
    // probability-up state: Int(Rnd × P ÷ 5 + 1) = 1 for Rnd × P ÷ 5 < 1.
    e.atari_tsujo = rnd_below(1 / P);
    e.atari_kakuhen = rnd_below(5 / P);
    // Int(Rnd × R × 1000) below 1000.
    e.kakuhen_symbol = rnd_below(1 / double(z.zentei_kakuhenritu));
    const ChainParts parts = chain_parts(int(z.zentei_limiter), e.kakuhen_symbol);
    // In unending play the first hits draw in the Markov chain's steady share.
    set_lengths(e.unending, parts, parts.to_drawn / (parts.to_held + parts.to_drawn));

    const double D = z.zentei_dedama, rate = z.zentei_kankin;
    const double p = e.atari_tsujo;
    e.balls_per_spin = balls_per_spin(z.zentei_kaiten);
    e.yen_per_spin = yen_per_spin(z.zentei_kaiten);
    e.balls_per_chain = e.unending.mean * D;
    // Balls won per normal-state spin; a jackpot spin itself costs nothing.
    const double won = p * e.balls_per_chain;
    e.payout_ratio = won / ((1 - p) * e.balls_per_spin);
    e.yen_per_spin_cash = won * rate - (1 - p) * e.yen_per_spin;
    e.yen_per_spin_held = (won - (1 - p) * e.balls_per_spin) * rate;
    const double breakeven_yen = won * rate / (1 - p), breakeven_balls = won / (1 - p);
    e.border_cash = border(1000, breakeven_yen);
    e.border_cash_exact = 1000 / breakeven_yen;
    e.border_held = border(250, breakeven_balls);
    e.border_held_exact = 250 / breakeven_balls;

    const Single normal = normal_spin_seconds(z.zentei_kaiten);
    const std::array<SpinTimes, 2> times = {spin_times(0, normal), spin_times(1, normal)};
    e.seconds_tsujo = spin_seconds_in(times[0], e.atari_tsujo);
    e.seconds_kakuhen = spin_seconds_in(times[1], e.atari_kakuhen);
    set_unending_pace(e);

    // The day is over at the first spin booked after its hours.
    const int day_seconds = int(std::floor(Single(z.zentei_jikan * 3600)));
    const DaySums d = day_sums(parts, times, e.atari_tsujo, e.atari_kakuhen, day_seconds);
    e.hours = z.zentei_jikan;
    set_day(e.day, parts, d, e.hours);
    return e;
}

double border_or_none(double rate) {
    return rate > ExactFigures::kTopSpinRate ? std::nan("") : rate;
}

Interval wilson(double x, double n, double z) {
    if (!(n > 0)) return {0, 1};
    const double p = x / n, z2n = z * z / n;
    const double centre = (p + z2n / 2) / (1 + z2n);
    const double half = z * std::sqrt(p * (1 - p) / n + z2n / (4 * n)) / (1 + z2n);
    // At x = 0 or n one bound is the share itself, whatever rounding leaves.
    return {x > 0 ? std::max(centre - half, 0.0) : 0.0, x < n ? std::min(centre + half, 1.0) : 1.0};
}

void DayTally::book_jackpot(bool kakuhen, Single renchan, Int16 kakuhen_flag) {
    const std::size_t n = kakuhen ? std::size_t(renchan) + 1 : 1;
    if (reached.size() < n) reached.resize(n);
    reached[n - 1] += 1;
    if (!kakuhen && kakuhen_flag == 1) kakuhen_first += 1;
}

void DayRatio::add(double dx, double dy) {
    x += dx, y += dy, xx += dx * dx, xy += dx * dy, yy += dy * dy;
    ++days;
}

DayRatio& DayRatio::operator+=(const DayRatio& o) {
    x += o.x, y += o.y, xx += o.xx, xy += o.xy, yy += o.yy, days += o.days;
    return *this;
}

double DayRatio::ratio() const {
    return y != 0 ? x / y : 0;
}

double DayRatio::half_width(double z) const {
    if (days < 2 || y == 0) return 0;
    const double r = ratio();
    const double spread = std::max(xx - 2 * r * xy + r * r * yy, 0.0);
    return z * std::sqrt(spread * double(days) / double(days - 1)) / y;
}

void Measured::add(const DayResult& d) {
    const DayTally& t = d.tally;
    atari_tsujo.add(d.first_hits, d.spins_normal);
    atari_kakuhen.add(d.jackpots - d.first_hits, d.spins - d.spins_normal);
    seconds_tsujo.add(t.seconds_tsujo, d.spins_normal);
    seconds_kakuhen.add(t.seconds_kakuhen, d.spins - d.spins_normal);
    kakuhen_first.add(t.kakuhen_first, d.first_hits);
    chain_mean.add(d.jackpots, d.first_hits);
    for (std::size_t n = 2; n <= chain_at.size() + 1; ++n)
        chain_at[n - 2].add(n <= t.reached.size() ? t.reached[n - 1] : 0, d.first_hits);
    seconds_all.add(t.seconds_tsujo + t.seconds_kakuhen, d.spins);
    jackpots_per_day.add(d.jackpots, 1);
}

namespace {

// R is DayRatio, or const DayRatio for a const Measured.
template <class R, class M> std::vector<Measured::Named<R>> named_of(M& m) {
    std::vector<Measured::Named<R>> out = {
        {"atari_tsujo", &m.atari_tsujo, Per::kSpins, true},
        {"atari_kakuhen", &m.atari_kakuhen, Per::kSpins, true},
        {"seconds_tsujo", &m.seconds_tsujo, Per::kSpins, false},
        {"seconds_kakuhen", &m.seconds_kakuhen, Per::kSpins, false},
        {"kakuhen_first", &m.kakuhen_first, Per::kFirstHits, true},
        {"chain_mean", &m.chain_mean, Per::kFirstHits, false},
        {"seconds_all", &m.seconds_all, Per::kSpins, false},
        {"jackpots_per_day", &m.jackpots_per_day, Per::kDays, false},
    };
    for (std::size_t i = 0; i < m.chain_at.size(); ++i)
        out.push_back({"chain_at_" + std::to_string(i + 2), &m.chain_at[i], Per::kFirstHits, true});
    return out;
}

} // namespace

std::vector<Measured::Named<DayRatio>> Measured::named() {
    return named_of<DayRatio>(*this);
}

std::vector<Measured::Named<const DayRatio>> Measured::named() const {
    return named_of<const DayRatio>(*this);
}

} // namespace popchan::analysis
