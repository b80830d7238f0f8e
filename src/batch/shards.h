// A run split between machines: the days each shard plays, and the merge of
// the shards' JSON summaries into the summary of the whole run.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "batch/report.h"

namespace popchan::batch {

// The first day and the number of days of shard `index` (1..count) of a run
// of `days`: the run cut into `count` blocks of consecutive days, in order.
std::pair<std::int64_t, std::int64_t> shard_days(std::int64_t days, std::int64_t index,
                                                 std::int64_t count);

// The members of a JSON summary that let it be merged: the premises, the days
// it covers and every sum, each line starting with ",\n".
std::string sums_json(const Header& h, const Totals& t);

// Reads the JSON summaries of the shards of one run (file name, text) and
// gathers them into its header and totals. The error names the file and what
// does not fit: not a summary, a figure no run can have (named by its member),
// another run, a day missing or played twice, a sum that overflows.
std::string merge_summaries(const std::vector<std::pair<std::string, std::string>>& files,
                            Header& header, Totals& totals);

} // namespace popchan::batch
