// A run of many days on several threads. Days are played in fixed chunks,
// each day from its own seed, and handed on in day order, so the results do
// not depend on the number of threads.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "analysis/simulation.h"
#include "premises/validation.h"

namespace popchan::analysis {

// The most threads a run starts: each holds a machine of its own (about 2 MB)
// and a few chunks of days, and more than the cores play no faster.
// The most days a run plays. A day's balance stays within 2^26 yen (at most
// 169 payouts of 40,000 yen, or the give-up of 9,999,999 yen and one spin of
// at most 2^24 yen) and its seconds within 2^25, so every 64-bit sum of a run
// stays below 2^63, and so do the days a sweep of 1,000 values or the border's
// runs count.
inline constexpr std::int64_t kMaxDays = 100'000'000'000;
inline constexpr int kMaxThreads = 256;

// Which run a summary is of: its seed and premises (as the dialog or the
// command line writes them), and the days it covers.
struct Header {
    std::uint64_t seed;
    PremiseTexts premises;
    // The days of the run from its first day: a shard plays part of a run of
    // run_days (0: the days played are the whole run).
    std::int64_t first_day = 1, run_days = 0;
};

struct RunConfig {
    Premises premises;
    std::int64_t first_day = 1, days = 1000; // days first_day .. first_day + days - 1
    std::uint64_t seed = 0;
    int threads = 1; // at most kMaxThreads start, and no more than the run has chunks of days
    bool record_spins = false;
};

// Everything the summary needs, gathered in day order. The sums are whole
// numbers, so the totals of parts of a run add up to those of the whole run
// to the last digit.
struct Totals {
    std::int64_t days = 0;
    // Days by their balance in 100 yen (every balance is whole 100 yen): the
    // mean, the spread and the quantiles follow exactly.
    std::map<std::int64_t, std::int64_t> balances;
    std::int64_t wins = 0, giveups = 0, seconds = 0;
    std::int64_t jackpots = 0, first_hits = 0, max_chain = 0, spins = 0;
    ReachTable reach{};
    std::array<std::int64_t, kMaxHours + 1> hourly{}; // sums of the balance after each hour
    Measured exact;                                   // estimates of the exact figures

    void add(const DayResult& d);
    double balance_sum() const;
    double mean() const;
    double sd() const;
    double per_hour() const; // balance per hour played
};

using DaySink = std::function<void(const DayResult&, const std::vector<SpinRow>&)>;
using Progress = std::function<void(std::int64_t done, std::int64_t total)>;

// Plays the run. `each_day` sees every day in order with its spins (their
// kakuhen_zan already resolved). Returns an error text when the core
// reported a run-time error, when `failure`, if given, tells one after a
// day (an output that could not be written), or when a thread could not be
// started or memory ran out: each ends the run there.
std::string run(const RunConfig& config, Totals& totals, const DaySink& each_day,
                const Progress& progress, const std::function<std::string()>& failure = {});

} // namespace popchan::analysis
