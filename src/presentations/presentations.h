// The reach presentations: between mark_present and mark_atari they take over
// the right reel and the display, bring the reel onto its final symbol with a
// character over the reels, play the result music and hand back by moving
// spin_tick on.
#pragma once

#include "common/numbers.h"

namespace popchan {

struct DisplayContext;

// Calls the presentation of the spin's reach kind for this tick.
void present_reach(DisplayContext& c);

void Reach_Tumble(DisplayContext& c);   // kinds 2, 3
void Reach_Baloon(DisplayContext& c);   // kinds 4, 5
void Reach_Nekomimi(DisplayContext& c); // kinds 6, 7
void Reach_Fairy(DisplayContext& c);    // kinds 8, 9, 10
void Reach_Angel(DisplayContext& c);    // kind 11

namespace frame {

// Phase A (the presentation proper) runs while spin_tick < mark_result.
bool in_phase_a(const DisplayContext& c);
int d(const DisplayContext& c); // frame of phase A: spin_tick − mark_present
int e(const DisplayContext& c); // frame of phase B: spin_tick − mark_result

// Phase A's start of a tick: the flash when the right reel stands on a
// multiple of 12, then the left and middle reels in place.
void flash_and_redraw(DisplayContext& c);
// The right reel has reached its final symbol: phase B from the next tick.
bool stop_check(DisplayContext& c);
// Phase B's start of a tick: the resting colour and all reels in place; on
// its first frame the result music.
void result_frame(DisplayContext& c);
// Phase B's end: on to the jackpot or to the closing.
void end_result(DisplayContext& c);
// A tick of a presentation that flashes: phase A after the flash and the
// redraw of the left and middle reels, or phase B.
void run(DisplayContext& c, void (*phase_a)(DisplayContext&), void (*phase_b)(DisplayContext&));
// nearest(product / divisor + offset), the product taken in 16 bits.
Int16 at(int product, double divisor, double offset);
// On ticks that are multiples of 10 the walking cell changes.
bool toggle_tick(const DisplayContext& c);

} // namespace frame
} // namespace popchan
