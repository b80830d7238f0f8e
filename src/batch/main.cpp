// popchan-batch: thousands of parlour days at machine speed, with the same
// lottery and accounting as the desktop program.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <random>
#include <thread>
#include <unistd.h>

#include "batch/options.h"
#include "batch/report.h"

using namespace popchan;
using namespace popchan::batch;

namespace {

// A progress bar with the time left, on a terminal, once the run takes a while.
class ProgressBar {
  public:
    ProgressBar() : on_(isatty(STDERR_FILENO)), start_(std::chrono::steady_clock::now()) {}
    void operator()(std::int64_t done, std::int64_t total) {
        const double elapsed = seconds();
        if (!on_ || elapsed < 1.0) return;
        const double share = double(done) / double(total);
        const int filled = int(share * 30);
        std::fprintf(stderr, "\r[%s%s] %5.1f %%  %.0f s left ", std::string(filled, '#').c_str(),
                     std::string(30 - filled, '.').c_str(), 100 * share,
                     share > 0 ? elapsed * (1 - share) / share : 0.0);
        shown_ = true;
    }
    ~ProgressBar() {
        if (shown_) std::fprintf(stderr, "\r%60s\r", "");
    }

  private:
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
    bool on_, shown_ = false;
    std::chrono::steady_clock::time_point start_;
};

bool open_out(const std::string& path, std::ofstream& out, const char* header) {
    if (path.empty()) return true;
    out.open(path);
    if (!out) {
        std::fprintf(stderr, "popchan-batch: cannot write %s\n", path.c_str());
        return false;
    }
    out << header << '\n';
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const Parsed parsed = parse(std::vector<std::string>(argv + 1, argv + argc));
    const Options& o = parsed.options;
    if (o.help) {
        std::cout << usage();
        return 0;
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

    RunConfig config;
    config.premises = convert_and_check(o.premises).record;
    config.days = o.days;
    config.seed =
        o.seed ? *o.seed
               : (std::uint64_t(std::random_device{}()) << 32) ^
                     std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
    config.threads =
        o.threads > 0 ? o.threads : int(std::max(1u, std::thread::hardware_concurrency()));
    config.record_spins = !o.spins.empty();
    if (!o.seed)
        std::fprintf(stderr, "popchan-batch: seed %llu\n", (unsigned long long)config.seed);

    std::ofstream per_day, spins;
    if (!open_out(o.per_day, per_day, kPerDayHeader) || !open_out(o.spins, spins, kSpinsHeader))
        return 1;
    Totals totals;
    std::string error;
    {
        ProgressBar bar;
        error = run(
            config, totals,
            [&](const DayResult& d, const std::vector<SpinRow>& rows) {
                if (per_day.is_open()) per_day << per_day_row(d) << '\n';
                if (spins.is_open())
                    for (const SpinRow& r : rows)
                        spins << spin_row(d.day, r) << '\n';
            },
            [&](std::int64_t done, std::int64_t total) { bar(done, total); });
    }
    if (!error.empty()) {
        std::fprintf(stderr, "popchan-batch: %s\n", error.c_str());
        return 1;
    }
    const Header header{config.seed, o.premises};
    std::cout << (o.json ? summary_json(header, totals) : summary_table(header, totals));
    if (!o.plot.empty()) {
        std::ofstream svg(o.plot);
        svg << plot_svg(totals, config.premises.zentei_jikan);
        if (!svg) {
            std::fprintf(stderr, "popchan-batch: cannot write %s\n", o.plot.c_str());
            return 1;
        }
    }
    return 0;
}
