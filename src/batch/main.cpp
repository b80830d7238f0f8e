// popchan-batch: thousands of parlour days at machine speed, with the same
// lottery and accounting as the desktop program.
#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <new>
#include <random>
#include <thread>
#include <tuple>
#include <unistd.h>

#include "reports/options.h"
#include "batch/output.h"
#include "reports/report.h"
#include "reports/shards.h"
#include "reports/sweep_report.h"

using namespace popchan;
using namespace popchan::batch;

namespace {

// A bar on the terminal, if standard error is one, timed from now.
ProgressBar progress_bar() {
    return ProgressBar(
        isatty(STDERR_FILENO) ? stderr : nullptr, [start = std::chrono::steady_clock::now()] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        });
}

// Says what failed and gives the exit status: 1 for a failed run, 2 for
// input that cannot be used.
int failed(const std::string& what, int status = 1) {
    std::fprintf(stderr, "popchan-batch: %s\n", what.c_str());
    return status;
}

// Standard output, then the files into their places: only when all went well.
int finish(std::initializer_list<OutputFile*> files) {
    if (const std::string e = commit_outputs(files); !e.empty()) return failed(e);
    return 0;
}

// "merge FILE…": the summary of a whole run from its shards' JSON summaries,
// read one file at a time.
int merge_shards(const Options& o) {
    ShardMerge merge;
    for (const std::string& name : o.files) {
        std::string text;
        if (const std::string e = read_summary_file(name, text); !e.empty()) return failed(e, 2);
        if (const std::string e = merge.add(name, text); !e.empty()) return failed(e, 2);
    }
    Header header{};
    Totals totals;
    if (const std::string e = merge.finish(header, totals); !e.empty()) return failed(e, 2);
    print(o.json ? summary_json(header, totals) : summary_table(header, totals));
    return finish({});
}

int sweep_premise(const Options& o, const RunConfig& config) {
    OutputFile csv, plot;
    for (auto [file, path] : {std::pair{&csv, &o.csv}, std::pair{&plot, &o.plot}})
        if (!file->open(*path)) return failed(file->error());
    std::vector<SweepRow> rows;
    std::string error;
    {
        ProgressBar bar = progress_bar();
        error = sweep(config, o.premises, *o.sweep, rows,
                      [&](std::int64_t done, std::int64_t total) { bar(done, total); });
    }
    if (!error.empty()) return failed(error);
    const Header header{config.seed, o.premises};
    print(o.json ? sweep_json(header, *o.sweep, rows) : sweep_table(header, *o.sweep, rows));
    csv.write(sweep_csv(rows));
    if (plot.is_open()) plot.write(sweep_svg(*o.sweep, rows));
    return finish({&csv, &plot});
}

int border(const Options& o, const RunConfig& config) {
    Border b;
    std::string error;
    {
        ProgressBar bar = progress_bar();
        error = find_border(config, b,
                            [&](std::int64_t done, std::int64_t total) { bar(done, total); });
    }
    if (!error.empty()) return failed(error);
    const Header header{config.seed, o.premises};
    print(o.json ? border_json(header, config.days, b) : border_table(header, config.days, b));
    return finish({});
}

int batch_main(int argc, char** argv) {
    const Parsed parsed = parse(std::vector<std::string>(argv + 1, argv + argc));
    const Options& o = parsed.options;
    if (o.help) {
        std::fputs(usage().c_str(), stdout);
        const std::string e = finish_standard_output();
        return e.empty() ? 0 : failed(e);
    }
    if (!parsed.usage_errors.empty()) {
        for (const auto& e : parsed.usage_errors)
            std::fprintf(stderr, "popchan-batch: %s\n", e.c_str());
        std::fprintf(stderr, "popchan-batch: see --help\n");
        return 2;
    }
    if (!parsed.premise_errors.empty()) {
        for (const auto& e : parsed.premise_errors)
            std::fprintf(stderr, "popchan-batch: 入力エラー: %s\n", e.c_str());
        return 2;
    }
    if (const std::string e = same_file(
            {{"--per-day", o.per_day}, {"--spins", o.spins}, {"--plot", o.plot}, {"--csv", o.csv}});
        !e.empty())
        return failed(e, 2);
    if (o.merge) return merge_shards(o);
    if (o.exact) {
        print(o.json ? exact_json(o.premises) : exact_table(o.premises));
        return finish({});
    }

    RunConfig config;
    config.premises = convert_and_check(o.premises).record;
    std::tie(config.first_day, config.days) = shard_days(o.days, o.shard, o.shards);
    config.seed =
        o.seed ? *o.seed
               : (std::uint64_t(std::random_device{}()) << 32) ^
                     std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
    config.threads =
        o.threads > 0 ? o.threads : int(std::max(1u, std::thread::hardware_concurrency()));
    if (o.threads > kMaxThreads)
        std::fprintf(stderr, "popchan-batch: --threads %d capped to %d, the most a run starts\n",
                     o.threads, kMaxThreads);
    config.record_spins = !o.spins.empty();
    if (!o.seed)
        std::fprintf(stderr, "popchan-batch: seed %llu\n", (unsigned long long)config.seed);

    // Every output is created before the first day is played.
    if (const std::string e = check_standard_output_open(); !e.empty()) return failed(e);
    remove_temporaries_on_signals();
    if (o.sweep) return sweep_premise(o, config);
    if (o.border) return border(o, config);
    OutputFile per_day, spins, plot;
    for (auto [file, path] :
         {std::pair{&per_day, &o.per_day}, std::pair{&spins, &o.spins}, std::pair{&plot, &o.plot}})
        if (!file->open(*path)) return failed(file->error());
    per_day.write(std::string(kPerDayHeader) + '\n');
    spins.write(std::string(kSpinsHeader) + '\n');
    Totals totals;
    std::string error;
    {
        ProgressBar bar = progress_bar();
        error = run(
            config, totals,
            [&](const DayResult& d, const std::vector<SpinRow>& rows) {
                if (per_day.is_open()) per_day.write(per_day_row(d) + '\n');
                if (spins.is_open())
                    for (const SpinRow& r : rows)
                        spins.write(spin_row(d.day, r) + '\n');
            },
            [&](std::int64_t done, std::int64_t total) { bar(done, total); },
            [&] { return per_day.error().empty() ? spins.error() : per_day.error(); });
    }
    if (!error.empty()) return failed(error);
    for (OutputFile* file : {&per_day, &spins})
        if (!file->flush()) return failed(file->error());
    const Header header{config.seed, o.premises, config.first_day, o.days};
    print(o.json ? summary_json(header, totals) : summary_table(header, totals));
    if (plot.is_open()) plot.write(plot_svg(totals, config.premises.zentei_jikan));
    return finish({&per_day, &spins, &plot});
}

} // namespace

// Memory that runs out, or a library that fails, ends the tool with a
// message, as any failed run does.
int main(int argc, char** argv) {
    try {
        return batch_main(argc, argv);
    } catch (const std::bad_alloc&) {
        return failed("out of memory");
    } catch (const std::exception& e) {
        return failed(e.what());
    }
}
