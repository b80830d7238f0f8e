// A run split between machines: the days each shard plays, and the merge of
// the shards' JSON summaries into the summary of the whole run.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/shards.h"
#include "reports/report.h"

namespace popchan::batch {

// The analyses the tool runs and reports.
using namespace popchan::analysis;

// The format of the members a merge reads: a summary written by a version of
// the tool that writes them otherwise carries another number.
inline constexpr int kShardFormat = 1;

// The most bytes of a shard's summary: a few kilobytes, or a few megabytes
// with a histogram of every balance a day can end with.
inline constexpr std::size_t kMaxShardBytes = std::size_t(16) << 20;

// The members of a JSON summary that let it be merged: the format, the
// premises, the days it covers, every sum and the digest of them all, each
// line starting with ",\n".
std::string sums_json(const Header& h, const Totals& t);

// The text of the file `name`, of at most kMaxShardBytes, read without taking
// more memory than that; the error says why it could not be read.
std::string read_summary_file(const std::string& name, std::string& text);

// The shards of one run, read one file at a time and then merged.
class ShardMerge {
  public:
    // Reads one file's summary (its name and text). The error names the file
    // and what does not fit: not a summary, another format, a member this
    // version does not write, a figure no run can have (named by its member),
    // a digest that does not match, another run.
    std::string add(const std::string& name, std::string_view text);
    // The header and the totals of the whole run from the files read. The
    // error names a day missing or played twice, or a sum that overflows.
    std::string finish(Header& header, Totals& totals);

  private:
    struct Part {
        std::string name;
        Header header{};
        Totals totals;
    };
    std::vector<Part> parts_;
};

// Reads the JSON summaries of the shards of one run (file name, text) and
// gathers them into its header and totals, as ShardMerge does.
std::string merge_summaries(const std::vector<std::pair<std::string, std::string>>& files,
                            Header& header, Totals& totals);

} // namespace popchan::batch
