// One premise played at several values over the same days, and the border:
// the spin rate at which the mean balance of a day is 0.
#pragma once

#include <string>
#include <vector>

#include "analysis/run.h"
#include "premises/validation.h"

namespace popchan::analysis {

// One premise played at several values, as their texts.
struct Sweep {
    std::string name; // the option's name without "--"
    PremiseRow row = kRowKaiten;
    std::vector<std::string> values;
};

// The figures of one value of a sweep.
struct SweepRow {
    std::string value;
    std::int64_t days = 0;
    double mean = 0, half_width = 0; // the mean balance and half its 95 % interval, yen
    double winning_share = 0, per_hour = 0, jackpots = 0; // jackpots per day
    Interval winning{};                                   // the winning share's 95 % interval
    bool interval = true; // days enough for the interval (else half_width 0)
};

SweepRow sweep_row(const std::string& value, const Totals& t);

// Plays the days of `config` at each value of the sweep, the other premises
// from `texts`: each day from the same seed at every value, so the rows differ
// by the premise alone. Stops at a run-time error, which it returns.
std::string sweep(const RunConfig& config, const PremiseTexts& texts, const Sweep& s,
                  std::vector<SweepRow>& rows, const Progress& progress);

// Spin rates in hundredths of a spin per 1,000 yen.
struct Border {
    bool found = false;    // the mean reaches 0 at a rate of at most 1,000
    int rate = 0, low = 0; // the least rate with a mean of at least 0; 0 inside the interval
    int high = 0;          // the least rate whose whole interval is at least 0; 0 if none
    int runs = 0;          // runs of the days it took
    bool interval = true;  // days enough for the rates of the interval
};

// The border under the premises of `config`: the spin rates of a coarse sweep,
// then bisection between the two that bracket the mean's 0 (and the 0 of each
// end of its 95 % interval), all on the same days.
std::string find_border(const RunConfig& config, Border& border, const Progress& progress);

} // namespace popchan::analysis
