#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "core/display_rig.h"
#include "display/spin_sequence.h"
#include "presentations/presentations.h"

using namespace popchan;
using namespace popchan::testing;

namespace {

// A spin handed to its presentation at mark_present, as the sequence leaves it.
struct Handover {
    MachineRandom own_rng;
    DisplayRig rig;
    Digi& d = rig.d;
    SpinState& s = rig.s;
    RecordingMedia& media = rig.media;
    DisplayContext& c = rig.c;

    int phase_a_end = -1; // d at which phase A ended
    int phase_b_end = -1; // e at which phase B ended
    int ended_on = 0;     // mark_atari or mark_close

    Handover(int kind, bool jackpot, int R, int right_offset, std::uint64_t seed)
        : Handover(kind, jackpot, R, right_offset, seed, nullptr) {}
    // The same with every draw from `rng`.
    Handover(int kind, bool jackpot, int R, int right_offset, Random& rng)
        : Handover(kind, jackpot, R, right_offset, 0, &rng) {}

  private:
    Handover(int kind, bool jackpot, int R, int right_offset, std::uint64_t seed, Random* rng)
        : own_rng(seed, false), rig(rng ? *rng : own_rng) {
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

  public:
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

// Every kind, jackpot and miss, at 16 reel offsets, for the symbols of one
// quarter (R mod 4), so that the quarters run side by side.
class PresentationQuarter : public ::testing::TestWithParam<int> {};

TEST_P(PresentationQuarter, EveryKindSymbolAndOffsetEndsWhereItMust) {
    const int quarter = GetParam();
    int cases = 0;
    for (const Expect& x : kExpect)
        for (bool jackpot : {true, false}) {
            if (x.kind == 11 && !jackpot) continue; // the angel never misses
            for (int R = quarter; R < 14; R += 4)
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
    // Ten kinds, both ways but the angel's miss: 19; symbols 0, 4, 8, 12 in
    // the first quarter, three in the last two; offsets 6, 48 … 636.
    EXPECT_EQ(cases, 19 * (quarter < 2 ? 4 : 3) * 16);
}

INSTANTIATE_TEST_SUITE_P(Symbols, PresentationQuarter, ::testing::Range(0, 4));

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

namespace {

// A presentation watched frame by frame on the display, with every random
// draw fixed at `v` and the sprite sheets painted to tell cell and place.
struct Scene {
    const char* name;
    int kind;
    bool jackpot;
    int R;      // the reach symbol
    int offset; // the right reel's offset when the presentation begins
    double v;   // every draw
};

struct Seen {
    std::optional<SpriteSeen> sprite;
    int right_top;
    std::array<int, 3> tops;
    std::array<Pixel, 3> reels; // each reel's middle row on the display
    Pixel back;                 // the background beside the reels
};

struct Watched {
    SteadyRandom rng;
    Handover h;
    std::map<int, Seen> a, b; // by frame d of phase A and frame e of phase B
    int a_end = -1, b_end = -1;

    // With `reels` the symbol strip is painted instead of the sprites, which
    // then draw nothing.
    explicit Watched(const Scene& k, bool reels = false)
        : rng(k.v), h(k.kind, k.jackpot, k.R, k.offset, static_cast<Random&>(rng)) {
        h.d.set_drawing(true);
        if (reels)
            paint_test_strip(h.d);
        else
            paint_sprite_sheets(h.d.pictures);
        SpinState& s = h.s;
        for (int guard = 0; guard < 3000; ++guard) {
            const int t = h.rig.tick();
            Seen seen{reels ? std::nullopt : sprite_on(h.d.PictureWaku), s.egara_top[2], {}, {}, 0};
            for (int r = 0; r < 3; ++r) {
                seen.tops[r] = s.egara_top[r];
                seen.reels[r] = h.d.PictureWaku.at(37 * r + 18, 48);
            }
            seen.back = h.d.PictureWaku.at(113, 0);
            if (t < s.mark_result) {
                a[t - s.mark_present] = seen;
                if (s.spin_tick == s.mark_result) a_end = t - s.mark_present;
            } else {
                b[t - s.mark_result] = seen;
            }
            if (s.spin_tick == s.mark_atari || s.spin_tick == s.mark_close) {
                b_end = t - s.mark_result;
                return;
            }
        }
    }
};

// R 4: rests at 408, its slow point at 504; a miss ends on 9 (168, slow point
// 264). Offset 258 passes 408 just before d = 200, so kind 2 and 4 race and stop
// in d 400..499; 324 brings 168 at d = 249; 420 brings 264 at d = 249 and 504
// at d = 209.
constexpr Scene kTumble2J{"tumble 2 jackpot", 2, true, 4, 258, 0.3};
constexpr Scene kTumble2M{"tumble 2 miss", 2, false, 4, 324, 0.3};
constexpr Scene kTumble3J{"tumble 3 jackpot", 3, true, 4, 420, 0.3};
constexpr Scene kTumble3M{"tumble 3 miss", 3, false, 4, 420, 0.3};
constexpr Scene kBalloon4J{"balloon 4 jackpot", 4, true, 4, 258, 0.3};
constexpr Scene kBalloon4M{"balloon 4 miss", 4, false, 4, 324, 0.3};
constexpr Scene kBalloon5J{"balloon 5 jackpot", 5, true, 4, 420, 0.3};
constexpr Scene kBalloon5M{"balloon 5 miss", 5, false, 4, 420, 0.9};
// R 3: rests at 456; R − 2 = 1 at 552, met at d = 249 from offset 36; R + 1 = 4
// at 408. A draw of 0.4 makes Int(2u) 0 (the miss goes on), 0.6 makes it 1.
constexpr Scene kNeko6J{"nekomimi 6 jackpot", 6, true, 3, 36, 0.3};
constexpr Scene kNeko6M{"nekomimi 6 miss", 6, false, 3, 36, 0.3};
constexpr Scene kNeko7J{"nekomimi 7 jackpot", 7, true, 3, 36, 0.3};
constexpr Scene kNeko7MOn{"nekomimi 7 miss going on", 7, false, 3, 36, 0.4};
constexpr Scene kNeko7MEnd{"nekomimi 7 miss ending", 7, false, 3, 36, 0.6};
// Draws of 0.3 give symbol 4 (the reach symbol, so 3 instead) and y 0; 0.7
// gives 9 and y 1; 0.02 gives 0, the reach symbol 0, so 13.
constexpr Scene kFairy8J{"fairy 8 jackpot", 8, true, 4, 300, 0.3};
constexpr Scene kFairy8M{"fairy 8 miss", 8, false, 4, 300, 0.7};
constexpr Scene kFairy9J{"fairy 9 jackpot", 9, true, 4, 300, 0.3};
constexpr Scene kFairy9M{"fairy 9 miss", 9, false, 4, 300, 0.7};
constexpr Scene kFairy10J{"fairy 10 jackpot", 10, true, 4, 300, 0.3};
constexpr Scene kFairy10M{"fairy 10 miss", 10, false, 0, 300, 0.02};
// R 7 rests at 264; from offset 456 the line stands at 294 after d = 699, ten
// steps of 3 short of it.
constexpr Scene kAngel{"angel", 11, true, 7, 456, 0.3};

// From offset 408 the reel passes R − 2 (552) on d = 199, just before the first
// stop is looked for, and runs on through d 300.
constexpr Scene kNeko6JLate{"nekomimi 6 jackpot, first stop missed", 6, true, 3, 408, 0.3};
constexpr Scene kNeko7MLate{"nekomimi 7 miss, first stop missed", 7, false, 3, 408, 0.6};

constexpr Scene kScenes[] = {
    kTumble2J, kTumble2M, kTumble3J, kTumble3M, kBalloon4J,  kBalloon4M, kBalloon5J, kBalloon5M,
    kNeko6J,   kNeko6M,   kNeko7J,   kNeko7MOn, kNeko7MEnd,  kFairy8J,   kFairy8M,   kFairy9J,
    kFairy9M,  kFairy10J, kFairy10M, kAngel,    kNeko6JLate, kNeko7MLate};

} // namespace

TEST(PresentationFrames, PhasesEndOnTheirFrames) {
    struct Row {
        Scene scene;
        int a_end, b_end;
    };
    for (const Row& r : {
             Row{kTumble2J, 414, 100},  Row{kTumble2M, 249, 199}, Row{kTumble3J, 415, 100},
             Row{kTumble3M, 415, 199},  Row{kBalloon4J, 414, 50}, Row{kBalloon4M, 249, 99},
             Row{kBalloon5J, 415, 50},  Row{kBalloon5M, 415, 99}, Row{kNeko6J, 348, 151},
             Row{kNeko6M, 348, 151},    Row{kNeko7J, 848, 151},   Row{kNeko7MOn, 716, 151},
             Row{kNeko7MEnd, 516, 151}, Row{kFairy8J, 400, 99},   Row{kFairy8M, 400, 99},
             Row{kFairy9J, 500, 99},    Row{kFairy9M, 500, 99},   Row{kFairy10J, 600, 99},
             Row{kFairy10M, 600, 99},   Row{kAngel, 709, 100},
         }) {
        Watched w(r.scene);
        EXPECT_EQ(w.a_end, r.a_end) << r.scene.name;
        EXPECT_EQ(w.b_end, r.b_end) << r.scene.name;
    }
}

TEST(PresentationFrames, SpriteCellAndPlace) {
    struct Row {
        Scene scene;
        char phase; // 'A' by d, 'B' by e
        int n;
        int cell, x, y; // cell −1: nothing shows
    };
    constexpr int none = -1;
    const Row rows[] = {
        // Tumble, sheet 0 at y 24: walks in on cells 0/4 (ten changes from 1),
        // pushes on cell 1, walks off on a jackpot, two poses on a miss.
        {kTumble2J, 'A', 5, 0, -60, 24},
        {kTumble2J, 'A', 25, 0, -46, 24}, // −45.5 to the even neighbour
        {kTumble2J, 'A', 50, 4, -27, 24},
        {kTumble2J, 'A', 99, 4, 9, 24},
        {kTumble2J, 'A', 100, 1, 10, 24},
        {kTumble2J, 'A', 125, 1, 15, 24},
        {kTumble2J, 'A', 199, 1, 30, 24},
        {kTumble2J, 'A', 225, 1, 32, 24}, // 32.5
        {kTumble2J, 'A', 299, 1, 40, 24},
        {kTumble2J, 'A', 300, 1, 30, 24},
        {kTumble2J, 'A', 399, 1, 30, 24},
        {kTumble2J, 'A', 400, 1, 35, 24},
        {kTumble2J, 'A', 414, 1, 35, 24},
        {kTumble2J, 'B', 1, 0, 41, 24},
        {kTumble2J, 'B', 10, 4, 48, 24},
        {kTumble2J, 'B', 25, 0, 60, 24},
        {kTumble2J, 'B', 74, 4, 99, 24},
        {kTumble2J, 'B', 99, none, 0, 0}, // at x 119, off the display
        {kTumble2J, 'B', 100, none, 0, 0},
        {kTumble2M, 'A', 249, 1, 35, 24},
        {kTumble2M, 'B', 1, 2, 24, 24},
        {kTumble2M, 'B', 99, 2, 24, 24},
        {kTumble2M, 'B', 100, 3, 24, 24},
        {kTumble2M, 'B', 199, 3, 24, 24},
        {kTumble3J, 'A', 205, 0, 30, 24}, // 29.5
        {kTumble3J, 'A', 209, 0, 29, 24},
        {kTumble3J, 'A', 210, 0, 30, 24},
        {kTumble3J, 'B', 1, 0, 41, 24},
        {kTumble3M, 'A', 225, 0, 28, 24}, // 27.5
        {kTumble3M, 'A', 249, 0, 25, 24},
        {kTumble3M, 'A', 250, 0, 30, 24},
        {kTumble3M, 'A', 299, 0, 30, 24},
        {kTumble3M, 'A', 300, 1, 30, 24},
        {kTumble3M, 'A', 415, 1, 35, 24},
        {kTumble3M, 'B', 150, 3, 24, 24},
        // Balloon, sheet 1: sinks in at x 14 + Int(5u), trembles at
        // (14 + Int(5u), Int(5u)); nothing on the first result frame.
        {kBalloon4J, 'A', 25, 0, 15, -54},
        {kBalloon4J, 'A', 50, 0, 15, -36},
        {kBalloon4J, 'A', 99, 0, 15, -1},
        {kBalloon4J, 'A', 100, 1, 15, 1},
        {kBalloon4J, 'A', 300, 1, 15, 1},
        {kBalloon4J, 'A', 414, 1, 15, 1},
        {kBalloon4J, 'B', 1, none, 0, 0},
        {kBalloon4J, 'B', 2, 2, 18, 20},
        {kBalloon4J, 'B', 49, 2, 18, 20},
        {kBalloon4J, 'B', 50, 2, 18, 20},
        {kBalloon4M, 'B', 1, none, 0, 0},
        {kBalloon4M, 'B', 2, 3, 18, 20},
        {kBalloon4M, 'B', 49, 3, 18, 20},
        {kBalloon4M, 'B', 50, 4, 18, 20},
        {kBalloon4M, 'B', 99, 4, 18, 20},
        {kBalloon5J, 'A', 250, 1, 15, 1},
        {kBalloon5J, 'B', 1, none, 0, 0},
        {kBalloon5J, 'B', 2, 2, 18, 20},
        {kBalloon5M, 'A', 50, 0, 18, -36},
        {kBalloon5M, 'A', 150, 1, 18, 4},
        {kBalloon5M, 'A', 260, 1, 18, 4},
        {kBalloon5M, 'B', 1, none, 0, 0},
        {kBalloon5M, 'B', 2, 3, 18, 20},
        // Nekomimi, sheet 7 at y 5: walks in on cells 0/1, tugs on 2/3,
        // walks off from e 50.
        {kNeko6J, 'A', 25, 0, -46, 5},
        {kNeko6J, 'A', 50, 1, -27, 5},
        {kNeko6J, 'A', 129, 0, 31, 5},
        {kNeko6J, 'A', 130, 2, 30, 5},
        {kNeko6J, 'A', 140, 3, 30, 5},
        {kNeko6J, 'A', 200, 3, 30, 5},
        {kNeko6J, 'A', 249, 3, 30, 5},
        {kNeko6J, 'A', 301, 3, 30, 5},
        {kNeko6J, 'A', 310, 2, 30, 5},
        {kNeko6J, 'A', 348, 2, 30, 5}, // the change sees the tick of the result
        {kNeko6J, 'B', 1, 2, 32, 5},
        {kNeko6J, 'B', 10, 0, 32, 5},
        {kNeko6J, 'B', 49, 1, 32, 5},
        {kNeko6J, 'B', 55, 0, 36, 5},
        {kNeko6J, 'B', 75, 0, 50, 5}, // 50.5
        {kNeko6J, 'B', 100, 1, 69, 5},
        {kNeko6J, 'B', 151, 0, 107, 5},
        {kNeko7MOn, 'A', 401, 2, 30, 5},
        {kNeko7MOn, 'A', 410, 3, 30, 5},
        {kNeko7MOn, 'B', 151, 0, 107, 5},
        // Fairy, sheet 2: flies in on cells 0/2, hovers on 0 at (35, Int(2u)),
        // halts on 1 at (35, 0), flies off from e 50.
        {kFairy9J, 'A', 100, 0, -17, 0},
        {kFairy9J, 'A', 150, 2, 6, 0}, // 6.5
        {kFairy9J, 'A', 199, 2, 30, 0},
        {kFairy9J, 'A', 250, 0, 35, 0},
        {kFairy9J, 'A', 300, 1, 35, 0},
        {kFairy9J, 'A', 319, 1, 35, 0},
        {kFairy9J, 'A', 320, 0, 35, 0},
        {kFairy9J, 'A', 400, 1, 35, 0},
        {kFairy9J, 'A', 420, 0, 35, 0},
        {kFairy9J, 'A', 500, 1, 35, 0},
        {kFairy9J, 'B', 1, none, 0, 0},
        {kFairy9J, 'B', 2, 1, 35, 0},
        {kFairy9J, 'B', 49, 1, 35, 0},
        {kFairy9J, 'B', 50, 0, 35, 0},
        {kFairy9J, 'B', 60, 2, 46, 0},
        {kFairy9J, 'B', 75, 0, 63, 0},
        {kFairy9J, 'B', 99, 0, 90, 0},
        {kFairy8M, 'A', 150, 2, 6, 1},
        {kFairy8M, 'A', 250, 0, 35, 1},
        {kFairy8M, 'A', 300, 1, 35, 0},
        {kFairy8M, 'A', 400, 1, 35, 0},
        {kFairy8M, 'B', 60, 2, 46, 1},
        {kFairy10M, 'A', 519, 1, 35, 0},
        {kFairy10M, 'A', 520, 0, 35, 0},
        {kFairy10M, 'A', 600, 1, 35, 0},
        // Angel, sheet 3 at y 16: no angel on d 1, cells 0..3 a step every 20
        // ticks, gone from d 500; the cycle goes on from cell 2 after the stop.
        {kAngel, 'A', 1, none, 0, 0},
        {kAngel, 'A', 2, 0, -39, 16},
        {kAngel, 'A', 25, 1, -24, 16},
        {kAngel, 'A', 50, 2, -8, 16},
        {kAngel, 'A', 99, 0, 23, 16},
        {kAngel, 'A', 100, 1, 26, 16},
        {kAngel, 'A', 200, 2, 26, 16},
        {kAngel, 'A', 400, 0, 26, 16},
        {kAngel, 'A', 401, 0, 27, 16},
        {kAngel, 'A', 450, 2, 58, 16},
        {kAngel, 'A', 499, 0, 89, 16},
        {kAngel, 'A', 500, none, 0, 0},
        {kAngel, 'A', 709, none, 0, 0},
        {kAngel, 'B', 1, 2, 26, 16},
        {kAngel, 'B', 19, 2, 26, 16},
        {kAngel, 'B', 20, 3, 26, 16},
        {kAngel, 'B', 40, 0, 26, 16},
        {kAngel, 'B', 100, 3, 26, 16},
    };
    std::map<const char*, Watched> watched;
    for (const Row& r : rows) {
        auto it = watched.find(r.scene.name);
        if (it == watched.end()) it = watched.try_emplace(r.scene.name, r.scene).first;
        const auto& frames = r.phase == 'A' ? it->second.a : it->second.b;
        const std::string what =
            std::string(r.scene.name) + " " + r.phase + " " + std::to_string(r.n);
        const auto f = frames.find(r.n);
        ASSERT_NE(f, frames.end()) << what << ": no such frame";
        const std::optional<SpriteSeen>& seen = f->second.sprite;
        if (r.cell == none) {
            EXPECT_FALSE(seen.has_value()) << what << ": " << *seen;
            continue;
        }
        const int sheet = std::array{0, 0, 0, 0, 1, 1, 7, 7, 2, 2, 2, 3}[r.scene.kind];
        ASSERT_TRUE(seen.has_value()) << what << ": no sprite";
        EXPECT_EQ(*seen, (SpriteSeen{sheet, r.cell, r.x, r.y})) << what;
    }
}

TEST(PresentationFrames, RightReelOffsets) {
    struct Row {
        Scene scene;
        int d, top;
    };
    for (const Row& r : {
             // Kind 3 halts at the slow point of 9 (264) until d 300, then races.
             Row{kTumble3M, 249, 264},
             Row{kTumble3M, 250, 264},
             Row{kTumble3M, 299, 264},
             Row{kTumble3M, 300, 240},
             Row{kBalloon5M, 299, 264},
             Row{kBalloon5M, 300, 240},
             // Stopped on R − 2 (552), kind 6 creeps at 2 onto R (456) on a jackpot,
             // at 3 onto R + 1 (408) on a miss; kind 7 pulls back at 1.
             Row{kNeko6J, 249, 552},
             Row{kNeko6J, 301, 550},
             Row{kNeko6J, 320, 512},
             Row{kNeko6J, 348, 456},
             Row{kNeko6M, 301, 549},
             Row{kNeko6M, 320, 492},
             Row{kNeko6M, 348, 408},
             Row{kNeko7J, 348, 408},
             Row{kNeko7J, 401, 409},
             Row{kNeko7J, 448, 456},
             Row{kNeko7J, 501, 453},
             Row{kNeko7J, 516, 408},
             Row{kNeko7J, 601, 409},
             Row{kNeko7J, 648, 456},
             Row{kNeko7J, 701, 453},
             Row{kNeko7J, 716, 408},
             Row{kNeko7J, 801, 409},
             Row{kNeko7J, 848, 456},
             Row{kNeko7MOn, 516, 408},
             Row{kNeko7MOn, 601, 409},
             Row{kNeko7MOn, 716, 408},
             Row{kNeko7MEnd, 516, 408},
             // False halts one symbol below the reach symbol when the draw hits it.
             Row{kFairy9J, 300, 456},
             Row{kFairy9J, 319, 456},
             Row{kFairy9J, 320, 432},
             Row{kFairy9J, 400, 456},
             Row{kFairy9J, 500, 408},
             Row{kFairy10J, 500, 456},
             Row{kFairy10J, 600, 408},
             Row{kFairy10M, 300, 648},
             Row{kFairy10M, 400, 648},
             Row{kFairy10M, 500, 648},
             Row{kFairy10M, 600, 360},
             Row{kFairy8M, 300, 168},
             // Reach symbol 1: a drawn 1 halts on 0 (600).
             Row{Scene{"fairy 8 miss on 1", 8, false, 1, 300, 0.1}, 300, 600},
             Row{kFairy9M, 400, 168},
             Row{kFairy9M, 500, 168},
             // The angel's line: in line from d 1, resting on 7 (264) at d 709.
             Row{kAngel, 1, 450},
             Row{kAngel, 699, 294},
             Row{kAngel, 700, 291},
             Row{kAngel, 709, 264},
         }) {
        Watched w(r.scene);
        const auto f = w.a.find(r.d);
        ASSERT_NE(f, w.a.end()) << r.scene.name << " d " << r.d;
        EXPECT_EQ(f->second.right_top, r.top) << r.scene.name << " d " << r.d;
    }
}

TEST(PresentationFrames, MusicCueTicks) {
    // mark_present 1400, mark_result 2400: the result music on e 1, the Fairy's
    // second reach music on d 420, the angel's on d 1.
    struct Row {
        Scene scene;
        std::vector<Cue> cues;
    };
    for (const Row& r : {
             Row{kTumble2J, {{"teishi.mid", 2401}}},
             Row{kTumble3M, {{"hazure.mid", 2401}}},
             Row{kBalloon4J, {{"teishi.mid", 2401}}},
             Row{kBalloon5M, {{"hazure.mid", 2401}}},
             Row{kNeko6J, {{"teishi.mid", 2401}}},
             Row{kNeko7MOn, {{"hazure.mid", 2401}}},
             Row{kFairy8J, {{"teishi.mid", 2401}}},
             Row{kFairy8M, {{"hazure.mid", 2401}}},
             Row{kFairy9J, {{"reach.mid", 1820}, {"teishi.mid", 2401}}},
             Row{kFairy9M, {{"reach.mid", 1820}, {"hazure.mid", 2401}}},
             Row{kFairy10J, {{"reach.mid", 1820}, {"teishi.mid", 2401}}},
             Row{kFairy10M, {{"reach.mid", 1820}, {"hazure.mid", 2401}}},
             Row{kAngel, {{"zenkai.mid", 1401}, {"teishi.mid", 2401}}},
         }) {
        Watched w(r.scene);
        EXPECT_EQ(w.h.rig.cues, r.cues) << r.scene.name;
    }
}

TEST(PresentationFrames, NekomimiMissGoesOnOneTimeInTwo) {
    // Int(2u) = 0 pulls the reel back once more (phase A ends at d 716),
    // otherwise the miss ends on the second push (d 516).
    for (auto [u, end] :
         {std::pair{0.0, 716}, std::pair{0.3, 716}, std::pair{0.45, 716}, std::pair{0.499, 716},
          std::pair{0.5, 516}, std::pair{0.65, 516}, std::pair{0.99, 516}}) {
        Watched w(Scene{"nekomimi 7 miss", 7, false, 3, 36, u});
        EXPECT_EQ(w.a_end, end) << "u " << u;
    }
}

namespace {

int nearest_of(double x) {
    return int(std::nearbyint(x));
}

// The sprite a presentation's frame table draws on a frame: its cell and its
// top-left corner.
struct Drawn {
    int cell, x, y;
};

class Oracle {
  public:
    Oracle(const Scene& k, const Watched& w) : k_(k), w_(w) {}

    // Every frame of the presentation against its table.
    void check() {
        const int present = w_.h.s.mark_present, result = w_.h.s.mark_result;
        cell_ = k_.kind == 11 ? 0 : 1; // the frame leaves egara_step[2] at 1
        backing_ = k_.kind == 3 || k_.kind == 5;
        for (auto it = w_.a.begin(); it != w_.a.end(); ++it) {
            const int d = it->first;
            auto next = std::next(it);
            // The tick a toggle sees after this frame's own jump, if any.
            const int after = next == w_.a.end() ? result : present + next->first - 1;
            compare('A', d, phase_a(d, present + d, after, it->second), it->second);
        }
        for (const auto& [e, seen] : w_.b)
            compare('B', e, phase_b(e, result + e), seen);
    }

  private:
    void compare(char phase, int n, std::optional<Drawn> drawn, const Seen& seen) {
        const std::string what = std::string(k_.name) + " " + phase + " " + std::to_string(n);
        const int sheet = std::array{0, 0, 0, 0, 1, 1, 7, 7, 2, 2, 2, 3}[k_.kind];
        // A sprite wholly off the display shows nothing.
        if (drawn && (drawn->x <= -64 || drawn->x >= 115 || drawn->y <= -72)) drawn.reset();
        if (!drawn) {
            EXPECT_FALSE(seen.sprite.has_value()) << what << ": " << *seen.sprite;
            return;
        }
        ASSERT_TRUE(seen.sprite.has_value()) << what << ": no sprite";
        EXPECT_EQ(*seen.sprite, (SpriteSeen{sheet, drawn->cell, drawn->x, drawn->y})) << what;
    }

    int u5() const { return int(k_.v * 5); }
    int u2() const { return int(k_.v * 2); }
    bool ten(int tick) const { return tick % 10 == 0; }

    std::optional<Drawn> phase_a(int d, int tick, int after, const Seen& seen) {
        switch (k_.kind) {
        case 2:
        case 3:
        case 4:
        case 5:
            return k_.kind <= 3 ? tumble_a(d, tick, seen) : balloon_a(d);
        case 6:
        case 7:
            return nekomimi_a(d, d >= 300 ? after : tick);
        case 8:
        case 9:
        case 10:
            return fairy_a(d, tick);
        default:
            return angel_a(d, tick);
        }
    }

    std::optional<Drawn> tumble_a(int d, int tick, const Seen& seen) {
        if (d < 100) {
            if (ten(tick)) cell_ = cell_ != 0 ? 0 : 4;
            return Drawn{cell_, nearest_of(74.0 * d / 100 - 64), 24};
        }
        if (d < 200) return Drawn{1, nearest_of(20.0 * (d - 100) / 100 + 10), 24};
        if (d < 300) {
            if (k_.kind == 2) return Drawn{1, nearest_of(10.0 * (d - 200) / 100 + 30), 24};
            if (!backing_) return Drawn{0, 30, 24};
            const int x = nearest_of(30 - 10.0 * (d - 200) / 100);
            if (seen.right_top == slow_point()) backing_ = false;
            return Drawn{0, x, 24};
        }
        return Drawn{1, d < 400 ? 30 : 35, 24};
    }

    std::optional<Drawn> balloon_a(int d) {
        if (d < 100) return Drawn{0, 14 + u5(), nearest_of(72.0 * d / 100 - 72)};
        return Drawn{1, 14 + u5(), u5()};
    }

    std::optional<Drawn> nekomimi_a(int d, int tick) {
        if (d < 130) {
            if (ten(tick)) cell_ = cell_ == 0 ? 1 : 0;
            return Drawn{cell_, nearest_of(74.0 * d / 100 - 64), 5};
        }
        if (ten(tick)) cell_ = cell_ == 2 ? 3 : 2;
        return Drawn{cell_, 30, 5};
    }

    std::optional<Drawn> fairy_a(int d, int tick) {
        if (d < 200) {
            if (ten(tick)) cell_ = cell_ == 0 ? 2 : 0;
            return Drawn{cell_, nearest_of(94.0 * d / 200 - 64), u2()};
        }
        const int step = (d - 200) % 100; // halts on 300.., 400.., 500.., 600..
        if (d >= 300 && step >= 0 && (d % 100) < 20) return Drawn{1, 35, 0};
        return Drawn{0, 35, u2()};
    }

    std::optional<Drawn> angel_a(int d, int tick) {
        if (d == 1) {
            cell_ = 0;
            return std::nullopt;
        }
        if (d >= 500) {
            cell_ = 2; // the stop leaves it there
            return std::nullopt;
        }
        cycle(tick);
        if (d < 100) return Drawn{cell_, nearest_of(64.0 * d / 100 - 40), 16};
        if (d <= 400) return Drawn{cell_, 26, 16};
        return Drawn{cell_, nearest_of(64.0 * (d - 400) / 100 + 26), 16};
    }

    void cycle(int tick) {
        if (tick % 20 == 0) cell_ = cell_ + 1 > 3 ? 0 : cell_ + 1;
    }

    std::optional<Drawn> phase_b(int e, int tick) {
        const bool jackpot = k_.jackpot;
        switch (k_.kind) {
        case 2:
        case 3:
            if (e == 1) cell_ = 0;
            if (jackpot) {
                if (e >= 100) return std::nullopt;
                if (ten(tick)) cell_ = cell_ != 0 ? 0 : 4;
                return Drawn{cell_, nearest_of(80.0 * e / 100 + 40), 24};
            }
            return Drawn{e < 100 ? 2 : 3, 24, 24};
        case 4:
        case 5:
            if (e == 1) return std::nullopt;
            return Drawn{jackpot ? 2 : e < 50 ? 3 : 4, 18, 20};
        case 6:
        case 7:
            if (ten(tick)) cell_ = cell_ == 0 ? 1 : 0;
            return Drawn{cell_, e < 50 ? 32 : nearest_of(74.0 * (e - 50) / 100 + 32), 5};
        case 8:
        case 9:
        case 10:
            if (e == 1) return std::nullopt;
            if (e < 50) return Drawn{1, 35, 0};
            if (ten(tick)) cell_ = cell_ == 0 ? 2 : 0;
            return Drawn{cell_, nearest_of(112.0 * (e - 50) / 100 + 35), u2()};
        default:
            cycle(tick);
            return Drawn{cell_, 26, 16};
        }
    }

    // The slow point of the right reel's final symbol: two cells before it.
    int slow_point() const {
        const int e = w_.h.s.egara_target[2];
        return e < 1 ? 24 : (14 - e) * 48 + 24;
    }

    const Scene& k_;
    const Watched& w_;
    int cell_ = 1;
    bool backing_ = false;
};

} // namespace

TEST(PresentationFrames, EveryFrameDrawsTheSpriteOfItsTable) {
    for (const Scene& k : kScenes) {
        Watched w(k);
        Oracle(k, w).check();
    }
}

TEST(PresentationFrames, EveryFrameShowsAllThreeReelsWhereTheyStand) {
    for (const Scene& k : kScenes) {
        Watched w(k, true);
        for (const auto* phase : {&w.a, &w.b})
            for (const auto& [n, seen] : *phase)
                for (int r = 0; r < 3; ++r)
                    EXPECT_EQ(seen.reels[r],
                              symbol_colour((13 - (seen.tops[r] + 48) / 48 + 28) % 14))
                        << k.name << (phase == &w.a ? " A " : " B ") << n << " reel " << r << " at "
                        << seen.tops[r];
    }
}

TEST(PresentationFrames, TheFairysReelRacesAndHaltsByItsTable) {
    // Step 6 in the flight, 24 while the fairy hovers, nothing while it halts;
    // each halt begins with a snap, onto which the step does not apply.
    for (const Scene& k : {kFairy8J, kFairy8M, kFairy9J, kFairy9M, kFairy10J, kFairy10M}) {
        Watched w(k, true);
        int before = k.offset;
        for (const auto& [d, seen] : w.a) {
            const int top = seen.tops[2];
            const bool snap = d >= 300 && d % 100 == 0;
            if (!snap) {
                const int step = d < 200 ? 6 : d >= 300 && d % 100 < 20 ? 0 : 24;
                EXPECT_EQ(top, before - step < 1 ? 672 : before - step) << k.name << " d " << d;
            }
            before = top;
        }
        for (const auto& [e, seen] : w.b)
            EXPECT_EQ(seen.tops[2], before) << k.name << " e " << e;
    }
}

TEST(PresentationFrames, TheBackgroundFlashesOnTheRightReelsTwelvesAndRestsInTheResult) {
    constexpr Pixel kCyan = rgb(128, 255, 255), kPink = rgb(255, 128, 128);
    for (const Scene& k : kScenes) {
        Watched w(k, true);
        // Each tick shows the colour the tick before left.
        Pixel colour = kCyan;
        int before = k.offset;
        for (const auto& [d, seen] : w.a) {
            EXPECT_EQ(seen.back, colour) << k.name << " d " << d;
            if (k.kind != 11 && before % 12 == 0) colour = colour == kCyan ? kPink : kCyan;
            before = seen.tops[2];
        }
        for (const auto& [e, seen] : w.b) {
            EXPECT_EQ(seen.back, colour) << k.name << " e " << e;
            colour = kCyan;
        }
    }
}

TEST(PresentationFrames, AFirstStopMissedStillEndsWhereItMust) {
    // The reel runs on through d 300 (no jump to it) and the next row meets its target.
    for (const Scene& k : {kNeko6JLate, kNeko7MLate}) {
        Watched w(k, true);
        EXPECT_TRUE(w.a.count(300)) << k.name;
        const int rest = w.a.rbegin()->second.tops[2];
        EXPECT_EQ(rest, k.jackpot ? 456 : 408) << k.name; // on R, or on R + 1
    }
}
