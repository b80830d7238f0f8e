// The reach presentations that take over the right reel between
// mark_present and mark_atari.
#pragma once

namespace popchan {

struct DisplayContext;

// Calls the presentation of the spin's reach kind for this tick.
void present_reach(DisplayContext& c);

} // namespace popchan
