// The Angel reach (kind 11, jackpots only): all three reels in line spin
// together while an angel crosses, then slow down together and stop at once
// on the jackpot symbol.
#include "display/spin_sequence.h"
#include "presentations/presentations.h"

namespace popchan {

namespace {

constexpr int kSheet = 3, kY = 16;

// Cells 0..3 in a cycle, one step every 20 ticks.
void cycling(DisplayContext& c, int x) {
    SpinState& s = c.s;
    if (s.spin_tick % 20 == 0) {
        s.egara_step[2] += 1;
        if (s.egara_step[2] > 3) s.egara_step[2] = 0;
    }
    c.d.draw_pat(kSheet, s.egara_step[2], 1, x, kY);
}

void phase_a(DisplayContext& c) {
    SpinState& s = c.s;
    const int d = frame::d(c);
    if (d < 1 || d >= 1000) return;
    if (d == 1) {
        c.bgm.Bgm_Control("zenkai.mid", 1);
        s.egara_step[2] = 0;
        s.egara_top[1] = s.egara_top[0]; // from here the three reels run in line
        s.egara_top[2] = s.egara_top[0];
    }
    c.move_all(d < 700 ? 6 : 3);
    if (d >= 700) {
        if (c.reaches(2, "stop")) {
            s.egara_step[2] = 2;
            s.spin_tick = s.mark_result;
        }
        return;
    }
    if (d == 1 || d >= 500) return;
    if (d < 100)
        cycling(c, frame::at(64 * d, 100, -40));
    else if (d <= 400)
        cycling(c, 26);
    else
        cycling(c, frame::at(64 * (d - 400), 100, 26)); // leaving to the right
}

void phase_b(DisplayContext& c) {
    frame::result_frame(c);
    cycling(c, 26);
    if (frame::e(c) >= 100) frame::end_result(c);
}

} // namespace

void Reach_Angel(DisplayContext& c) {
    if (frame::in_phase_a(c))
        phase_a(c);
    else
        phase_b(c);
}

} // namespace popchan
