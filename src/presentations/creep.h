// The right reel of the Tumble and Balloon reaches: it creeps at 6 pixels a
// tick, then either stops on its symbol or races at 24 and stops within the
// final row; the second variant halts two symbols short first.
#pragma once

#include "display/spin_sequence.h"

namespace popchan {

enum class CreepRow {
    Enter,     // d 0..99, creeping
    Approach,  // d 100..199, creeping
    Creep,     // d 200..299, first variant: creeping, stopping on the symbol if it comes
    BackOff,   // d 200..299, second variant: creeping to the point two symbols short
    Halt,      // d 200..299, second variant: halted there
    Race,      // d 300..399, racing
    FinalRace, // d 400..499, racing and stopping on the symbol
    Over,      // d 500 and later: never reached, the stop always comes first
};

// Moves the right reel for frame d and makes the row's checks; `marker` is
// the value of egara_step[2] that means "still creeping" in the second variant.
CreepRow creep_reel(DisplayContext& c, int d, bool second_variant, int marker);

} // namespace popchan
