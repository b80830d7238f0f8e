#include "reports/sweep_report.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "reports/exact_report.h"
#include "reports/json.h"
#include "common/text.h"

namespace popchan::batch {

namespace {

std::string right(const std::string& s, std::size_t width) {
    const std::size_t w = display_width(s);
    return std::string(w < width ? width - w : 0, ' ') + s;
}

// Every value a number as the premises read it: the plot's axis is then the
// values themselves.
bool numeric(const std::vector<SweepRow>& rows) {
    return std::all_of(rows.begin(), rows.end(),
                       [](const SweepRow& r) { return is_numeric(r.value); });
}

// A value as the premises read it: the number, or else the text.
std::string json_value(const std::string& value) {
    return is_numeric(value) ? num(leading_number(value)) : json_string(value);
}

std::string rate(int hundredths) {
    return fixed(hundredths / 100.0, 2);
}

std::string heading(const Header& h, const std::string& what, std::int64_t days, const char* each) {
    return "ＣＲぽぷちゃん batch " + what + ": " + format_counter(double(days)) + " days at each " +
           each + ", seed " + std::to_string(h.seed) + "\n" + premises_line(h.premises);
}

// The header of a sweep: its premise marked, since the rows give its values.
Header marked(const Header& h, const Sweep& s) {
    PremiseTexts texts = h.premises;
    texts[s.row] = "*";
    Header shown = h;
    shown.premises = texts;
    return shown;
}

// An exact border, or `none` above the highest spin rate.
std::string border_shown(double rate, int decimals, const char* none) {
    const double r = border_or_none(rate);
    return std::isnan(r) ? std::string(none) : fixed(r, decimals);
}

// The low (-1) or high (1) end of a row's interval, or `none` without one.
std::string bound(const SweepRow& r, int side, const char* none) {
    return r.interval ? fixed(r.mean + side * r.half_width, 2) : std::string(none);
}

} // namespace

std::string sweep_table(const Header& h, const Sweep& s, const std::vector<SweepRow>& rows) {
    const Header shown = marked(h, s);
    std::string out =
        heading(shown, "sweep of " + s.name, rows.empty() ? 0 : rows[0].days, "value");
    std::size_t width = s.name.size();
    for (const SweepRow& r : rows)
        width = std::max(width, display_width(r.value));
    out += "\n" + right(s.name, width) + right("平均収支", 12) + right("95 % 区間", 24) +
           right("勝った日 [95 % 区間]", 23) + right("1時間あたり", 13) + right("当り数/日", 11) +
           "\n";
    for (const SweepRow& r : rows)
        out += right(r.value, width) + right(format_counter(r.mean), 12) +
               right(r.interval ? format_counter(r.mean - r.half_width) + " ～ " +
                                      format_counter(r.mean + r.half_width)
                                : too_few_days(),
                     24) +
               right(days_share(r.winning_share, r.winning), 23) +
               right(format_counter(r.per_hour), 13) + right(fixed(r.jackpots, 2), 11) + "\n";
    return out;
}

std::string sweep_json(const Header& h, const Sweep& s, const std::vector<SweepRow>& rows) {
    std::string out = "{\n  \"sweep\": " + json_string(s.name) +
                      ",\n  \"days\": " + std::to_string(rows.empty() ? 0 : rows[0].days) +
                      ",\n  \"seed\": " + std::to_string(h.seed) +
                      ",\n  \"premises\": " + json_strings(marked(h, s).premises) +
                      ",\n  \"rows\": [";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SweepRow& r = rows[i];
        out += std::string(i ? "," : "") + "\n    {\"value\": " + json_value(r.value) +
               ", \"mean\": " + fixed(r.mean, 2) + ", \"low\": " + bound(r, -1, "null") +
               ", \"high\": " + bound(r, 1, "null") +
               ", \"winning_share\": " + fixed(r.winning_share, 6) +
               ", \"winning_low\": " + fixed(r.winning.low, 6) +
               ", \"winning_high\": " + fixed(r.winning.high, 6) +
               ", \"balance_per_hour\": " + fixed(r.per_hour, 2) +
               ", \"jackpots_per_day\": " + fixed(r.jackpots, 4) + "}";
    }
    return out + "\n  ]\n}\n";
}

std::string sweep_csv(const std::vector<SweepRow>& rows) {
    std::string out =
        "value,days,mean,low,high,winning_share,winning_low,winning_high,balance_per_hour,"
        "jackpots_per_day\n";
    for (const SweepRow& r : rows) {
        std::string value = r.value;
        if (value.find_first_of(",\"") != std::string::npos) value = json_string(value);
        out += value + "," + std::to_string(r.days) + "," + fixed(r.mean, 2) + "," +
               bound(r, -1, "") + "," + bound(r, 1, "") + "," + fixed(r.winning_share, 6) + "," +
               fixed(r.winning.low, 6) + "," + fixed(r.winning.high, 6) + "," +
               fixed(r.per_hour, 2) + "," + fixed(r.jackpots, 4) + "\n";
    }
    return out;
}

