// The machine's variables: the spin being decided and shown, the reels, and
// the probability-up state. All are 16-bit integers of the main window.
#pragma once

#include <array>

#include "common/numbers.h"

namespace popchan {

// Display modes: every spin shown, only reaches, only jackpots; the batch tool
// hides every spin.
inline constexpr int kDigiShowAll = 0, kDigiHideAll = 1, kDigiReachesOnly = 2,
                     kDigiJackpotsOnly = 3;

struct SpinState {
    Int16 digi_mode;  // kDigiShowAll … kDigiJackpotsOnly
    Int16 spin_phase; // 0 lottery due, 1 display running, 2 accounting due
    Int16 spin_tick;  // tick of the running display sequence, 0 between spins

    // Phase marks of the running display sequence.
    Int16 mark_left, mark_middle, mark_right, mark_right_slow, mark_present, mark_result,
        mark_atari, mark_fanfare, mark_close, mark_end;

    std::array<Int16, 3> egara_target{}; // resting symbol of each reel
    std::array<Int16, 3> egara_top{};    // strip position of each reel, 1..672
    std::array<Int16, 3> egara_step{};   // per-reel stop step; [2] also a sprite frame

    Int16 atari_flag;                                // 1: this spin is a jackpot
    Int16 atari_egara;                               // jackpot symbol 0..13
    Int16 shoukaku_egara;                            // promotion symbol, 0 none, 14 standing for 0
    Int16 reach_kind;                                // 0 no reach, 1..11
    Int16 suberi_flag;                               // the middle reel slides into place
    Int16 yokoku_chara, yokoku_level, yokoku_scroll; // notice options

    Int16 kakuhen_flag; // probability-up state on
    Int16 kakuhen_zan;  // remaining probability-up continuations
};

} // namespace popchan
