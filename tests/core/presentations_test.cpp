#include <gtest/gtest.h>

#include <algorithm>

#include "core/display_rig.h"
#include "display/spin_sequence.h"
#include "presentations/presentations.h"

using namespace popchan;
using namespace popchan::testing;

namespace {

// A spin handed to its presentation at mark_present, as the sequence leaves it.
struct Handover {
    MachineRandom rng;
    DisplayRig rig{rng};
    Digi& d = rig.d;
    SpinState& s = rig.s;
    RecordingMedia& media = rig.media;
    DisplayContext& c = rig.c;

    int phase_a_end = -1; // d at which phase A ended
    int phase_b_end = -1; // e at which phase B ended
    int ended_on = 0;     // mark_atari or mark_close

    Handover(int kind, bool jackpot, int R, int right_offset, std::uint64_t seed)
        : rng(seed, false) {
        d.set_drawing(false);
        s.reach_kind = kind;
        s.atari_flag = jackpot;
        s.atari_egara = R;
        s.mark_left = 100, s.mark_middle = 200, s.mark_right = 1200, s.mark_right_slow = 1300,
        s.mark_present = 1400, s.mark_result = 2400, s.mark_atari = 2700, s.mark_fanfare = 3000,
        s.mark_close = 3300, s.mark_end = 3350;
        const int miss_right = (R + 5) % 14;
        s.egara_target = {R, R, jackpot ? R : miss_right};
        s.egara_top = {stop_of(R), stop_of(R), Int16(right_offset)};
        s.egara_step = {2, 2, 1};
        if (kind == 11) s.egara_top = {Int16(right_offset), Int16(24), Int16(48)};
        s.spin_tick = s.mark_present - (kind == 11 ? 0 : 1);
        s.spin_phase = 1;
    }

    // Runs the presentation to its hand-back.
    void run() {
        for (int guard = 0; guard < 3000; ++guard) {
            const int before = s.spin_tick + 1;
            Timer2_Timer(c);
            if (s.spin_tick == s.mark_result && before < s.mark_result)
                phase_a_end = before - s.mark_present;
            if (s.spin_tick == s.mark_atari || s.spin_tick == s.mark_close) {
                phase_b_end = before - s.mark_result;
                ended_on = s.spin_tick;
                return;
            }
        }
    }
    std::vector<std::string> music() const { return rig.music(); }
};

struct Expect {
    int kind;
    int a_from, a_to; // window of phase A's end, inclusive
    int b_jackpot, b_miss;
};

constexpr Expect kExpect[] = {
    {2, 200, 499, 100, 199}, {3, 300, 499, 100, 199}, {4, 200, 499, 50, 99}, {5, 300, 499, 50, 99},
    {6, 200, 899, 151, 151}, {7, 300, 899, 151, 151}, {8, 400, 400, 99, 99}, {9, 500, 500, 99, 99},
    {10, 600, 600, 99, 99},  {11, 700, 999, 100, 0},
};

} // namespace

TEST(Presentations, EveryKindSymbolAndOffsetEndsWhereItMust) {
    int cases = 0;
    for (const Expect& x : kExpect)
        for (bool jackpot : {true, false}) {
            if (x.kind == 11 && !jackpot) continue; // the angel never misses
            for (int R = 0; R < 14; ++R)
                for (int offset = 6; offset <= 672; offset += 6 * 7) {
                    Handover h(x.kind, jackpot, R, offset, 1000 * R + offset);
                    h.run();
                    ++cases;
                    const std::string what =
                        "kind " + std::to_string(x.kind) + (jackpot ? " jackpot" : " miss") +
                        " R " + std::to_string(R) + " offset " + std::to_string(offset);
                    ASSERT_GE(h.phase_a_end, x.a_from) << what;
                    ASSERT_LE(h.phase_a_end, x.a_to) << what;
                    ASSERT_EQ(h.phase_b_end, jackpot ? x.b_jackpot : x.b_miss) << what;
                    ASSERT_EQ(h.ended_on, jackpot ? h.s.mark_atari : h.s.mark_close) << what;
                    // The right reel rests on the final symbol; the Nekomimi reach
                    // ends a miss one past the reach symbol.
                    const auto& top = h.s.egara_top;
                    const bool nekomimi = x.kind == 6 || x.kind == 7;
                    const int right = jackpot    ? R
                                      : nekomimi ? (R + 1) % 14
                                                 : int(h.s.egara_target[2]);
                    ASSERT_TRUE(shows(top[2], right)) << what;
                    ASSERT_TRUE(shows(top[0], R) && shows(top[1], R)) << what;
                    if (!jackpot) {
                        ASSERT_FALSE(shows(top[2], R)) << what << ": a miss showing a jackpot";
                    }
                }
        }
    EXPECT_GT(cases, 2500);
}

