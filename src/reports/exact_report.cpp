#include "reports/exact_report.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "common/text.h"

namespace popchan::batch {

std::string too_few_days() {
    return "区間なし (" + std::to_string(kMinIntervalDays) + " 日未満)";
}

namespace {

// Below this many first hits the chain's figures have no interval yet: the
// chains are too few to show their spread.
constexpr double kMinFirstHits = 20;

// A figure that is not a finite number has no value to show.
std::string fmt(const char* format, double x) {
    if (!std::isfinite(x)) return "-";
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

std::string f2(double x) {
    return fmt("%.2f", x);
}
std::string f3(double x) {
    return fmt("%.3f", x);
}
std::string balls(double x) {
    return fmt("%.0f", x);
}

// An estimate and its 95 % interval, in the format of its figure.
template <class F> std::string estimate(double x, double low, double high, F show) {
    return show(x) + " [" + show(low) + ", " + show(high) + "]";
}

std::string too_few_chains() {
    return "区間なし (初当りが " + fmt("%.0f", kMinFirstHits) + " 未満)";
}

std::string row(const std::string& label, const std::string& exact, const std::string& sim = "") {
    const std::size_t width = display_width(label);
    std::string out = "  " + label + std::string(width < 30 ? 30 - width : 1, ' ') + exact;
    const std::size_t used = display_width(exact);
    if (!sim.empty()) out += std::string(used < 18 ? 18 - used : 1, ' ') + sim;
    return out + "\n";
}

// A border in spins per 1,000 yen, and the one without rounding.
std::string border_text(double rate, double unrounded) {
    if (std::isnan(border_or_none(rate)))
        return "なし (" + fmt("%.0f", ExactFigures::kTopSpinRate) + " 回/千円でも届かない)";
    const double u = border_or_none(unrounded);
    return f2(rate) + " 超 (端数なし " + (std::isnan(u) ? std::string("なし") : f2(u)) + ")";
}

// The run's estimates, each with its interval where its sample allows one.
class RunEstimates {
  public:
    explicit RunEstimates(const Measured& m) : m_(m) {}

    // A chance as 1/N: the Wilson interval of the jackpots among the spins,
    // turned round with it.
    std::string chance(DayRatio Measured::*r) const {
        const DayRatio& d = m_.*r;
        if (!(d.y > 0)) return "-";
        const Interval i = wilson(d.x, d.y, kZ95);
        return one_in(d.ratio()) + " [" + one_in(i.high) + ", " + one_in(i.low) + "]";
    }

    // A ratio of two sums over days, scaled (1 for most, the payout for a
    // chain's balls, 1 / hours for jackpots an hour).
    template <class F> std::string ratio(const DayRatio& d, double scale, F show) const {
        if (!(d.y > 0)) return "-";
        const double x = d.ratio() * scale;
        if (d.days < kMinIntervalDays) return show(x) + " " + too_few_days();
        if (!chains_enough(d)) return show(x) + " " + too_few_chains();
        const double half = d.half_width(kZ95) * scale;
        return estimate(x, x - half, x + half, show);
    }
    std::string ratio(DayRatio Measured::*r) const { return ratio(m_.*r, 1, f2); }

    // A share of the first hits: the Wilson interval of its effective count
    // (the days' spread of the ratio turned into the count that a share of
    // independent chains would need for it).
    std::string share(const DayRatio& d) const {
        if (!(d.y > 0)) return "-";
        const double s = d.ratio(), sd = d.half_width(1);
        const double count = sd > 0 ? s * (1 - s) / (sd * sd) : d.y;
        const Interval i = wilson(s * count, count, kZ95);
        if (d.days < kMinIntervalDays) return percent(s) + " " + too_few_days();
        if (!chains_enough(d)) return percent(s) + " " + too_few_chains();
        return estimate(s, i.low, i.high, percent);
    }

  private:
    bool chains_enough(const DayRatio& d) const {
        return &d == &m_.seconds_all || &d == &m_.jackpots_per_day || d.y >= kMinFirstHits;
    }
    const Measured& m_;
};

} // namespace

std::string exact_section(const ExactFigures& e, const Measured* m, std::int64_t giveup_days) {
    if (m && m->atari_tsujo.days == 0) m = nullptr; // totals without a day's tally
    std::optional<RunEstimates> run;
    if (m) run.emplace(*m);
    const auto sim = [&](auto read) { return run ? read(*run) : std::string(); };
    // The chain's figures and the pace are those of days as they are played,
    // as a run measures them; the unending play's follow on a row of their
    // own where they differ.
    const ChainFigures& played = e.day;
    // A give-up ends a day early, with fewer jackpots and no chain cut at
    // its end, which a day that ends at its hours does not show.
    const bool apart = m && giveup_days > 0;
    bool endless_rows = false;
    const auto chain_row = [&](const std::string& label, const std::string& day,
                               const std::string& endless, const std::string& estimate) {
        std::string out = row(label, day, apart ? "" : estimate);
        if (apart) out += row("  (ギブアップのある実測)", "", estimate);
        if (day != endless) {
            out += row("  (連続プレイ)", endless);
            endless_rows = true;
        }
        return out;
    };
    const double payout = e.balls_per_chain / e.unending.mean;
    const auto ratio = [&](const DayRatio Measured::*r, double scale, auto show) {
        return sim([=](const RunEstimates& est) { return est.ratio(m->*r, scale, show); });
    };

    std::string out = m ? "理論値 (前提から計算; 右はシミュレーションの推定 [95 % 信頼区間])\n"
                        : "理論値 (前提から計算)\n";
    out += row("大当り確率 (通常時)", one_in(e.atari_tsujo),
               sim([](const RunEstimates& r) { return r.chance(&Measured::atari_tsujo); }));
    out += row("大当り確率 (確変時)", one_in(e.atari_kakuhen),
               sim([](const RunEstimates& r) { return r.chance(&Measured::atari_kakuhen); }));
    out += row("確変図柄の確率 (図柄抽選)", one_in(e.kakuhen_symbol));
    out += chain_row("初当りが確変になる割合", percent(played.kakuhen_share),
                     percent(e.unending.kakuhen_share),
                     sim([&](const RunEstimates& r) { return r.share(m->kakuhen_first); }));
    out += chain_row("平均連荘数", f3(played.mean), f3(e.unending.mean),
                     ratio(&Measured::chain_mean, 1, f3));
    for (std::size_t n = 2; n <= e.unending.renchan.size() && n <= kChainRows; ++n) {
        out += chain_row(std::to_string(n) + " 連荘以上", percent(played.at_least(n)),
                         percent(e.unending.at_least(n)),
                         sim([&](const RunEstimates& r) { return r.share(m->chain_at[n - 2]); }));
    }
    out +=
        row("1回転の玉 / 現金", balls(e.balls_per_spin) + " 個 / " + balls(e.yen_per_spin) + " 円");
    out += chain_row("1連荘の出玉", balls(played.mean * payout) + " 個",
                     balls(e.balls_per_chain) + " 個", ratio(&Measured::chain_mean, payout, balls));
    out += row("出玉率 (通常時の出玉/投入玉)", f3(e.payout_ratio));
    out += row("通常時1回転の期待値 現金", f2(e.yen_per_spin_cash) + " 円");
    out += row("通常時1回転の期待値 持ち玉", f2(e.yen_per_spin_held) + " 円");
    out += row("ボーダー 現金 (回/千円)", border_text(e.border_cash, e.border_cash_exact));
    out += row("ボーダー 持ち玉 (回/千円)", border_text(e.border_held, e.border_held_exact));
    out += row("1回転の秒数 (通常時)", f2(e.seconds_tsujo),
               sim([](const RunEstimates& r) { return r.ratio(&Measured::seconds_tsujo); }));
    out += row("1回転の秒数 (確変時)", f2(e.seconds_kakuhen),
               sim([](const RunEstimates& r) { return r.ratio(&Measured::seconds_kakuhen); }));
    out += chain_row("1回転の秒数 (全体)", f2(played.seconds_per_spin),
                     f2(e.unending.seconds_per_spin), ratio(&Measured::seconds_all, 1, f2));
    out += chain_row("1時間あたり大当り", f3(played.jackpots_per_hour),
                     f3(e.unending.jackpots_per_hour),
                     ratio(&Measured::jackpots_per_day, 1 / e.hours, f3));
    if (endless_rows)
        out += "(連荘とペースの理論値は1日ごと: 各日は連荘なしで始まり、プレイ時間の後の"
               "最初の回転で終わる。連荘は日の終わりまでに当った分を数える。"
               "(連続プレイ) は日の区切りのない値)\n";
    if (apart)
        out += "(ギブアップで終わった日があり、その日々の連荘とペースは理論値の日とは別のものとして"
               "示す)\n";
    return out;
}

} // namespace popchan::batch
