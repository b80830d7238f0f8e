#include "display/spin_sequence.h"

#include "machine/rules.h"

namespace popchan {

Int16 final_symbol(const SpinState& s) {
    if (s.shoukaku_egara == 0) return s.atari_egara;
    return s.shoukaku_egara == 14 ? Int16(0) : s.shoukaku_egara;
}

namespace {

// The symbol after e, 13 wrapping to 0.
int next_symbol(int e) {
    return e + 1 > 13 ? 0 : e + 1;
}

bool closes_with_character(const SpinState& s) {
    return s.atari_flag == 1 && KakuhenHantei(final_symbol(s)) == 1;
}

// Symbols shown at rest: a loss never shows a false reach or jackpot.
void choose_symbols(DisplayContext& c) {
    SpinState& s = c.s;
    auto& t = s.egara_target;
    if (s.reach_kind <= 0) {
        t[0] = c.draw(14);
        t[1] = c.draw(14);
        if (t[1] == t[0]) t[1] = next_symbol(t[0]);
        t[2] = c.draw(14);
    } else if (s.atari_flag == 1) {
        t = {s.atari_egara, s.atari_egara, s.atari_egara};
    } else {
        t[0] = c.draw(14);
        t[1] = t[0];
        t[2] = c.draw(14);
        if (t[2] == t[0]) t[2] = next_symbol(t[0]);
    }
}

void set_marks(SpinState& s) {
    const int left = s.kakuhen_flag != 0 ? 60 : 100;
    const bool reach = s.reach_kind > 0;
    s.mark_left = left;
    s.mark_middle = left + 100;
    s.mark_right = left + 1100;
    s.mark_right_slow = left + 1200;
    s.mark_present = left + 1300;
    s.mark_result = left + (reach ? 2300 : 1400);
    s.mark_atari = left + (reach ? 2600 : 1400);
    s.mark_fanfare = left + (reach ? 2900 : 1400);
    s.mark_close = left + (reach ? 3200 : 1400);
    s.mark_end = s.mark_close + (closes_with_character(s) ? 200 : 50);
}

void start(DisplayContext& c) {
    c.state_background();
    c.bgm.Bgm_Control("kaiten.mid", 1);
    choose_symbols(c);
    c.move_all(6);
    set_marks(c.s);
}

// Full speed, with the notice character running across near its end.
void full_speed(DisplayContext& c) {
    SpinState& s = c.s;
    c.move_all(24);
    if (s.yokoku_chara == 1 && s.spin_tick > s.mark_left - 50) {
        const Int16 x = nearest(Int16((s.spin_tick - s.mark_left + 50) * 120) / 50.0 - 20);
        const int y = c.draw(2) + 17;
        const Surface& sheet = c.d.pictures.pat[4];
        c.d.draw_masked(sheet, 0, 72, sheet, 0, 0, x, y, 48, 54, 64, 72);
    }
}

// Reel r runs at `fast` until it meets its slow-down point, then at 6 until it
// rests on its symbol, when the sequence moves on to `next`.
void stop_reel(DisplayContext& c, int r, int fast, std::string_view slow_point, Int16 next) {
    SpinState& s = c.s;
    if (s.egara_step[r] == 0) {
        c.move(r, fast);
        if (c.reaches(r, slow_point)) s.egara_step[r] = 1;
    } else {
        c.move(r, 6);
        if (c.reaches(r, "stop")) {
            s.egara_step[r] = 2;
            s.spin_tick = next;
        }
    }
}

void left_stops(DisplayContext& c) {
    SpinState& s = c.s;
    if (s.reach_kind == 11) s.spin_tick = s.mark_present; // the angel takes over all reels
    stop_reel(c, 0, 12, "slow", s.mark_middle);
    c.move(1, 24);
    c.move(2, 24);
}

void middle_stops(DisplayContext& c) {
    SpinState& s = c.s;
    stop_reel(c, 1, 24, s.suberi_flag != 0 ? "suberi" : "slow", s.mark_right);
    c.move(0, 0);
    c.move(2, 24);
}

void right_slows(DisplayContext& c, int t) {
    SpinState& s = c.s;
    if (t == s.mark_right + 1 && s.reach_kind > 0) c.bgm.Bgm_Control("reach.mid", 1);
    if (s.egara_step[2] != 0) {
        c.move(2, 6);
    } else {
        c.move(2, 12);
        if (c.reaches(2, "slow")) {
            s.egara_step[2] = 1;
            if (s.reach_kind == 0) s.spin_tick = s.mark_right_slow;
        }
    }
    c.move(0, 0);
    c.move(1, 0);
}

void final_approach(DisplayContext& c) {
    SpinState& s = c.s;
    if (s.reach_kind >= 2) {
        // The display flashes every other tick while the reel creeps on.
        if (s.egara_top[2] % 12 == 0)
            c.d.set_back_color(c.d.back_color() == kBackNormal ? kBackKakuhen : kBackNormal);
        c.move(2, 6);
    } else {
        c.move(2, 6);
        if (c.reaches(2, "stop")) {
            if (s.reach_kind == 0) {
                c.bgm.Bgm_Control("stop", 2);
                s.spin_tick = s.mark_close;
            } else {
                s.spin_tick = s.atari_flag == 1 ? s.mark_atari : s.mark_close;
            }
        }
    }
    c.move(0, 0);
    c.move(1, 0);
}

void result_and_promotion(DisplayContext& c) {
    SpinState& s = c.s;
    c.state_background();
    const int t = s.spin_tick;
    if (t < s.mark_atari + 50) {
        c.move_all(0);
    } else if (s.shoukaku_egara != 0) {
        if (t < s.mark_atari + 100) {
            if (t == s.mark_atari + 50) c.bgm.Bgm_Control("chusen.mid", 1);
            c.move_all(24);
            c.d.draw_pat(5, 0, 1, 26, 16);
        } else {
            for (int r = 0; r < 3; ++r)
                c.put_on(r, final_symbol(s));
            if (t == s.mark_atari + 150) {
                c.bgm.Bgm_Control("stop", 2);
                s.spin_tick = s.mark_fanfare;
            }
        }
    } else {
        s.spin_tick = s.mark_fanfare;
        c.move_all(0);
    }
}

// Fanfare frames by ticks since mark_fanfare: the first four a quarter
// second each, the last half a second.
int fanfare_frame(int since) {
    if (since < 25) return 0;
    if (since < 50) return 1;
    if (since < 75) return 2;
    if (since < 100) return 3;
    return 4;
}

void fanfare(DisplayContext& c, int t) {
    SpinState& s = c.s;
    const int since = t - s.mark_fanfare;
    if (since == 1) c.bgm.Bgm_Control("atari.mid", 1);
    const Pictures& p = c.d.pictures;
    c.d.draw_masked(p.patbox[5], 0, 0, p.patbox[fanfare_frame(since)], 0, 0, 0, 0, kDigiW, kDigiH,
                    kDigiW, kDigiH);
    if (since == 149) s.spin_tick = s.mark_close;
}

void closing(DisplayContext& c, int t) {
    SpinState& s = c.s;
    c.move_all(0);
    if (closes_with_character(s)) {
        if (t % 20 == 0) {
            s.egara_step[2] += 1;
            if (s.egara_step[2] > 3) s.egara_step[2] = 0;
        }
        // A frame left over from a presentation beyond the sheet shows as frame 0.
        const int frame = s.egara_step[2] >= 0 && s.egara_step[2] <= 3 ? int(s.egara_step[2]) : 0;
        c.d.draw_pat(9, frame, 1, nearest(Int16((t - s.mark_close) * 50) / 100.0), 16);
    }
    c.state_background();
}

void end(DisplayContext& c) {
    SpinState& s = c.s;
    c.bgm.Bgm_Control("stop", 2);
    c.move_all(0);
    s.spin_tick = 0;
    s.egara_step = {};
    s.spin_phase = 2;
}

void phase_work(DisplayContext& c, int t) {
    const SpinState& s = c.s;
    if (t == 1)
        start(c);
    else if (t <= 19)
        c.move_all(6);
    else if (t <= 29)
        c.move_all(12);
    else if (t == 30)
        for (int r = 0; r < 3; ++r)
            c.put_on(r, c.draw(14));
    else if (t < s.mark_left)
        full_speed(c);
    else if (t < s.mark_middle)
        left_stops(c);
    else if (t < s.mark_right)
        middle_stops(c);
    else if (t < s.mark_right_slow)
        right_slows(c, t);
    else if (t < s.mark_present)
        final_approach(c);
    else if (t < s.mark_atari)
        c.present(c);
    else if (t < s.mark_fanfare)
        result_and_promotion(c);
    else if (t < s.mark_close)
        fanfare(c, t);
    else if (t < s.mark_end)
        closing(c, t);
    else
        end(c);
}

} // namespace

int notice_band_y(const SpinState& s, int w) {
    const bool three = s.yokoku_level == 3;
    if (w < s.mark_right) return 120;
    if (w < s.mark_right + 50) return 85;
    if (w < s.mark_right_slow) return 80;
    if (w < s.mark_present) return 75;
    if (w < s.mark_present + 50) return three ? 70 : 80;
    if (w < s.mark_present + 100) return three ? 70 : 85;
    if (w < s.mark_atari) return three ? 70 : 120;
    return 120;
}

namespace {

void notice_overlays(DisplayContext& c) {
    SpinState& s = c.s;
    if (s.yokoku_level <= 0 || s.spin_tick <= s.mark_left || s.spin_tick >= s.mark_atari + 50)
        return;
    s.yokoku_scroll -= 1;
    if (s.yokoku_scroll < 0) s.yokoku_scroll = 96;
    const int j = c.draw(2) + 3; // a sideways jitter
    const Surface& overlay = c.d.pictures.pat[6];
    c.d.draw_masked(overlay, j + 115, s.yokoku_scroll, overlay, j, s.yokoku_scroll, 0, 0, kDigiW,
                    kDigiH, kDigiW, kDigiH);
    if (s.yokoku_level >= 2) {
        const Surface& band = c.d.pictures.pat[8];
        c.d.draw_masked(band, 0, 30, band, 0, 0, 0, notice_band_y(s, s.spin_tick), kDigiW, 30,
                        kDigiW, 30);
    }
}

} // namespace

void display_detail::put_to_rest(DisplayContext& c) {
    SpinState& s = c.s;
    c.d.clear_work();
    for (int r = 0; r < 3; ++r)
        c.put_on(r, s.atari_flag == 1 ? final_symbol(s) : s.egara_target[r]);
    c.state_background();
    c.d.present();
}

void display_detail::shown_tick(DisplayContext& c) {
    SpinState& s = c.s;
    c.d.clear_work();
    s.spin_tick += 1;
    phase_work(c, s.spin_tick);
    notice_overlays(c);
    c.d.present();
}

} // namespace popchan