TEST(Presentations, ResultMusicAndTheFairysSecondReach) {
    for (const Expect& x : kExpect)
        for (bool jackpot : {true, false}) {
            if (x.kind == 11 && !jackpot) continue;
            Handover h(x.kind, jackpot, 5, 300, 3);
            h.run();
            std::vector<std::string> expected;
            if (x.kind == 11) expected.push_back("zenkai.mid");
            if (x.kind >= 9 && x.kind <= 10) expected.push_back("reach.mid"); // again at d = 420
            expected.push_back(jackpot ? "teishi.mid" : "hazure.mid");
            EXPECT_EQ(h.music(), expected) << x.kind << (jackpot ? " jackpot" : " miss");
        }
}

TEST(Presentations, TumbleKind3BacksOffFirst) {
    Handover h(3, false, 4, 600, 1);
    while (h.s.spin_tick < h.s.mark_present + 199)
        Timer2_Timer(h.c);
    EXPECT_EQ(h.s.egara_step[2], 4); // ten changes of the walking cell from 1
    while (h.s.spin_tick < h.s.mark_present + 299)
        Timer2_Timer(h.c);
    EXPECT_EQ(h.s.egara_step[2], 2); // it met the point two symbols short
    EXPECT_TRUE(h.s.egara_top[2] == *h.d.Egara_Top("slow", h.s.egara_target[2]));
}

TEST(Presentations, NekomimiPullsSymbol12BackPast672) {
    Handover h(7, true, 12, 300, 9);
    bool seen_696 = false;
    while (h.s.spin_tick < h.s.mark_result && h.s.spin_tick >= h.s.mark_present - 1) {
        Timer2_Timer(h.c);
        seen_696 |= h.s.egara_top[2] == 696;
        ASSERT_LE(h.s.egara_top[2], 696);
    }
    EXPECT_TRUE(seen_696);
    EXPECT_EQ(h.s.egara_top[2], 696); // rests on 12 at 696 after the third pull
}

TEST(Presentations, FairyNeverHaltsFalselyOnTheReachSymbol) {
    // The reach symbol 0: a random 0 becomes 13.
    for (std::uint64_t seed = 0; seed < 40; ++seed) {
        Handover h(10, false, 0, 300, seed);
        while (h.s.spin_tick < h.s.mark_result) {
            Timer2_Timer(h.c);
            const int d = h.s.spin_tick - h.s.mark_present;
            if ((d >= 300 && d < 320) || (d >= 400 && d < 420) || (d >= 500 && d < 520)) {
                ASSERT_FALSE(shows(h.s.egara_top[2], 0)) << "seed " << seed << " d " << d;
            }
        }
    }
}

TEST(Presentations, AngelPutsTheReelsInLineAtOnce) {
    Handover h(11, true, 9, 120, 4);
    Timer2_Timer(h.c); // d = 1
    EXPECT_EQ(h.s.egara_top[0], h.s.egara_top[1]);
    EXPECT_EQ(h.s.egara_top[1], h.s.egara_top[2]);
    EXPECT_EQ(h.s.egara_step[2], 0);
    EXPECT_EQ(h.music(), std::vector<std::string>{"zenkai.mid"});
    while (h.s.spin_tick < h.s.mark_result) {
        Timer2_Timer(h.c);
        ASSERT_EQ(h.s.egara_top[0], h.s.egara_top[2]);
    }
    EXPECT_EQ(h.s.egara_step[2], 2);
}
