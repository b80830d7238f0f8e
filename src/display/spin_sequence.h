// The display of one spin, tick by tick: spin-up, full speed, the stops, the
// reach, the promotion, the fanfare and the closing.
#pragma once

#include "common/bgm.h"
#include "common/random.h"
#include "display/digi.h"
#include "machine/spin_state.h"

namespace popchan {

// What the display sequence and the reach presentations act on.
struct DisplayContext {
    SpinState& s;
    Digi& d;
    Random& rng;
    Bgm& bgm;
    // The reach presentations take over between mark_present and mark_atari;
    // the display reaches them only through this entry.
    void (*present)(DisplayContext&) = nullptr;

    // Reel r moves `step` pixels (0 redraws it in place).
    void move(int r, int step) { d.Egara_Move(s.egara_top, r, s.egara_top[r], step); }
    void move_all(int step) {
        for (int r = 0; r < 3; ++r)
            move(r, step);
    }
    // Reel r jumps to the resting position of symbol e.
    void put_on(int r, int e) { d.Egara_Move(s.egara_top, r, *d.Egara_Top("stop", e), 0); }
    // Whether reel r stands at the point of its target symbol in `mode`.
    bool reaches(int r, std::string_view mode) {
        const auto point = d.Egara_Top(mode, s.egara_target[r]);
        return point && *point == s.egara_top[r];
    }
    // Light cyan, or pink in the probability-up state.
    void state_background() { d.set_back_color(s.kakuhen_flag != 0 ? kBackKakuhen : kBackNormal); }
    // Int(Rnd × n).
    int draw(int n) { return rnd_below(rng, n); }
};

// The final symbol of a jackpot: the promotion symbol if any (14 is 0).
Int16 final_symbol(const SpinState& s);

// Height of the notice band at tick w for levels 2 and 3 (120 is below the
// display).
int notice_band_y(const SpinState& s, int w);

namespace display_detail {
// A spin hidden while it was being shown is put to rest first, so the next
// shown spin starts from its first tick over reels standing on their symbols.
void put_to_rest(DisplayContext& c);
// A tick of a spin being shown.
void shown_tick(DisplayContext& c);
} // namespace display_detail

// One tick of Timer2: acts only while spin_phase is 1 and hands over with 2.
// A spin not shown goes straight to the accounting. Inline: the batch tool
// hides hundreds of millions of spins.
inline void Timer2_Timer(DisplayContext& c) {
    SpinState& s = c.s;
    if (s.spin_phase != 1) return;
    if (s.digi_mode == kDigiHideAll || (s.digi_mode == kDigiReachesOnly && s.reach_kind == 0) ||
        (s.digi_mode == kDigiJackpotsOnly && s.atari_flag != 1)) {
        if (s.spin_tick != 0) [[unlikely]]
            display_detail::put_to_rest(c);
        s.spin_tick = 0;
        s.egara_step = {};
        s.spin_phase = 2;
        return;
    }
    display_detail::shown_tick(c);
}

} // namespace popchan