std::string sweep_svg(const Sweep& s, const std::vector<SweepRow>& rows) {
    const bool by_value = numeric(rows);
    // Values that are not numbers are written upright below the axis.
    const int W = 720, pad = 70, top = 45, height = 305, H = top + height + (by_value ? 70 : 190);
    std::vector<double> xs;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        xs.push_back(by_value ? leading_number(rows[i].value) : double(i));
    }
    // A list of values may come in any order.
    const auto [least, most] = std::minmax_element(xs.begin(), xs.end());
    const double x0 = xs.empty() ? 0 : *least, x1 = xs.empty() ? 1 : *most;
    double lo = 0, hi = 0;
    for (const SweepRow& r : rows)
        lo = std::min(lo, r.mean - r.half_width), hi = std::max(hi, r.mean + r.half_width);
    const double span = std::max(hi - lo, 1.0);
    auto px = [&](double x) {
        return fixed(pad + (W - 2 * pad) * (x1 > x0 ? (x - x0) / (x1 - x0) : 0.5), 1);
    };
    auto py = [&](double y) { return fixed(top + height * (hi - y) / span, 1); };
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(W) +
                      "\" height=\"" + std::to_string(H) +
                      "\" font-family=\"IPAGothic, sans-serif\" font-size=\"12\">\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    out += "<text x=\"" + std::to_string(pad) + "\" y=\"20\">1日の平均収支と 95 % 区間 (円), " +
           s.name + " ごと (" + format_counter(double(rows.empty() ? 0 : rows[0].days)) +
           " 日ずつ)</text>\n";
    // Its outline keeps the band of a single value in sight.
    out += "<polygon fill=\"#b8cdf0\" stroke=\"#b8cdf0\" stroke-width=\"3\" points=\"";
    for (std::size_t i = 0; i < rows.size(); ++i)
        out += px(xs[i]) + "," + py(rows[i].mean + rows[i].half_width) + " ";
    for (std::size_t i = rows.size(); i-- > 0;)
        out += px(xs[i]) + "," + py(rows[i].mean - rows[i].half_width) + " ";
    out += "\"/>\n";
    out += "<line x1=\"" + std::to_string(pad) + "\" y1=\"" + py(0) + "\" x2=\"" +
           std::to_string(W - pad) + "\" y2=\"" + py(0) + "\" stroke=\"black\"/>\n";
    out += "<polyline fill=\"none\" stroke=\"#0000ff\" stroke-width=\"2\" points=\"";
    for (std::size_t i = 0; i < rows.size(); ++i)
        out += px(xs[i]) + "," + py(rows[i].mean) + " ";
    out += "\"/>\n";
    for (std::size_t i = 0; i < rows.size(); ++i)
        out += "<circle cx=\"" + px(xs[i]) + "\" cy=\"" + py(rows[i].mean) +
               "\" r=\"3\" fill=\"#0000ff\"/>\n";
    const std::size_t every = rows.size() / 20 + 1; // labels that do not overlap
    const std::string below = std::to_string(top + height + (by_value ? 20 : 8));
    for (std::size_t i = 0; i < rows.size(); i += every)
        out += "<text " +
               (by_value ? "x=\"" + px(xs[i]) + "\" y=\"" + below + "\" text-anchor=\"middle\""
                         : "transform=\"translate(" + px(xs[i]) + " " + below +
                               ") rotate(-90)\" dy=\"4\" text-anchor=\"end\"") +
               ">" + rows[i].value + "</text>\n";
    out += "<text x=\"" + std::to_string(W / 2) + "\" y=\"" + std::to_string(H - 10) +
           "\" text-anchor=\"middle\">" + s.name + "</text>\n";
    for (double y : std::set<double>{lo, 0.0, hi}) // 0 is lo or hi when no mean is beyond it
        out += "<text x=\"" + std::to_string(pad - 4) + "\" y=\"" + py(y) +
               "\" text-anchor=\"end\">" + format_counter(y) + "</text>\n";
    return out + "</svg>\n";
}

std::string border_table(const Header& h, std::int64_t days, const Border& b) {
    const ExactFigures e = exact_figures(h.premises);
    std::string out = heading(h, "border", days, "rate tried");
    out += "\nボーダー (千円あたり回転率)\n";
    out += "  シミュレーション (1日の平均収支が 0)  ";
    const std::string interval = b.interval
                                     ? "95 % 区間 " + rate(b.low) + " ～ " +
                                           (b.high ? rate(b.high) : std::string("1000.00 超"))
                                     : "95 % " + too_few_days();
    out += b.found ? rate(b.rate) + "  (" + interval + ")"
                   : std::string("なし (1000.00 でも平均収支が 0 未満)");
    out += "\n  理論値 (現金)                        " + border_shown(e.border_cash, 2, "なし");
    out += "\n  理論値 (持ち玉)                      " + border_shown(e.border_held, 2, "なし");
    out += "\n(" + std::to_string(b.runs) + " 回, 毎回同じ日々)\n";
    return out;
}

std::string border_json(const Header& h, std::int64_t days, const Border& b) {
    const ExactFigures e = exact_figures(h.premises);
    auto value = [](int hundredths) {
        return hundredths ? fixed(hundredths / 100.0, 2) : std::string("null");
    };
    std::string out = "{\n  \"days\": " + std::to_string(days) +
                      ",\n  \"seed\": " + std::to_string(h.seed) +
                      ",\n  \"premises\": " + json_strings(h.premises);
    out += ",\n  \"border\": " + value(b.rate) + ",\n  \"low\": " + value(b.low) +
           ",\n  \"high\": " + value(b.high) + ",\n  \"runs\": " + std::to_string(b.runs) +
           ",\n  \"exact_cash\": " + border_shown(e.border_cash, 4, "null") +
           ",\n  \"exact_held\": " + border_shown(e.border_held, 4, "null") + "\n}\n";
    return out;
}

} // namespace popchan::batch
