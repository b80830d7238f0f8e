#include "analysis/run.h"

#include <cmath>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace popchan::analysis {

namespace {

constexpr std::int64_t kChunk = 32; // days played together by one thread

struct Chunk {
    std::vector<DayResult> days;
    std::vector<SpinRow> rows;
    std::vector<std::size_t> row_ends; // end of each day's rows
    ReachTable reach{};
    std::string error;
};

void play_chunk(DayPlayer& player, const RunConfig& config, std::int64_t first, Chunk& chunk) {
    chunk = Chunk{};
    const std::int64_t last = std::min(first + kChunk, config.first_day + config.days);
    for (std::int64_t day = first; day < last && chunk.error.empty(); ++day) {
        chunk.days.push_back(player.play(day, config.seed,
                                         config.record_spins ? &chunk.rows : nullptr, chunk.reach));
        chunk.row_ends.push_back(chunk.rows.size());
        chunk.error = player.error();
    }
}

} // namespace

void Totals::add(const DayResult& d) {
    ++days;
    ++balances[std::llround(d.balance / 100)];
    wins += d.balance > 0;
    giveups += d.by_giveup && !d.by_hours;
    seconds += std::llround(d.end_seconds);
    jackpots += std::llround(d.jackpots);
    first_hits += std::llround(d.first_hits);
    max_chain += std::llround(d.max_chain);
    spins += std::llround(d.spins);
    exact.add(d);
    for (int h = 0; h <= kMaxHours; ++h)
        hourly[h] += std::llround(d.hourly[h]);
}

double Totals::balance_sum() const {
    std::int64_t hundreds = 0;
    for (const auto& [balance, count] : balances)
        hundreds += balance * count;
    return 100.0 * double(hundreds);
}

double Totals::mean() const {
    return days ? balance_sum() / double(days) : 0;
}

// Summed in the order of the balances, so equal histograms give equal results.
double Totals::sd() const {
    if (days < 2) return 0;
    const double m = mean();
    double squares = 0;
    for (const auto& [balance, count] : balances)
        squares += double(count) * (100.0 * double(balance) - m) * (100.0 * double(balance) - m);
    return std::sqrt(squares / double(days - 1));
}

double Totals::per_hour() const {
    return seconds > 0 ? balance_sum() / (double(seconds) / 3600) : 0;
}

std::string run(const RunConfig& config, Totals& totals, const DaySink& each_day,
                const Progress& progress, const std::function<std::string()>& failure) {
    const std::int64_t chunks = (config.days + kChunk - 1) / kChunk;
    // A thread without a chunk to play would only hold its machine.
    const int threads = int(
        std::max<std::int64_t>(1, std::min<std::int64_t>({config.threads, kMaxThreads, chunks})));
    // Workers take chunks in turn and may run ahead of the merge by a few
    // chunks each; the merge takes them strictly in day order.
    const std::int64_t ahead = 4 * threads;
    std::vector<Chunk> slots(static_cast<std::size_t>(ahead));
    std::vector<char> ready(static_cast<std::size_t>(ahead), 0);
    std::int64_t next = 0, merged = 0;
    bool stop = false;
    std::mutex mutex;
    std::condition_variable changed;

    auto play = [&](DayPlayer& player, std::int64_t i) {
        Chunk& slot = slots[std::size_t(i % ahead)];
        try {
            play_chunk(player, config, config.first_day + i * kChunk, slot);
        } catch (const std::bad_alloc&) {
            slot.error = "out of memory";
        }
    };
    auto work = [&](DayPlayer& player) {
        for (;;) {
            std::int64_t i;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next >= chunks || next < merged + ahead; });
                if (stop || next >= chunks) return;
                i = next++;
            }
            play(player, i);
            {
                std::lock_guard lock(mutex);
                ready[std::size_t(i % ahead)] = 1;
            }
            changed.notify_all();
        }
    };
    // However the run ends, its workers are told to stop and are waited for.
    struct Crew {
        std::vector<std::unique_ptr<DayPlayer>> players;
        std::vector<std::thread> workers;
        bool& stop;
        std::mutex& mutex;
        std::condition_variable& changed;
        ~Crew() {
            {
                std::lock_guard lock(mutex);
                stop = true;
            }
            changed.notify_all();
            for (auto& w : workers)
                w.join();
        }
    } crew{{}, {}, stop, mutex, changed};
    // A run on one thread plays each chunk where the merge takes it, and
    // starts no worker (WebAssembly in the page has no threads).
    const bool alone = threads == 1;
    try {
        for (int t = 0; t < threads; ++t) {
            crew.players.push_back(std::make_unique<DayPlayer>(config.premises));
            if (!alone) crew.workers.emplace_back(work, std::ref(*crew.players.back()));
        }
    } catch (const std::system_error& e) {
        return "cannot start " + std::to_string(threads) + " worker threads: " + e.what();
    } catch (const std::bad_alloc&) {
        return "cannot start " + std::to_string(threads) + " worker threads: out of memory";
    }

    std::string error;
    int carried_zan = 0; // the program starts with none
    for (std::int64_t i = 0; i < chunks && error.empty(); ++i) {
        const std::size_t k = std::size_t(i % ahead);
        if (alone) {
            play(*crew.players.front(), i);
        } else {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return ready[k] != 0; });
        }
        Chunk& chunk = slots[k];
        error = chunk.error;
        std::size_t begin = 0;
        for (std::size_t d = 0; d < chunk.days.size() && error.empty(); ++d) {
            std::vector<SpinRow> rows(chunk.rows.begin() + begin,
                                      chunk.rows.begin() + chunk.row_ends[d]);
            begin = chunk.row_ends[d];
            for (SpinRow& r : rows)
                r.kakuhen_zan = std::int16_t(resolve_zan(r.kakuhen_zan, carried_zan));
            carried_zan = resolve_zan(chunk.days[d].zan_end, carried_zan);
            totals.add(chunk.days[d]);
            each_day(chunk.days[d], rows);
            if (failure) error = failure();
        }
        for (int r = 0; r < 32; ++r)
            for (int c = 0; c < 2; ++c)
                totals.reach[r][c] += chunk.reach[r][c];
        {
            std::lock_guard lock(mutex);
            ready[k] = 0;
            merged = i + 1;
        }
        changed.notify_all();
        if (progress) progress(std::min((i + 1) * kChunk, config.days), config.days);
    }
    return error;
}

} // namespace popchan::analysis
