// The Nekomimi reach (kinds 6 and 7): a cat-eared girl walks in and tugs the
// right reel back and forth around the reach symbol. The only presentation
// that rewrites the right reel's final symbol, always keeping the outcome.
#include "display/spin_sequence.h"
#include "presentations/presentations.h"

namespace popchan {

namespace {

constexpr int kSheet = 7, kY = 5;

int wrap(int e) {
    return (e % 14 + 14) % 14;
}

void sprite(DisplayContext& c, int cell, int x) {
    c.d.draw_pat(kSheet, cell, 1, x, kY);
}

// Cells 0/1 while walking in, 2/3 while tugging.
void toggle(SpinState& s, bool walking) {
    if (walking)
        s.egara_step[2] = s.egara_step[2] == 0 ? 1 : 0;
    else
        s.egara_step[2] = s.egara_step[2] == 2 ? 3 : 2;
}

void jump(DisplayContext& c, int d) {
    c.s.spin_tick = c.s.mark_present + d;
}

// Resting on symbol e, counting a reel pulled back past 672 (e = 12 rests at
// 24, which the reel passes at 696 when moving backwards).
bool at_rest_on(DisplayContext& c, int e) {
    const int top = c.s.egara_top[2];
    return top == *c.d.Egara_Top("stop", e) || (e == 12 && top == 696);
}
bool at_stop(DisplayContext& c, int e) {
    return c.s.egara_top[2] == *c.d.Egara_Top("stop", e);
}

void result(DisplayContext& c) {
    c.s.spin_tick = c.s.mark_result;
}

// Rows from d = 300: the test comes straight after the move.
void tug_test(DisplayContext& c, int d) {
    SpinState& s = c.s;
    const int R = s.egara_target[1];
    const bool jackpot = s.atari_flag == 1;
    if (d < 400) {
        if (s.reach_kind == 6 && jackpot) {
            if (at_stop(c, R)) result(c);
            return;
        }
        if (d == 301) s.egara_target[2] = wrap(R + 1);
        if (at_stop(c, s.egara_target[2])) s.reach_kind == 6 ? result(c) : jump(c, 400);
    } else if (d < 500) {
        if (at_rest_on(c, R)) jump(c, 500);
    } else if (d < 600) {
        if (at_stop(c, wrap(R + 1))) {
            // A miss ends here one time in two.
            const int u = c.draw(2);
            jackpot || u == 0 ? jump(c, 600) : result(c);
        }
    } else if (d < 700) {
        if (at_rest_on(c, R)) jump(c, 700);
    } else if (d < 800) {
        if (at_stop(c, wrap(R + 1))) jackpot ? jump(c, 800) : result(c);
    } else {
        if (at_rest_on(c, R)) result(c);
    }
}

int step_of(const SpinState& s, int d) {
    if (d < 300) return 6;
    if (d < 400) return s.reach_kind == 6 && s.atari_flag == 1 ? 2 : 3;
    const bool backwards = (d >= 400 && d < 500) || (d >= 600 && d < 700) || d >= 800;
    return backwards ? -1 : 3;
}

void phase_a(DisplayContext& c) {
    SpinState& s = c.s;
    const int d = frame::d(c);
    if (d >= 900) return;
    c.move(2, step_of(s, d));
    const bool walking = d < 130;
    if (d < 300) {
        if (frame::toggle_tick(c)) toggle(s, walking);
        sprite(c, s.egara_step[2], walking ? int(frame::at(74 * d, 100, -64)) : 30);
        if (d >= 200) {
            // Stop two symbols short of the reach symbol first.
            if (d == 200) s.egara_target[2] = wrap(s.egara_target[1] - 2);
            if (at_stop(c, s.egara_target[2])) jump(c, 300);
        }
        return;
    }
    tug_test(c, d);
    if (frame::toggle_tick(c)) toggle(s, false);
    sprite(c, s.egara_step[2], 30);
}

void phase_b(DisplayContext& c) {
    SpinState& s = c.s;
    const int e = frame::e(c);
    frame::result_frame(c);
    if (frame::toggle_tick(c)) toggle(s, true);
    if (e < 50)
        sprite(c, s.egara_step[2], 32);
    else
        sprite(c, s.egara_step[2], frame::at(74 * (e - 50), 100, 32)); // walking off
    if (s.spin_tick > s.mark_result + 150) frame::end_result(c);
}

} // namespace

void Reach_Nekomimi(DisplayContext& c) {
    frame::run(c, phase_a, phase_b);
}

} // namespace popchan
