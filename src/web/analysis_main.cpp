// The analysis page 分析 in the browser: the batch tool's options, runs and
// reports compiled to WebAssembly. The page takes a command line as the tool
// would (a JSON array of its arguments), checks it with the tool's own parser,
// has its Web Workers play the parts of a run as the tool's shards, merges
// their summaries as `popchan-batch merge` does and writes the tool's reports,
// byte for byte.
#include <emscripten/emscripten.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/face.h"
#include "reports/options.h"
#include "reports/report.h"
#include "reports/shards.h"
#include "reports/sweep_report.h"
#include "premises/dialog.h"

using namespace popchan;
using namespace popchan::batch;
using Json = nlohmann::ordered_json;

// How far a worker's part has come: the page sums the parts.
EM_JS(void, page_progress, (double done, double total), {
    if (Module.onProgress) Module.onProgress(done, total);
});

namespace {

std::string text; // the last JSON handed out

const char* hand_out(const Json& j) {
    text = j.dump();
    return text.c_str();
}

std::vector<std::string> arguments(const char* args) {
    return Json::parse(args).get<std::vector<std::string>>();
}

// The arguments as a shell takes them: quoted where a shell would split or
// expand them.
std::string command_line(const std::vector<std::string>& args) {
    std::string out = "popchan-batch";
    for (const std::string& a : args) {
        const bool plain = !a.empty() && std::all_of(a.begin(), a.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || (c & 0x80) ||
                   std::string_view("-_=:,./+").find(c) != std::string_view::npos;
        });
        std::string quoted = "'";
        for (char c : a)
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        out += " " + (plain ? a : quoted + "'");
    }
    return out;
}

// The run the options describe, on this one thread.
RunConfig config_of(const Options& o) {
    RunConfig config;
    config.premises = convert_and_check(o.premises).record;
    config.days = o.days;
    config.seed = o.seed.value_or(0);
    config.threads = 1;
    return config;
}

const Progress progress = [](std::int64_t done, std::int64_t total) {
    page_progress(double(done), double(total));
};

Json failure(const std::string& error) {
    return {{"error", error}};
}

} // namespace

extern "C" {

// The page's texts, the premises with their labels, lists, start texts and
// options, the analyses and the files.
EMSCRIPTEN_KEEPALIVE const char* an_face() {
    Json j;
    for (const auto& [name, t] : analysis::kAnalysisTexts)
        j["texts"][name] = t;
    j["input_error"] = kInputErrorTitle;
    const PremiseTexts start = start_texts();
    for (int row = 0; row < kPremiseRows; ++row)
        j["premises"].push_back({{"label", premise_rows()[std::size_t(row)].label},
                                 {"option", premise_option(PremiseRow(row))},
                                 {"start", start[std::size_t(row)]},
                                 {"items", list_items(PremiseRow(row))}});
    for (const auto& k : analysis::kAnalysisKinds)
        j["kinds"].push_back({{"name", k.name}, {"label", k.label}, {"option", k.option}});
    for (const auto& f : analysis::kAnalysisFiles)
        j["files"][f.name] = {{"option", f.option}, {"file", f.file}};
    j["days"] = Options{}.days;
    j["per_day_row_bytes"] = analysis::kPerDayRowBytes;
    j["per_day_most_megabytes"] = analysis::kPerDayMostMegabytes;
    return hand_out(j);
}

// The command line's messages for these arguments (none when it would run),
// the command itself, and what the page needs to split the run.
EMSCRIPTEN_KEEPALIVE const char* an_check(const char* args) {
    const std::vector<std::string> a = arguments(args);
    const Parsed p = parse(a);
    Json j{{"errors", Json::array()}, {"command", command_line(a)}};
    for (const std::string& e : p.usage_errors)
        j["errors"].push_back(e);
    for (const std::string& e : p.premise_errors)
        j["errors"].push_back(std::string(kInputErrorTitle) + ": " + e);
    j["days"] = p.options.days;
    j["values"] = p.options.sweep ? p.options.sweep->values.size() : 0;
    return hand_out(j);
}

// The exact figures: the table and the JSON.
EMSCRIPTEN_KEEPALIVE const char* an_exact(const char* args) {
    const Options o = parse(arguments(args)).options;
    return hand_out({{"table", exact_table(o.premises)}, {"json", exact_json(o.premises)}});
}

// Part `part` of `parts` of a run, as the shard --shard part/parts plays it:
// its JSON summary and, when asked, its days' CSV rows (the first part's with
// the header).
EMSCRIPTEN_KEEPALIVE const char* an_part(const char* args, int part, int parts, int per_day) {
    const Options o = parse(arguments(args)).options;
    RunConfig config = config_of(o);
    std::tie(config.first_day, config.days) = shard_days(o.days, part, parts);
    std::string rows = part == 1 && per_day ? std::string(kPerDayHeader) + "\n" : "";
    Totals totals;
    const std::string error = run(
        config, totals,
        [&](const DayResult& d, const std::vector<SpinRow>&) {
            if (per_day) rows += per_day_row(d) + "\n";
        },
        progress);
    if (!error.empty()) return hand_out(failure(error));
    const Header header{config.seed, o.premises, config.first_day, o.days};
    return hand_out({{"summary", summary_json(header, totals)}, {"csv", rows}});
}

// The whole run from its parts' summaries (a JSON array of texts), as
// `popchan-batch merge` reads them: the table, the JSON and the picture.
EMSCRIPTEN_KEEPALIVE const char* an_merge(const char* summaries) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& s : Json::parse(summaries).get<std::vector<std::string>>())
        files.emplace_back("part " + std::to_string(files.size() + 1), s);
    Header header{};
    Totals totals;
    if (const std::string e = merge_summaries(files, header, totals); !e.empty())
        return hand_out(failure(e));
    const double hours = convert_and_check(header.premises).record.zentei_jikan;
    return hand_out({{"table", summary_table(header, totals)},
                     {"json", summary_json(header, totals)},
                     {"plot", plot_svg(totals, hours)}});
}

