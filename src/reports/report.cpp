#include "reports/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "reports/exact_report.h"
#include "reports/json.h"
#include "reports/shards.h"
#include "common/text.h"
#include "stats/reach_stats.h"

namespace popchan::batch {

std::string num(double x) {
    char buf[64];
    if (x == std::floor(x) && std::fabs(x) < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", x);
    else
        std::snprintf(buf, sizeof buf, "%.6g", x);
    return buf;
}

std::string fixed(double x, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, x);
    return buf;
}

std::string exact_number(double x) {
    if (!std::isfinite(x)) return "null"; // a figure with no value
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", x);
    return buf;
}

std::string days_share(double share, const Interval& interval) {
    return fixed(100 * share, 1) + " % [" + fixed(100 * interval.low, 1) + ", " +
           fixed(100 * interval.high, 1) + "]";
}

namespace {

std::string with_commas(double x) {
    return format_counter(x);
}

constexpr double kQuantiles[] = {0.05, 0.25, 0.5, 0.75, 0.95};

std::string trimmed(std::string s) {
    s.erase(0, s.find_first_not_of(' '));
    return s;
}

// A summary always has days: --days and merge both need one.
double per_day(const Totals& t, double sum) {
    return sum / double(t.days);
}

std::string percent(double part, double whole) {
    return whole > 0 ? fixed(100 * part / whole, 1) + " %" : "-";
}

// The reach table as the program's list shows it, each line with the share of
// its reaches that were jackpots.
std::string reach_lines(const ReachTable& r) {
    std::string out;
    for (int base : {0, ReachStats::kProbUpBase}) {
        out += base == 0 ? "（通常時）\n" : "（確変時）\n";
        auto line = [&](const std::string& label, int row) {
            out += "  " + label + str(r[row][0]) + "/" + str(r[row][1]);
            out += "   " + percent(r[row][0], r[row][1]) + "\n";
        };
        for (int k = 1; k <= 11; ++k)
            line(kReachLabels[k - 1], base + k);
        out += "  --------------\n";
        line("計…", base);
    }
    return out;
}

} // namespace

double quantile(const Totals& t, double q) {
    const auto rank = std::int64_t(std::ceil(q * double(t.days))) - 1;
    std::int64_t below = 0;
    const auto bin = std::find_if(t.balances.begin(), t.balances.end(),
                                  [&](const auto& b) { return (below += b.second) > rank; });
    return 100.0 * double(bin->first);
}

std::string premises_line(const PremiseTexts& premises) {
    const char* names[] = {"大当り確率", "大当り出玉", "確変率",    "最高継続回数",
                           "回転率",     "プレイ時間", "換金率",    "ギブアップ金額",
                           "営業形態",   "ﾀｲﾑｻｰﾋﾞｽ",   "ドル箱規制"};
    std::string out = "前提:";
    for (int i = 0; i < kPremiseRows; ++i)
        out += std::string(i ? ", " : " ") + names[i] + " " + trimmed(premises[i]);
    return out + "\n";
}

std::string exact_table(const PremiseTexts& premises) {
    return "ＣＲぽぷちゃん\n" + premises_line(premises) + "\n" +
           exact_section(exact_figures(premises), nullptr, 0);
}

std::string summary_table(const Header& h, Totals& t) {
    std::string out = "ＣＲぽぷちゃん batch: " + with_commas(double(t.days)) + " days";
    if (h.run_days && h.run_days != t.days)
        out += " (" + with_commas(double(h.first_day)) + "-" +
               with_commas(double(h.first_day + t.days - 1)) + " of " +
               with_commas(double(h.run_days)) + ")";
    out += ", seed " + std::to_string(h.seed) + "\n";
    out += premises_line(h.premises);
    out += "\n1日の収支 (円)\n";
    out += "  平均          " + with_commas(t.mean()) + "\n";
    out += "  標準偏差      " + with_commas(t.sd()) + "\n";
    for (double q : kQuantiles) {
        const std::string label = "  " + fixed(q * 100, 0) + " %点";
        out += label + std::string(16 - display_width(label), ' ') + with_commas(quantile(t, q)) +
               "\n";
    }
    out += "勝った日          " +
           days_share(per_day(t, double(t.wins)), wilson(double(t.wins), double(t.days), kZ95)) +
           "\n";
    out += "1時間あたり収支   " + with_commas(t.per_hour()) + " 円\n";
    out += "1日あたり: 当り数 " + fixed(per_day(t, t.jackpots), 2) + ", 初当り数 " +
           fixed(per_day(t, t.first_hits), 2) + ", 最大連荘数 " +
           fixed(per_day(t, t.max_chain), 2) + ", 回転数 " + with_commas(per_day(t, t.spins)) +
           "\n";
    out += "ギブアップで終わった日 " + percent(double(t.giveups), double(t.days)) + "\n\n";
    out += "リーチ統計 (全日, 当り/ﾘｰﾁ と信頼度)\n" + reach_lines(t.reach);
    out += "\n" + exact_section(exact_figures(h.premises), &t.exact, t.giveups);
    return out;
}

std::string summary_json(const Header& h, Totals& t) {
    std::string out = "{\n  \"days\": " + num(double(t.days)) +
                      ",\n  \"seed\": " + std::to_string(h.seed) +
                      ",\n  \"balance\": {\"mean\": " + fixed(t.mean(), 2) +
                      ", \"sd\": " + fixed(t.sd(), 2) + ", \"quantiles\": {";
    for (double q : kQuantiles)
        out += std::string(q > 0.05 ? ", " : "") + "\"" + fixed(q * 100, 0) +
               "\": " + num(quantile(t, q));
    const Interval won = wilson(double(t.wins), double(t.days), kZ95);
    out += "}},\n  \"winning_share\": " + fixed(per_day(t, double(t.wins)), 6);
    out += ", \"winning_low\": " + fixed(won.low, 6) + ", \"winning_high\": " + fixed(won.high, 6);
    out += ",\n  \"balance_per_hour\": " + fixed(t.per_hour(), 2);
    out += ",\n  \"per_day\": {\"jackpots\": " + fixed(per_day(t, t.jackpots), 4) +
           ", \"first_hits\": " + fixed(per_day(t, t.first_hits), 4) +
           ", \"max_chain\": " + fixed(per_day(t, t.max_chain), 4) +
           ", \"spins\": " + fixed(per_day(t, t.spins), 2) + "}";
    out += ",\n  \"giveup_share\": " + fixed(per_day(t, double(t.giveups)), 6);
    out += ",\n  \"reach\": {";
    for (int base : {0, ReachStats::kProbUpBase}) {
        out += std::string(base ? ", " : "") + (base ? "\"kakuhen\": [" : "\"normal\": [");
        for (int k = 1; k <= 11; ++k) {
            const auto& row = t.reach[base + k];
            out += std::string(k > 1 ? ", " : "") + "{\"kind\": " + std::to_string(k) +
                   ", \"jackpots\": " + num(row[0]) + ", \"reaches\": " + num(row[1]) + "}";
        }
        out += "]";
    }
    out += "}" + sums_json(h, t) + "\n}\n";
    return out;
}

namespace {

// `"key": number` members, each on a line of its own after a comma.
std::string members(const std::vector<std::pair<const char*, double>>& figures,
                    const std::string& indent) {
    std::string out;
    for (const auto& [key, value] : figures)
        out += ",\n" + indent + "\"" + key + "\": " + exact_number(value);
    return out;
}

// The chain's figures: the shares of first hits going on and of chains of n
// jackpots or more (n = 2..10, as the table has them), the mean chain and its
// balls, the pace.
std::string chain_json(const ChainFigures& c, double balls_per_jackpot) {
    std::string out = "{" + members({{"kakuhen_share", c.kakuhen_share},
                                     {"chain_mean", c.mean},
                                     {"balls_per_chain", c.mean * balls_per_jackpot},
                                     {"seconds_per_spin", c.seconds_per_spin},
                                     {"jackpots_per_hour", c.jackpots_per_hour}},
                                    "    ")
                                .substr(1);
    out += ",\n    \"chain_at_least\": {";
    for (std::size_t n = 2; n <= c.renchan.size() && n <= kChainRows; ++n)
        out += std::string(n > 2 ? ", " : "") + "\"" + std::to_string(n) +
               "\": " + exact_number(c.at_least(n));
    return out + "}\n  }";
}

} // namespace

std::string exact_json(const PremiseTexts& premises) {
    const Premises z = convert_and_check(premises).record;
    const ExactFigures e = exact_figures(z);
    std::string out = "{\n  \"premises\": " + json_strings(premises);
    out += members({{"jackpot_chance_normal", e.atari_tsujo},
                    {"jackpot_chance_kakuhen", e.atari_kakuhen},
                    {"kakuhen_symbol_chance", e.kakuhen_symbol},
                    {"balls_per_spin", e.balls_per_spin},
                    {"yen_per_spin", e.yen_per_spin},
                    {"payout_ratio", e.payout_ratio},
                    {"yen_per_spin_cash", e.yen_per_spin_cash},
                    {"yen_per_spin_held", e.yen_per_spin_held},
                    {"border_cash", border_or_none(e.border_cash)},
                    {"border_cash_unrounded", border_or_none(e.border_cash_exact)},
                    {"border_held", border_or_none(e.border_held)},
                    {"border_held_unrounded", border_or_none(e.border_held_exact)},
                    {"seconds_per_spin_normal", e.seconds_tsujo},
                    {"seconds_per_spin_kakuhen", e.seconds_kakuhen}},
                   "  ");
    // The chain of days as they are played, and of play without end.
    out += ",\n  \"days\": " + chain_json(e.day, z.zentei_dedama);
    out += ",\n  \"unending\": " + chain_json(e.unending, z.zentei_dedama);
    return out + "\n}\n";
}

std::string per_day_row(const DayResult& d) {
    std::string out = std::to_string(d.day);
    for (float v : {d.spins, d.spins_normal, d.jackpots, d.first_hits, d.max_hamari, d.max_chain,
                    d.balls, d.exchanged, d.spent, d.balance, d.end_seconds})
        out.append(",").append(num(v));
    out += d.by_hours ? ",hours" : ",give-up";
    return out;
}

std::string spin_row(std::int64_t day, const SpinRow& r) {
    std::string out = std::to_string(day) + "," + std::to_string(r.spin);
    for (int v : {int(r.kakuhen), int(r.atari_flag), int(r.atari_egara), int(r.shoukaku_egara),
                  int(r.reach_kind), int(r.suberi_flag), int(r.yokoku_chara), int(r.yokoku_level),
                  int(r.kakuhen_zan)})
        out.append(",").append(std::to_string(v));
    return out;
}

std::string plot_svg(Totals& t, double hours) {
    const int W = 720, H = 300, pad = 50;
    const auto& v = t.balances;
    const double lo = v.empty() ? 0 : 100.0 * double(v.begin()->first);
    const double hi = v.empty() ? 1 : 100.0 * double(v.rbegin()->first);
    const int bins = 40;
    const double width = std::max(hi - lo, 1.0) / bins;
    std::vector<std::int64_t> counts(bins, 0);
    for (const auto& [balance, count] : v)
        counts[std::min(bins - 1, int((100.0 * double(balance) - lo) / width))] += count;
    const std::int64_t top =
        std::max<std::int64_t>(1, *std::max_element(counts.begin(), counts.end()));
    std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(W) +
                    "\" height=\"" + std::to_string(2 * H) +
                    "\" font-family=\"IPAGothic, sans-serif\" font-size=\"12\">\n";
    s += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    s += "<text x=\"" + std::to_string(pad) + "\" y=\"20\">1日の収支の分布 (" +
         with_commas(double(t.days)) + " 日)</text>\n";
    const double bw = double(W - 2 * pad) / bins;
    for (int i = 0; i < bins; ++i) {
        const double h = double(H - 2 * pad) * double(counts[i]) / double(top);
        s += "<rect x=\"" + fixed(pad + i * bw, 1) + "\" y=\"" + fixed(H - pad - h, 1) +
             "\" width=\"" + fixed(bw - 1, 1) + "\" height=\"" + fixed(h, 1) +
             "\" fill=\"#4a7fd0\"/>\n";
    }
    s += "<text x=\"" + std::to_string(pad) + "\" y=\"" + std::to_string(H - pad + 16) + "\">" +
         with_commas(lo) + " 円</text>\n";
    s += "<text x=\"" + std::to_string(W - pad) + "\" y=\"" + std::to_string(H - pad + 16) +
         "\" text-anchor=\"end\">" + with_commas(hi) + " 円</text>\n";
    // The mean balance after each hour of the day.
    const int last = std::clamp(int(std::ceil(hours)), 1, kMaxHours);
    const auto mean = [&](int h) { return per_day(t, double(t.hourly[h])); };
    double mlo = 0, mhi = 0; // the mean after no hour is 0
    for (int h = 1; h <= last; ++h)
        mlo = std::min(mlo, mean(h)), mhi = std::max(mhi, mean(h));
    const double span = std::max(mhi - mlo, 1.0);
    auto px = [&](int h) { return pad + double(W - 2 * pad) * h / last; };
    auto py = [&](double m) { return H + pad + double(H - 2 * pad) * (mhi - m) / span; };
    s += "<text x=\"" + std::to_string(pad) + "\" y=\"" + std::to_string(H + 20) +
         "\">時刻ごとの平均収支 (円)</text>\n";
    s += "<line x1=\"" + fixed(px(0), 1) + "\" y1=\"" + fixed(py(0), 1) + "\" x2=\"" +
         fixed(px(last), 1) + "\" y2=\"" + fixed(py(0), 1) + "\" stroke=\"black\"/>\n";
    s += "<polyline fill=\"none\" stroke=\"#0000ff\" stroke-width=\"2\" points=\"";
    for (int h = 0; h <= last; ++h)
        s += fixed(px(h), 1) + "," + fixed(py(mean(h)), 1) + " ";
    s += "\"/>\n";
    for (int h = 0; h <= last; ++h)
        s += "<text x=\"" + fixed(px(h), 1) + "\" y=\"" + std::to_string(2 * H - pad + 16) +
             "\" text-anchor=\"middle\">" + std::to_string(9 + h) + ":00</text>\n";
    for (double m : std::set<double>{mlo, mhi}) // one label when every mean is 0
        s += "<text x=\"" + std::to_string(pad - 4) + "\" y=\"" + fixed(py(m), 1) +
             "\" text-anchor=\"end\">" + with_commas(m) + "</text>\n";
    s += "</svg>\n";
    return s;
}

} // namespace popchan::batch
