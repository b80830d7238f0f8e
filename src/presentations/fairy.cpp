// The Fairy reach (kinds 8, 9, 10): a fairy flies in; the right reel races
// and snaps to a halt on a random symbol that is never the reach symbol, one,
// two or three times in all counting the final halt on its own symbol.
#include "display/spin_sequence.h"
#include "presentations/presentations.h"

namespace popchan {

namespace {

constexpr int kSheet = 2;

// The reel is placed at once on symbol e and drawn there.
void snap(DisplayContext& c, int e) {
    c.s.egara_top[2] = *c.d.Egara_Top("stop", e);
    c.move(2, 0);
}

// A halt that looks like neither a jackpot nor a decided miss.
int false_symbol(DisplayContext& c) {
    int e = c.draw(14);
    if (e == c.s.egara_target[0]) e = e - 1 < 0 ? 13 : e - 1;
    return e;
}

void hover(DisplayContext& c) {
    const int y = c.draw(2);
    c.d.draw_pat(kSheet, 0, 1, 35, y);
}
void halt_pose(DisplayContext& c) {
    c.d.draw_pat(kSheet, 1, 1, 35, 0);
}

// Flight: cells 0 and 2 by turns.
void flight(DisplayContext& c, int x) {
    SpinState& s = c.s;
    if (frame::toggle_tick(c)) s.egara_step[2] = s.egara_step[2] == 0 ? 2 : 0;
    const int y = c.draw(2);
    c.d.draw_pat(kSheet, s.egara_step[2], 1, x, y);
}

// The d at which this kind's final halt comes: 400, 500 or 600.
int final_halt(const SpinState& s) {
    return 100 * (s.reach_kind - 4);
}

void halt(DisplayContext& c, int d, int start) {
    if (start == final_halt(c.s)) {
        snap(c, c.s.egara_target[2]);
        halt_pose(c);
        c.s.spin_tick = c.s.mark_result;
        return;
    }
    if (d == start)
        snap(c, false_symbol(c));
    else
        c.move(2, 0);
    halt_pose(c);
}

void phase_a(DisplayContext& c) {
    const int d = frame::d(c);
    if (d < 200) {
        c.move(2, 6);
        return flight(c, frame::at(94 * d, 200, -64));
    }
    if (d >= 620) return;
    const int start = d / 100 * 100; // rows of 100: racing, then a halt from x00 to x19
    if (d < 300) {
        c.move(2, 24);
        return hover(c);
    }
    if (d - start < 20) return halt(c, d, start);
    if (d == 420) c.bgm.Bgm_Control("reach.mid", 1);
    c.move(2, 24);
    hover(c);
}

void phase_b(DisplayContext& c) {
    const int e = frame::e(c);
    frame::result_frame(c);
    if (e == 1) return;
    if (e < 50) return halt_pose(c);
    flight(c, frame::at(112 * (e - 50), 100, 35)); // flying off to the right
    if (e >= 99) frame::end_result(c);
}

} // namespace

void Reach_Fairy(DisplayContext& c) {
    frame::run(c, phase_a, phase_b);
}

} // namespace popchan
