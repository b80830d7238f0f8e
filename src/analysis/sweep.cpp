#include "analysis/sweep.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace popchan::analysis {

namespace {

// The spin rates of the border's coarse sweep, in hundredths.
constexpr int kBorderGrid[] = {1,    100,  200,  500,  1000, 1500,  2000,  2500,  3000,
                               3500, 4000, 5000, 6000, 8000, 10000, 20000, 50000, 100000};
constexpr int kBorderRunsGuess = 36; // for the progress bar

} // namespace

SweepRow sweep_row(const std::string& value, const Totals& t) {
    SweepRow r;
    r.value = value;
    r.days = t.days;
    r.mean = t.mean();
    r.interval = t.days >= kMinIntervalDays;
    r.half_width = r.interval ? kZ95 * t.sd() / std::sqrt(double(t.days)) : 0;
    r.winning_share = t.days ? double(t.wins) / double(t.days) : 0;
    r.winning = wilson(double(t.wins), double(t.days), kZ95);
    r.per_hour = t.per_hour();
    r.jackpots = t.days ? double(t.jackpots) / double(t.days) : 0;
    return r;
}

std::string sweep(const RunConfig& config, const PremiseTexts& texts, const Sweep& s,
                  std::vector<SweepRow>& rows, const Progress& progress) {
    const auto total = std::int64_t(s.values.size()) * config.days;
    for (std::size_t i = 0; i < s.values.size(); ++i) {
        PremiseTexts t = texts;
        t[s.row] = s.values[i];
        RunConfig c = config;
        c.premises = convert_and_check(t).record;
        Totals totals;
        const auto before = std::int64_t(i) * config.days;
        const std::string error = run(
            c, totals, [](const DayResult&, const std::vector<SpinRow>&) {},
            [&](std::int64_t done, std::int64_t) {
                if (progress) progress(before + done, total);
            });
        if (!error.empty()) return error;
        rows.push_back(sweep_row(s.values[i], totals));
    }
    return {};
}

std::string find_border(const RunConfig& config, Border& border, const Progress& progress) {
    border = Border{};
    std::map<int, SweepRow> played;
    std::string error;
    // The mean at a rate, moved by `side` halves of its interval.
    auto at = [&](int rate, int side) {
        auto it = played.find(rate);
        if (it == played.end() && error.empty()) {
            RunConfig c = config;
            c.premises.zentei_kaiten = Single(rate / 100.0);
            Totals totals;
            const std::int64_t before = border.runs * config.days,
                               total = std::max(border.runs + 1, kBorderRunsGuess) * config.days;
            error = run(
                c, totals, [](const DayResult&, const std::vector<SpinRow>&) {},
                [&](std::int64_t done, std::int64_t) {
                    if (progress) progress(before + done, total);
                });
            ++border.runs;
            it = played.emplace(rate, sweep_row("", totals)).first;
        }
        return it->second.mean + side * it->second.half_width;
    };
    // The least rate where the moved mean is at least 0, to a hundredth; 0 if none.
    auto least = [&](int side) {
        const int* hi = std::find_if(std::begin(kBorderGrid), std::end(kBorderGrid),
                                     [&](int rate) { return at(rate, side) >= 0; });
        if (hi == std::end(kBorderGrid)) return 0;
        if (hi == std::begin(kBorderGrid)) return *hi;
        int lo = hi[-1], h = *hi;
        while (h - lo > 1 && error.empty()) {
            const int mid = lo + (h - lo) / 2;
            (at(mid, side) >= 0 ? h : lo) = mid;
        }
        return h;
    };
    border.rate = least(0);
    border.found = border.rate > 0;
    border.interval = config.days >= kMinIntervalDays;
    if (border.interval) {
        border.low = least(1);
        border.high = least(-1);
    }
    return error;
}

} // namespace popchan::analysis
