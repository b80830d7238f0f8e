// A run of many days on several threads. Days are played in fixed chunks,
// each day from its own seed, and handed on in day order, so the results do
// not depend on the number of threads.
#pragma once

#include <functional>
#include <string>

#include "batch/simulation.h"

namespace popchan::batch {

struct RunConfig {
    Premises premises;
    std::int64_t days = 1000;
    std::uint64_t seed = 0;
    int threads = 1;
    bool record_spins = false;
};

// Everything the summary needs, gathered in day order.
struct Totals {
    std::int64_t days = 0;
    double mean = 0, m2 = 0;     // running mean and sum of squared deviations of the balance
    std::vector<float> balances; // one per day, for exact quantiles
    std::int64_t wins = 0, giveups = 0;
    double balance_sum = 0, hours_played = 0;
    double jackpots = 0, first_hits = 0, max_chain = 0, spins = 0;
    ReachTable reach{};
    std::array<double, kMaxHours + 1> hourly{}; // sums of the balance after each hour

    void add(const DayResult& d);
};

using DaySink = std::function<void(const DayResult&, const std::vector<SpinRow>&)>;
using Progress = std::function<void(std::int64_t done, std::int64_t total)>;

// Plays the run. `each_day` sees every day in order with its spins (their
// kakuhen_zan already resolved). Returns an error text when the core
// reported a run-time error, which ends the run.
std::string run(const RunConfig& config, Totals& totals, const DaySink& each_day,
                const Progress& progress);

} // namespace popchan::batch