// Part `part` of `parts` of a sweep: every parts-th value from the part-th,
// each on the same days as the whole sweep plays it.
EMSCRIPTEN_KEEPALIVE const char* an_sweep_part(const char* args, int part, int parts) {
    const Options o = parse(arguments(args)).options;
    Sweep mine = *o.sweep;
    mine.values.clear();
    for (std::size_t i = std::size_t(part - 1); i < o.sweep->values.size(); i += std::size_t(parts))
        mine.values.push_back(o.sweep->values[i]);
    std::vector<SweepRow> rows;
    if (const std::string e = sweep(config_of(o), o.premises, mine, rows, progress); !e.empty())
        return hand_out(failure(e));
    Json j = Json::array();
    for (const SweepRow& r : rows)
        j.push_back({r.value, r.days, r.mean, r.half_width, r.winning_share, r.per_hour, r.jackpots,
                     r.winning.low, r.winning.high, r.interval});
    return hand_out({{"rows", j}});
}

// The sweep's reports from its parts' rows (a JSON array of the parts' row
// arrays, in the parts' order).
EMSCRIPTEN_KEEPALIVE const char* an_sweep_report(const char* args, const char* parts) {
    const Options o = parse(arguments(args)).options;
    const Json p = Json::parse(parts);
    std::vector<SweepRow> rows(o.sweep->values.size());
    for (std::size_t k = 0; k < p.size(); ++k)
        for (std::size_t i = 0; i < p[k].size(); ++i) {
            const Json& r = p[k][i];
            SweepRow& row = rows[k + i * p.size()];
            row.value = r[0].get<std::string>();
            row.days = r[1].get<std::int64_t>();
            row.mean = r[2], row.half_width = r[3], row.winning_share = r[4], row.per_hour = r[5];
            row.jackpots = r[6], row.winning.low = r[7], row.winning.high = r[8];
            row.interval = r[9].get<bool>();
        }
    const Header header{*o.seed, o.premises};
    return hand_out({{"table", sweep_table(header, *o.sweep, rows)},
                     {"json", sweep_json(header, *o.sweep, rows)},
                     {"csv", sweep_csv(rows)},
                     {"plot", sweep_svg(*o.sweep, rows)}});
}

// The border, on this one thread: the table and the JSON.
EMSCRIPTEN_KEEPALIVE const char* an_border(const char* args) {
    const Options o = parse(arguments(args)).options;
    const RunConfig config = config_of(o);
    Border b;
    if (const std::string e = find_border(config, b, progress); !e.empty())
        return hand_out(failure(e));
    const Header header{config.seed, o.premises};
    return hand_out({{"table", border_table(header, config.days, b)},
                     {"json", border_json(header, config.days, b)}});
}

} // extern "C"
