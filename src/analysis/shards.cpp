#include "analysis/shards.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "common/numbers.h"
#include "common/text.h"
#include "parlour/accounting.h"
#include "premises/spin_rate.h"
#include "premises/validation.h"
#include "stats/reach_stats.h"

namespace popchan::analysis {

namespace {

// Sums that are a part of another: at most that one.
struct PartOf {
    const char* name;
    std::int64_t Totals::*part;
    std::int64_t Totals::*whole;
    const char* whole_name;
};
constexpr PartOf kParts[] = {
    {"sums.wins", &Totals::wins, &Totals::days, "days"},
    {"sums.giveups", &Totals::giveups, &Totals::days, "days"},
    {"sums.jackpots", &Totals::jackpots, &Totals::spins, "sums.spins"},
    {"sums.first_hits", &Totals::first_hits, &Totals::jackpots, "sums.jackpots"},
    {"sums.max_chain", &Totals::max_chain, &Totals::jackpots, "sums.jackpots"},
};

// The days and the balance in hundreds of yen that the histogram of the day
// balances counts; none when a count is below 0 or a sum overflows.
std::optional<std::array<std::int64_t, 2>> histogram(const Totals& t) {
    std::int64_t days = 0, hundreds = 0;
    for (const auto& [balance, count] : t.balances) {
        std::int64_t product{};
        if (!(count >= 0) || __builtin_mul_overflow(balance, count, &product) ||
            __builtin_add_overflow(days, count, &days) ||
            __builtin_add_overflow(hundreds, product, &hundreds))
            return std::nullopt;
    }
    return std::array{days, hundreds};
}

bool finite(const DayRatio& d) {
    return std::isfinite(d.x) && std::isfinite(d.y) && std::isfinite(d.xx) && std::isfinite(d.xy) &&
           std::isfinite(d.yy);
}

// Adds `part` to `sum`; false when the sum overflows.
bool add_to(std::int64_t& sum, std::int64_t part) {
    return !__builtin_add_overflow(sum, part, &sum);
}
bool add_to(double& sum, double part) {
    sum += part;
    return std::isfinite(sum);
}

} // namespace

// The first figure of a file that no run can have, as "field must be …";
// empty when all can be. Each rule is tried only when those before it hold.
std::string impossible(const Header& h, const Totals& t) {
    const Commit premises = convert_and_check(h.premises);
    if (!premises.failed.empty())
        return "premises must pass their checks: " + std::string(check_message(premises.failed[0]));
    const Premises& z = premises.record;
    std::string fault;
    const auto rule = [&](const std::string& field, const std::string& must, auto holds) {
        if (fault.empty() && !holds()) fault = field + " must be " + must;
    };
    rule("first_day", "at least 1", [&] { return h.first_day >= 1; });
    rule("days", "at least 1", [&] { return t.days >= 1; });
    rule("run_days", "at least first_day + days - 1",
         [&] { return h.run_days >= h.first_day && t.days - 1 <= h.run_days - h.first_day; });
    rule("run_days", "at most " + format_counter(double(kMaxDays)),
         [&] { return h.run_days <= kMaxDays; });
    for (const auto& sum : kSums)
        rule(std::string("sums.") + sum.first, "at least 0", [&] { return t.*sum.second >= 0; });
    for (const PartOf& p : kParts)
        rule(p.name, "at most " + std::string(p.whole_name),
             [&] { return t.*p.part <= t.*p.whole; });
    rule("sums.reach", "jackpots from 0 to the reaches of each row", [&] {
        return std::all_of(t.reach.begin(), t.reach.end(),
                           [](const auto& row) { return row[0] >= 0 && row[0] <= row[1]; });
    });
    rule("sums.balances", "counts of at least 0 adding up to days, of a balance within 64 bits",
         [&] {
             const auto sums = histogram(t);
             return sums && (*sums)[0] == t.days;
         });
    // What the days of the histogram tell of the other sums; its counts add up
    // to days, so none of these overflows.
    const auto days_where = [&](auto holds) {
        std::int64_t n = 0;
        for (const auto& [balance, count] : t.balances)
            if (holds(balance)) n += count;
        return n;
    };
    rule("sums.wins", "the days of sums.balances above 0",
         [&] { return t.wins == days_where([](std::int64_t b) { return b > 0; }); });
    // A day is given up when its balance falls below minus the give-up amount,
    // unless its hours ended with the same spin.
    rule("sums.giveups", "at most the days of sums.balances below minus the give-up amount", [&] {
        return t.giveups <= days_where([&](std::int64_t b) {
                   return 100.0 * double(b) < -double(z.zentei_giveup);
               });
    });
    // Every other day ended when its clock, in whole seconds, passed its hours.
    const Single hours_end = z.zentei_jikan * 3600;
    const auto least_seconds = std::int64_t(std::floor(hours_end)) + 1;
    rule("sums.seconds", "at least the days not given up times their hours",
         [&] { return t.seconds / least_seconds >= t.days - t.giveups; });
    // Every spin takes at least the shortest time a spin lasts (one without
    // reach, in the state with the shorter), and a day ends with the first
    // spin booked after its hours: at most the longest spin (a reach, or one
    // without at a low spin rate) and a jackpot's payout later.
    const Single normal = normal_spin_seconds(z.zentei_kaiten);
    const auto shortest =
        std::int64_t(std::min(spin_seconds(0, 0, normal), spin_seconds(0, 1, normal)));
    const auto longest =
        std::int64_t(std::max(spin_seconds(0, 0, normal), spin_seconds(2, 0, normal)));
    const std::int64_t most_seconds =
        std::int64_t(std::floor(hours_end)) + longest + std::int64_t(kAtariSeconds);
    rule("sums.seconds",
         "at least sums.spins times the shortest a spin lasts (" + std::to_string(shortest) + " s)",
         [&] { return t.seconds / shortest >= t.spins; });
    rule("sums.seconds",
         "at most days times the hours, the longest spin and a payout (" +
             format_counter(double(most_seconds)) + " s a day)",
         [&] { return t.seconds / most_seconds + (t.seconds % most_seconds != 0) <= t.days; });
    // The balance after each hour: whole hundreds of yen as every balance, none
    // before the first spin, and the day's last balance at each hour after
    // its hours (no hour past them is noted while the day goes on).
    rule("sums.hourly", "whole hundreds of yen, 0 at 9:00", [&] {
        return t.hourly[0] == 0 && std::all_of(t.hourly.begin(), t.hourly.end(),
                                               [](std::int64_t yen) { return yen % 100 == 0; });
    });
    rule("sums.hourly", "the yen of sums.balances at each hour after the day's hours", [&] {
        std::int64_t yen{};
        const bool fits = !__builtin_mul_overflow((*histogram(t))[1], std::int64_t(100), &yen);
        for (int hour = 1; hour <= kMaxHours; ++hour)
            if (Single(hour * 3600) > hours_end && !(fits && t.hourly[hour] == yen)) return false;
        return true;
    });
    // Every jackpot comes with a reach of a kind from 1 to 11, counted in the
    // row of its kind and in the total row of its state: a first hit in the
    // normal state, any other jackpot in the probability-up state.
    rule("sums.reach",
         "rows of the kinds 1 to 11 of each state and their totals, and no other rows", [&] {
             constexpr int kinds = int(kReachLabels.size());
             for (int base : {0, ReachStats::kProbUpBase})
                 for (std::size_t c = 0; c < 2; ++c) {
                     double sum = 0;
                     for (int kind = 1; kind <= kinds; ++kind)
                         sum += t.reach[std::size_t(base + kind)][c];
                     if (sum != t.reach[std::size_t(base)][c]) return false;
                 }
             return std::all_of(t.reach.begin() + kinds + 1,
                                t.reach.begin() + ReachStats::kProbUpBase,
                                [](const auto& row) { return row[0] == 0 && row[1] == 0; });
         });
    rule("sums.reach",
         "jackpots of sums.first_hits in the normal state and of the other sums.jackpots in the "
         "probability-up state",
         [&] {
             return t.reach[0][0] == double(t.first_hits) &&
                    t.reach[ReachStats::kProbUpBase][0] == double(t.jackpots - t.first_hits);
         });
    for (const auto& ratio : t.exact.named()) {
        const DayRatio& d = *ratio.ratio;
        const bool spins = ratio.per == Per::kSpins, first_hits = ratio.per == Per::kFirstHits;
        const std::int64_t whole = spins ? t.spins : first_hits ? t.first_hits : t.days;
        const std::string of = spins ? "spins" : first_hits ? "first hits" : "days";
        rule("sums.exact." + ratio.name, "sums of at least 0 over days, of at most the " + of, [&] {
            return d.days == t.days && d.x >= 0 && d.y >= 0 && d.xx >= 0 && d.xy >= 0 &&
                   d.yy >= 0 && d.y <= double(whole);
        });
        rule("sums.exact." + ratio.name, "jackpots at most its " + of + " and sums.jackpots",
             [&] { return !ratio.part || (d.x <= d.y && d.x <= double(t.jackpots)); });
    }
    return fault;
}

// Adds a shard's sums to those of the shards before it: the name of the
// first sum that overflows, empty when none does.
std::string add_sums(Totals& into, const Totals& part) {
    std::string over;
    const auto sum = [&](auto& to, auto value, const std::string& name) {
        if (!add_to(to, value) && over.empty()) over = name;
    };
    into.days += part.days; // the days of the run, checked before
    for (const auto& [balance, count] : part.balances)
        into.balances[balance] += count;
    if (!histogram(into)) over = "sums.balances";
    for (auto [name, field] : kSums)
        sum(into.*field, part.*field, std::string("sums.") + name);
    for (std::size_t i = 0; i < into.hourly.size(); ++i)
        sum(into.hourly[i], part.hourly[i], "sums.hourly");
    for (std::size_t i = 0; i < into.reach.size(); ++i)
        for (std::size_t c = 0; c < 2; ++c)
            sum(into.reach[i][c], part.reach[i][c], "sums.reach");
    const auto from = part.exact.named();
    const auto to = into.exact.named();
    for (std::size_t i = 0; i < to.size(); ++i) {
        DayRatio& d = *to[i].ratio;
        d += *from[i].ratio;
        if (!finite(d) && over.empty()) over = "sums.exact." + to[i].name;
    }
    return over;
}

std::pair<std::int64_t, std::int64_t> shard_days(std::int64_t days, std::int64_t index,
                                                 std::int64_t count) {
    // index × days / count without overflow for any run that fits the day numbers.
    auto cut = [&](std::int64_t i) { return days / count * i + days % count * i / count; };
    return {cut(index - 1) + 1, cut(index) - cut(index - 1)};
}

} // namespace popchan::analysis
