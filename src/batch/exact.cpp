#include "batch/exact.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "batch/simulation.h"
#include "common/text.h"
#include "machine/rules.h"
#include "parlour/accounting.h"

namespace popchan::batch {

namespace {

// The lottery's draws are all of the form Int(Rnd × a) compared with a
// bound, so each chance is that of Rnd falling below a number.
double rnd_below(double x) {
    return std::clamp(x, 0.0, 1.0);
}

// The mean of `seconds(kind)` over a reach table's bands, by their weights.
template <std::size_t N, class F>
double mean_over(const std::array<ReachBand, N>& table, int draw, F seconds) {
    double sum = 0;
    int from = 0;
    for (const ReachBand& band : table) {
        sum += double(band.below - from) / draw * seconds(Int16(band.kind));
        from = band.below;
    }
    return sum;
}

// Seconds of a spin in the normal (flag 0) or probability-up (flag 1) state
// with jackpot chance p.
double spin_seconds_in(Int16 flag, double p, Single normal_seconds) {
    const double atari = mean_over(kAtariReachTable, kAtariDraw, [&](Int16 kind) {
        return double(spin_seconds(kind, flag, normal_seconds));
    });
    const double reach = mean_over(kHazureReachTable, kHazureDraw, [&](Int16 kind) {
        const bool shown = flag != 1 || kakuhen_keeps_miss_reach(kind);
        return double(spin_seconds(shown ? kind : Int16(0), flag, normal_seconds));
    });
    const double one_in = 1.0 / kHazureReachOneIn;
    const double hazure = (1 - one_in) * spin_seconds(0, flag, normal_seconds) + one_in * reach;
    return p * atari + (1 - p) * hazure;
}

// The chain as a two-state Markov chain from first hit to first hit: either
// the next first hit draws its symbol (the chain before it stayed below
// limiter − 1), or it is held at or past the limit, gets no probability-up
// symbol and makes a chain of one. Returns the long-run share of each length.
std::vector<double> chain_lengths(int limiter, double q) {
    const int L = std::max(limiter, 1);
    // Lengths of a chain whose first hit draws its symbol. Its n-th jackpot
    // (n ≥ 2) sees renchan n − 1: drawn below L − 1, forced off at L − 1.
    std::vector<double> drawn(std::size_t(L), 0.0);
    double reached = 1;
    for (int n = 1; n <= L; ++n) {
        const double go_on = n == 1 || n - 1 < L - 1 ? q : 0;
        drawn[std::size_t(n - 1)] = reached * (1 - go_on);
        reached *= go_on;
    }
    double to_held = 1; // a chain of L − 1 or more holds the next first hit
    for (int n = 1; n < L - 1; ++n)
        to_held -= drawn[std::size_t(n - 1)];
    const double to_drawn = 1 < L - 1 ? 1.0 : 0.0; // a held first hit leaves renchan 1
    const double share_drawn = to_drawn / (to_held + to_drawn);
    std::vector<double> lengths(drawn.size());
    for (std::size_t i = 0; i < drawn.size(); ++i)
        lengths[i] = share_drawn * drawn[i] + (i == 0 ? 1 - share_drawn : 0.0);
    return lengths;
}

// Spins per 1,000 yen (`units` yen, or balls) from which a spin costing
// `units` / k, rounded to whole units half up, is at most `breakeven`.
double border(double units, double breakeven) {
    if (!std::isfinite(breakeven)) return 0; // every spin wins: any rate does
    return units / (std::floor(breakeven) + 0.5);
}

// Seconds per spin and jackpots per hour from a chain's parts: 1 / p normal-
// state spins up to the first hit, and a run of probability-up spins before
// each of its further jackpots.
std::array<double, 2> pace(double atari_tsujo, double atari_kakuhen, double renchan_mean,
                           double seconds_tsujo, double seconds_kakuhen) {
    const double spins_tsujo = 1 / atari_tsujo;
    const double spins_kakuhen = renchan_mean > 1 ? (renchan_mean - 1) / atari_kakuhen : 0;
    const double seconds = spins_tsujo * seconds_tsujo + spins_kakuhen * seconds_kakuhen;
    return {seconds / (spins_tsujo + spins_kakuhen),
            3600 * renchan_mean / (seconds + kAtariSeconds * renchan_mean)};
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
    e.renchan = chain_lengths(int(z.zentei_limiter), e.kakuhen_symbol);
    for (std::size_t i = 0; i < e.renchan.size(); ++i)
        e.renchan_mean += double(i + 1) * e.renchan[i];
    e.kakuhen_share = e.renchan.size() > 1 ? 1 - e.renchan[0] : 0;

    const double D = z.zentei_dedama, rate = z.zentei_kankin;
    const double p = e.atari_tsujo;
    e.balls_per_spin = balls_per_spin(z.zentei_kaiten);
    e.yen_per_spin = yen_per_spin(z.zentei_kaiten);
    e.balls_per_chain = e.renchan_mean * D;
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
    e.seconds_tsujo = spin_seconds_in(0, e.atari_tsujo, normal);
    e.seconds_kakuhen = spin_seconds_in(1, e.atari_kakuhen, normal);
    const auto [seconds, per_hour] =
        pace(e.atari_tsujo, e.atari_kakuhen, e.renchan_mean, e.seconds_tsujo, e.seconds_kakuhen);
    e.seconds_per_spin = seconds;
    e.jackpots_per_hour = per_hour;
    return e;
}

void DayTally::book(const SpinBefore& before, Single keika_byo, std::optional<Int16> kakuhen_flag) {
    const bool atari = before.atari_flag == 1, kakuhen = before.kakuhen_flag == 1;
    const double seconds = keika_byo - before.keika_byo - (atari ? kAtariSeconds : 0);
    (kakuhen ? seconds_kakuhen : seconds_tsujo) += seconds;
    if (!atari || !kakuhen_flag) return;
    const std::size_t n = kakuhen ? std::size_t(before.renchan) + 1 : 1;
    if (chain.size() < n) chain.resize(n);
    chain[n - 1][0] += 1;
    chain[n - 1][1] += *kakuhen_flag == 1 ? 0 : 1;
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
    if (chain.size() < t.chain.size()) chain.resize(t.chain.size());
    for (std::size_t i = 0; i < t.chain.size(); ++i)
        for (int c = 0; c < 2; ++c)
            chain[i][c] += t.chain[i][c];
}

std::array<Estimate, 2> Measured::pace(double z) const {
    const ChainEstimate c = chain_estimate(chain);
    const std::array<double, 5> x = {atari_tsujo.ratio(), atari_kakuhen.ratio(), c.mean,
                                     seconds_tsujo.ratio(), seconds_kakuhen.ratio()};
    const std::array<double, 5> se = {atari_tsujo.half_width(1), atari_kakuhen.half_width(1),
                                      std::sqrt(c.mean_var), seconds_tsujo.half_width(1),
                                      seconds_kakuhen.half_width(1)};
    const auto at = [](const std::array<double, 5>& v) {
        return batch::pace(v[0], v[1], v[2], v[3], v[4]);
    };
    // The parts come from different spins and jackpots, so their errors add
    // in quadrature, each through the pace's slope over ± one standard error.
    const std::array<double, 2> value = at(x);
    std::array<double, 2> var{};
    for (std::size_t i = 0; i < x.size(); ++i) {
        std::array<double, 5> up = x, down = x;
        up[i] += se[i];
        down[i] = std::max(down[i] - se[i], 0.0);
        const std::array<double, 2> hi = at(up), lo = at(down);
        for (int f = 0; f < 2; ++f) {
            const double step = (hi[f] - lo[f]) / (up[i] - down[i]) * se[i];
            if (std::isfinite(step)) var[f] += step * step;
        }
    }
    return {Estimate{value[0], z * std::sqrt(var[0])}, Estimate{value[1], z * std::sqrt(var[1])}};
}

ChainEstimate chain_estimate(const std::vector<std::array<double, 2>>& chain) {
    // S(n): the share of chains longer than n, as the product of the shares
    // that went on at each place; Greenwood's sum for its variance.
    ChainEstimate c;
    std::vector<double> longer{1.0}, greenwood{0.0};
    for (const auto& [seen, ended] : chain) {
        if (seen == 0) break;
        longer.push_back(longer.back() * (1 - ended / seen));
        greenwood.push_back(greenwood.back() +
                            (seen > ended ? ended / (seen * (seen - ended)) : 0));
    }
    for (std::size_t n = 0; n + 1 < longer.size(); ++n) {
        c.at_least.push_back(longer[n]);
        c.at_least_var.push_back(longer[n] * longer[n] * greenwood[n]);
    }
    // The mean is the sum of S(n); its variance weighs each place's term by
    // the part of that sum beyond it.
    double beyond = 0;
    for (std::size_t n = longer.size(); n-- > 0;) {
        beyond += longer[n];
        if (n > 0) {
            const auto& [seen, ended] = chain[n - 1];
            if (seen > ended) c.mean_var += beyond * beyond * ended / (seen * (seen - ended));
        }
    }
    c.mean = beyond;
    return c;
}

namespace {

constexpr double kZ95 = 1.959964;

std::string fmt(const char* format, double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, x);
    return buf;
}

// "1/310.00"; a chance of 0 has no denominator.
std::string one_in(double p) {
    return p > 0 ? fmt("1/%.2f", 1 / p) : "0";
}

std::string percent(double p) {
    return fmt("%.2f %%", 100 * p);
}

// An estimate and its 95 % interval, in the format of its figure.
template <class F> std::string estimate(double x, double half, F show) {
    return show(x) + " [" + show(x - half) + ", " + show(x + half) + "]";
}

std::string row(const std::string& label, const std::string& exact, const std::string& sim = "") {
    const std::size_t width = display_width(label);
    std::string out = "  " + label + std::string(width < 30 ? 30 - width : 1, ' ') + exact;
    const std::size_t used = display_width(exact);
    if (!sim.empty()) out += std::string(used < 18 ? 18 - used : 1, ' ') + sim;
    return out + "\n";
}

} // namespace

std::string exact_section(const ExactFigures& e, const Measured* m) {
    if (m && m->atari_tsujo.days == 0) m = nullptr; // totals without a day's tally
    const auto f2 = [](double x) { return fmt("%.2f", x); };
    const auto f3 = [](double x) { return fmt("%.3f", x); };
    const auto balls = [](double x) { return fmt("%.0f", x); };
    const auto measured = [&](DayRatio Measured::*r, auto show) {
        return m ? estimate((m->*r).ratio(), (m->*r).half_width(kZ95), show) : std::string();
    };
    // A chance as 1/N, its interval turned round with it.
    const auto chance = [&](DayRatio Measured::*r) {
        if (!m) return std::string();
        const double p = (m->*r).ratio(), h = (m->*r).half_width(kZ95);
        return one_in(p) + " [" + one_in(p + h) + ", " + one_in(std::max(p - h, 0.0)) + "]";
    };
    ChainEstimate c;
    if (m) c = chain_estimate(m->chain);
    const auto at_least = [&](std::size_t n) {
        if (!m) return std::string();
        if (n > c.at_least.size()) return std::string("-");
        return estimate(c.at_least[n - 1], kZ95 * std::sqrt(c.at_least_var[n - 1]), percent);
    };
    const double mean_half = kZ95 * std::sqrt(c.mean_var);

    std::string out = m ? "理論値 (前提から計算; 右はシミュレーションの推定 [95 % 信頼区間])\n"
                        : "理論値 (前提から計算)\n";
    out += row("大当り確率 (通常時)", one_in(e.atari_tsujo), chance(&Measured::atari_tsujo));
    out += row("大当り確率 (確変時)", one_in(e.atari_kakuhen), chance(&Measured::atari_kakuhen));
    out += row("確変図柄の確率 (図柄抽選)", one_in(e.kakuhen_symbol));
    out += row("初当りが確変になる割合", percent(e.kakuhen_share), at_least(2));
    out += row("平均連荘数", f3(e.renchan_mean), m ? estimate(c.mean, mean_half, f3) : "");
    double tail = 1;
    for (std::size_t n = 2; n <= e.renchan.size() && n <= 10; ++n) {
        tail -= e.renchan[n - 2];
        out += row(std::to_string(n) + " 連荘以上", percent(tail), at_least(n));
    }
    out +=
        row("1回転の玉 / 現金", balls(e.balls_per_spin) + " 個 / " + balls(e.yen_per_spin) + " 円");
    out += row("1連荘の出玉", balls(e.balls_per_chain) + " 個",
               m ? estimate(c.mean * e.balls_per_chain / e.renchan_mean,
                            mean_half * e.balls_per_chain / e.renchan_mean, balls)
                 : "");
    out += row("出玉率 (通常時の出玉/投入玉)", f3(e.payout_ratio));
    out += row("通常時1回転の期待値 現金", f2(e.yen_per_spin_cash) + " 円");
    out += row("通常時1回転の期待値 持ち玉", f2(e.yen_per_spin_held) + " 円");
    out += row("ボーダー 現金 (回/千円)",
               f2(e.border_cash) + " 超 (端数なし " + f2(e.border_cash_exact) + ")");
    out += row("ボーダー 持ち玉 (回/千円)",
               f2(e.border_held) + " 超 (端数なし " + f2(e.border_held_exact) + ")");
    out += row("1回転の秒数 (通常時)", f2(e.seconds_tsujo), measured(&Measured::seconds_tsujo, f2));
    out += row("1回転の秒数 (確変時)", f2(e.seconds_kakuhen),
               measured(&Measured::seconds_kakuhen, f2));
    const std::array<Estimate, 2> pace = m ? m->pace(kZ95) : std::array<Estimate, 2>{};
    const auto paced = [&](int i, auto show) {
        return m ? estimate(pace[i].value, pace[i].half, show) : std::string();
    };
    out += row("1回転の秒数 (全体)", f2(e.seconds_per_spin), paced(0, f2));
    out += row("1時間あたり大当り", f3(e.jackpots_per_hour), paced(1, f3));
    return out;
}

} // namespace popchan::batch
