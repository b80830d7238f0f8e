// A run split between machines: the days each part plays, and the
// arithmetic of merging the parts' sums into the whole run's, with every
// check that a part's sums can be those of a run.
#pragma once

#include <string>
#include <utility>

#include "analysis/run.h"

namespace popchan::analysis {

// The first day and the number of days of shard `index` (1..count) of a run
// of `days`: the run cut into `count` blocks of consecutive days, in order.
std::pair<std::int64_t, std::int64_t> shard_days(std::int64_t days, std::int64_t index,
                                                 std::int64_t count);

// The whole-number sums of a run, by name.
inline constexpr std::pair<const char*, std::int64_t Totals::*> kSums[] = {
    {"wins", &Totals::wins},
    {"giveups", &Totals::giveups},
    {"seconds", &Totals::seconds},
    {"jackpots", &Totals::jackpots},
    {"first_hits", &Totals::first_hits},
    {"max_chain", &Totals::max_chain},
    {"spins", &Totals::spins}};

// The first figure of a part of a run that no run can have, as "field must
// be …"; empty when all can be. Each rule is tried only when those before it
// hold.
std::string impossible(const Header& h, const Totals& t);

// Adds a part's sums to those of the parts before it: the name of the first
// sum that overflows, empty when none does.
std::string add_sums(Totals& into, const Totals& part);

} // namespace popchan::analysis
