#include "presentations/presentations.h"

#include "display/spin_sequence.h"

namespace popchan {

void present_reach(DisplayContext& c) {
    SpinState& s = c.s;
    if (s.reach_kind < 2 || s.reach_kind > 11) return;
    // Every reel comes to rest on its symbol and the spin goes on to its result.
    for (int r = 0; r < 3; ++r) c.put_on(r, s.egara_target[r]);
    s.spin_tick = s.atari_flag == 1 ? s.mark_atari : s.mark_close;
}

} // namespace popchan
