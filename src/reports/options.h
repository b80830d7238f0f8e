// The batch tool's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/sweep.h"
#include "premises/validation.h"

namespace popchan::batch {

// The analyses the tool runs and reports.
using namespace popchan::analysis;

struct Options {
    PremiseTexts premises = start_texts();
    std::int64_t days = 1000;
    std::optional<std::uint64_t> seed; // from the clock when not given
    int threads = 0;                   // 0: every core
    bool json = false;
    bool exact = false;               // only the figures computed from the premises
    std::string per_day, spins, plot; // output files, empty for none
    bool help = false;

    std::optional<Sweep> sweep;
    bool border = false;                // the spin rate of a balance of 0
    std::string csv;                    // the sweep's rows, empty for none
    std::int64_t shard = 1, shards = 1; // --shard shard/shards
    bool merge = false;                 // "merge FILE…": the files' summaries merged
    std::vector<std::string> files;     // of merge
};

struct Parsed {
    Options options;
    std::vector<std::string> usage_errors;   // unknown options, missing or bad values
    std::vector<std::string> premise_errors; // the premises' own check messages
};

Parsed parse(const std::vector<std::string>& args);

// The option that sets the premise of `row`, e.g. "--spin-rate".
const char* premise_option(PremiseRow row);

// The --help text: every option with its default and an example.
std::string usage();

} // namespace popchan::batch
