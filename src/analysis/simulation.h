// Plays days with the program's own core: Start, the spins of the day with
// every one hidden (lottery, display, accounting, as the timers would fire
// them), and the end of the day through Reset.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/exact.h"
#include "premises/premises.h"

namespace popchan {
class FormDigiModel;
class MachineRandom;
} // namespace popchan

namespace popchan::analysis {

inline constexpr int kMaxHours = 14;

// The day's figures as they stand when the day ends.
struct DayResult {
    std::int64_t day = 0; // 1-based
    float spins = 0, spins_normal = 0, jackpots = 0, first_hits = 0, max_hamari = 0, max_chain = 0,
          balls = 0, exchanged = 0, spent = 0, balance = 0, end_seconds = 0;
    bool by_hours = false, by_giveup = false;
    std::array<float, kMaxHours + 1> hourly{}; // balance after each whole hour
    int zan_end = 0;                           // kakuhen_zan at the end, see resolve_zan
    Int16 kakuhen_end = 0;                     // the probability-up state the last spin left
    DayTally tally;                            // for the exact figures' estimates
};

// One lottery's decision.
struct SpinRow {
    std::int32_t spin = 0;
    std::int8_t kakuhen = 0, atari_flag = 0, atari_egara = 0, shoukaku_egara = 0, reach_kind = 0,
                suberi_flag = 0, yokoku_chara = 0, yokoku_level = 0;
    std::int16_t kakuhen_zan = 0;
};

using ReachTable = std::array<std::array<double, 2>, 32>;

// A day's kakuhen_zan carries over from the day before, but it never decides
// anything before a lottery sets it afresh; so each day starts from a marker
// value, and what the marker became is turned into the real value once the
// day before is known.
inline constexpr int kZanMarker = 30000;
int resolve_zan(int recorded, int carried);

// The seed of day `day` of a run.
std::uint64_t day_seed(std::uint64_t run_seed, std::int64_t day);

class DayPlayer {
  public:
    explicit DayPlayer(const Premises& premises);
    ~DayPlayer();
    DayPlayer(const DayPlayer&) = delete;
    DayPlayer& operator=(const DayPlayer&) = delete;

    // Plays one day; appends its spins to `rows` when asked and adds its
    // reach statistics to `reach`.
    DayResult play(std::int64_t day, std::uint64_t run_seed, std::vector<SpinRow>* rows,
                   ReachTable& reach);

    // A run-time error the core reported, if any.
    const std::string& error() const;

  private:
    struct Silent;
    std::unique_ptr<Silent> dialogs_;
    MachineRandom* rng_ = nullptr;
    std::unique_ptr<FormDigiModel> model_;
};

} // namespace popchan::analysis
