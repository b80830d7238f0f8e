#include "presentations/creep.h"

#include "presentations/presentations.h"

namespace popchan {

CreepRow creep_reel(DisplayContext& c, int d, bool second_variant, int marker) {
    SpinState& s = c.s;
    if (d < 100) {
        c.move(2, 6);
        return CreepRow::Enter;
    }
    if (d < 200) {
        c.move(2, 6);
        return CreepRow::Approach;
    }
    if (d < 300) {
        if (!second_variant) {
            c.move(2, 6);
            frame::stop_check(c);
            return CreepRow::Creep;
        }
        if (s.egara_step[2] == marker) {
            c.move(2, 6);
            if (c.reaches(2, "slow")) s.egara_step[2] = 2;
            return CreepRow::BackOff;
        }
        c.move(2, 0);
        return CreepRow::Halt;
    }
    if (d < 400) {
        c.move(2, 24);
        return CreepRow::Race;
    }
    if (d < 500) {
        c.move(2, 24);
        frame::stop_check(c);
        return CreepRow::FinalRace;
    }
    return CreepRow::Over;
}

} // namespace popchan
