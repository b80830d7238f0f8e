#include "batch/run.h"

#include <thread>

namespace popchan::batch {

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
    const std::int64_t last = std::min(first + kChunk, config.days + 1);
    for (std::int64_t day = first; day < last && chunk.error.empty(); ++day) {
        chunk.days.push_back(
            player.play(day, config.seed, config.record_spins ? &chunk.rows : nullptr, chunk.reach));
        chunk.row_ends.push_back(chunk.rows.size());
        chunk.error = player.error();
    }
}

} // namespace

void Totals::add(const DayResult& d) {
    ++days;
    const double delta = d.balance - mean;
    mean += delta / double(days);
    m2 += delta * (d.balance - mean);
    balances.push_back(d.balance);
    wins += d.balance > 0;
    giveups += d.by_giveup && !d.by_hours;
    balance_sum += d.balance;
    hours_played += d.end_seconds / 3600.0;
    jackpots += d.jackpots;
    first_hits += d.first_hits;
    max_chain += d.max_chain;
    spins += d.spins;
    for (int h = 0; h <= kMaxHours; ++h) hourly[h] += d.hourly[h];
}

std::string run(const RunConfig& config, Totals& totals, const DaySink& each_day,
                const Progress& progress) {
    const int threads = std::max(config.threads, 1);
    std::vector<std::unique_ptr<DayPlayer>> players;
    for (int t = 0; t < threads; ++t) players.push_back(std::make_unique<DayPlayer>(config.premises));
    std::vector<Chunk> chunks(threads);
    int carried_zan = 0; // the program starts with none
    for (std::int64_t first = 1; first <= config.days; first += kChunk * threads) {
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            const std::int64_t start = first + t * kChunk;
            if (start > config.days) {
                chunks[t] = Chunk{};
                continue;
            }
            workers.emplace_back(
                [&, t, start] { play_chunk(*players[t], config, start, chunks[t]); });
        }
        for (auto& w : workers) w.join();
        for (Chunk& chunk : chunks) {
            if (!chunk.error.empty()) return chunk.error;
            std::size_t begin = 0;
            for (std::size_t i = 0; i < chunk.days.size(); ++i) {
                std::vector<SpinRow> rows(chunk.rows.begin() + begin,
                                          chunk.rows.begin() + chunk.row_ends[i]);
                begin = chunk.row_ends[i];
                for (SpinRow& r : rows) r.kakuhen_zan = std::int16_t(resolve_zan(r.kakuhen_zan, carried_zan));
                carried_zan = resolve_zan(chunk.days[i].zan_end, carried_zan);
                totals.add(chunk.days[i]);
                each_day(chunk.days[i], rows);
            }
            for (int r = 0; r < 32; ++r)
                for (int c = 0; c < 2; ++c) totals.reach[r][c] += chunk.reach[r][c];
        }
        if (progress) progress(std::min(first + kChunk * threads - 1, config.days), config.days);
    }
    return {};
}

} // namespace popchan::batch
