// The batch tool's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "premises/validation.h"

namespace popchan::batch {

struct Options {
    PremiseTexts premises = start_texts();
    std::int64_t days = 1000;
    std::optional<std::uint64_t> seed; // from the clock when not given
    int threads = 0;                   // 0: every core
    bool json = false;
    std::string per_day, spins, plot; // output files, empty for none
    bool help = false;
};

struct Parsed {
    Options options;
    std::vector<std::string> usage_errors;   // unknown options, missing or bad values
    std::vector<std::string> premise_errors; // the premises' own check messages
};

Parsed parse(const std::vector<std::string>& args);

// The --help text: every option with its default and an example.
std::string usage();

} // namespace popchan::batch
