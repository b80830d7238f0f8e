// The Tumble reach (kinds 2 and 3): a character walks in and pushes the right
// reel on; kind 3 first backs off and lets the reel halt two symbols short.
#include "display/spin_sequence.h"
#include "presentations/creep.h"
#include "presentations/presentations.h"

namespace popchan {

namespace {

constexpr int kSheet = 0, kY = 24;

// The walking cell alternates 0 and 4.
void toggle(SpinState& s) {
    s.egara_step[2] = s.egara_step[2] != 0 ? 0 : 4;
}

void sprite(DisplayContext& c, int cell, int x) {
    c.d.draw_pat(kSheet, cell, 1, x, kY);
}

void phase_a(DisplayContext& c) {
    SpinState& s = c.s;
    const int d = frame::d(c);
    // Kind 3 enters its creeping row with the walking cell at 4 (ten changes from 1).
    const CreepRow row = creep_reel(c, d, s.reach_kind == 3, 4);
    switch (row) {
    case CreepRow::Enter:
        if (frame::toggle_tick(c)) toggle(s);
        return sprite(c, s.egara_step[2], frame::at(74 * d, 100, -64));
    case CreepRow::Approach:
        return sprite(c, 1, frame::at(20 * (d - 100), 100, 10));
    case CreepRow::Creep:
        return sprite(c, 1, frame::at(10 * (d - 200), 100, 30));
    case CreepRow::BackOff:
        return sprite(c, 0, nearest(30 - Int16(10 * (d - 200)) / 100.0));
    case CreepRow::Halt:
        return sprite(c, 0, 30);
    case CreepRow::Race:
        return sprite(c, 1, 30);
    case CreepRow::FinalRace:
        return sprite(c, 1, 35);
    case CreepRow::Over:
        return;
    }
}

void phase_b(DisplayContext& c) {
    SpinState& s = c.s;
    const int e = frame::e(c);
    frame::result_frame(c);
    if (e == 1) s.egara_step[2] = 0;
    if (s.atari_flag == 1) {
        if (e < 100) {
            // The character walks off to the right.
            if (frame::toggle_tick(c)) toggle(s);
            sprite(c, s.egara_step[2], frame::at(80 * e, 100, 40));
        } else {
            frame::end_result(c);
        }
        return;
    }
    sprite(c, e < 100 ? 2 : 3, 24);
    if (e >= 199) frame::end_result(c);
}

} // namespace

void Reach_Tumble(DisplayContext& c) {
    frame::run(c, phase_a, phase_b);
}

} // namespace popchan
