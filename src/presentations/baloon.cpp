// The Balloon reach (kinds 4 and 5): a character drops in on a balloon and
// hovers with a tremble, while the right reel runs as in the Tumble reach.
#include "display/spin_sequence.h"
#include "presentations/creep.h"
#include "presentations/presentations.h"

namespace popchan {

namespace {

constexpr int kSheet = 1;

void sprite(DisplayContext& c, int cell, int x, int y) {
    c.d.draw_pat(kSheet, cell, 1, x, y);
}

// Fresh random numbers on every frame: x 14..18, y 0..4.
void trembling(DisplayContext& c) {
    const int x = 14 + c.draw(5);
    const int y = c.draw(5);
    sprite(c, 1, x, y);
}

void phase_a(DisplayContext& c) {
    const int d = frame::d(c);
    // The frame leaves egara_step[2] at 1, which here means "still creeping".
    const CreepRow row = creep_reel(c, d, c.s.reach_kind == 5, 1);
    if (row == CreepRow::Over) return;
    if (row == CreepRow::Enter) {
        const int x = 14 + c.draw(5);
        return sprite(c, 0, x, frame::at(72 * d, 100, -72)); // sinking in from above
    }
    trembling(c);
}

void phase_b(DisplayContext& c) {
    const int e = frame::e(c);
    const bool jackpot = c.s.atari_flag == 1;
    frame::result_frame(c);
    if (e == 1) return; // nothing drawn on the first frame
    if (e < 50) return sprite(c, jackpot ? 2 : 3, 18, 20);
    if (jackpot) {
        frame::end_result(c);
        return sprite(c, 2, 18, 20);
    }
    if (e >= 99) frame::end_result(c);
    sprite(c, 4, 18, 20);
}

} // namespace

void Reach_Baloon(DisplayContext& c) {
    frame::run(c, phase_a, phase_b);
}

} // namespace popchan
