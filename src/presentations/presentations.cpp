#include "presentations/presentations.h"

#include "display/spin_sequence.h"

namespace popchan {

void present_reach(DisplayContext& c) {
    switch (c.s.reach_kind) {
    case 2:
    case 3:
        return Reach_Tumble(c);
    case 4:
    case 5:
        return Reach_Baloon(c);
    case 6:
    case 7:
        return Reach_Nekomimi(c);
    case 8:
    case 9:
    case 10:
        return Reach_Fairy(c);
    case 11:
        return Reach_Angel(c);
    default:
        return; // no reach, or the plain one: nothing to present
    }
}

namespace frame {

bool in_phase_a(const DisplayContext& c) {
    return c.s.spin_tick < c.s.mark_result;
}
int d(const DisplayContext& c) {
    return c.s.spin_tick - c.s.mark_present;
}
int e(const DisplayContext& c) {
    return c.s.spin_tick - c.s.mark_result;
}

void flash_and_redraw(DisplayContext& c) {
    if (c.s.egara_top[2] % 12 == 0)
        c.d.set_back_color(c.d.back_color() == kBackNormal ? kBackKakuhen : kBackNormal);
    c.move(0, 0);
    c.move(1, 0);
}

bool stop_check(DisplayContext& c) {
    if (!c.reaches(2, "stop")) return false;
    c.s.spin_tick = c.s.mark_result;
    return true;
}

void result_frame(DisplayContext& c) {
    c.state_background();
    c.move_all(0);
    if (e(c) == 1) c.bgm.Bgm_Control(c.s.atari_flag == 1 ? "teishi.mid" : "hazure.mid", 1);
}

void end_result(DisplayContext& c) {
    c.s.spin_tick = c.s.atari_flag == 1 ? c.s.mark_atari : c.s.mark_close;
}

void run(DisplayContext& c, void (*phase_a)(DisplayContext&), void (*phase_b)(DisplayContext&)) {
    if (in_phase_a(c)) {
        flash_and_redraw(c);
        phase_a(c);
    } else {
        phase_b(c);
    }
}

Int16 at(int product, double divisor, double offset) {
    return nearest(Int16(product) / divisor + offset);
}

bool toggle_tick(const DisplayContext& c) {
    return c.s.spin_tick % 10 == 0;
}

} // namespace frame
} // namespace popchan
