#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "core/display_rig.h"
#include "display/spin_sequence.h"
#include "machine/lottery.h"
#include "machine/rules.h"
#include "parlour/decided_spins.h"

using namespace popchan;
using popchan::testing::paint_test_strip;
using popchan::testing::pick;
using popchan::testing::RecordingMedia;
using popchan::testing::ScriptedRandom;
using popchan::testing::shows;
using popchan::testing::stop_of;
using popchan::testing::symbol_colour;

namespace {

struct Rig : popchan::testing::DisplayRig {
    using DisplayRig::DisplayRig;
    // Runs ticks until the spin is handed to the accounting; returns the ticks.
    int run_spin() {
        int ticks = 0;
        while (s.spin_phase == 1 && ticks < 10000) {
            Timer2_Timer(c);
            ++ticks;
        }
        return ticks;
    }
};

} // namespace

TEST(Reels, MoveWrapsTo672Below1) {
    MachineRandom rng(1, false);
    Rig r(rng);
    std::array<Int16, 3> top{6, 18, 100};
    r.d.Egara_Move(top, 0, top[0], 6);
    EXPECT_EQ(top[0], 672);
    r.d.Egara_Move(top, 1, top[1], 24);
    EXPECT_EQ(top[1], 672); // set to 672, not 666
    r.d.Egara_Move(top, 2, top[2], 0);
    EXPECT_EQ(top[2], 100);
    r.d.Egara_Move(top, 2, 0, 0);
    EXPECT_EQ(top[2], 672);
}

TEST(Reels, StopSlowAndSlidePoints) {
    MachineRandom rng(1, false);
    Rig r(rng);
    EXPECT_EQ(r.d.Egara_Top("stop", 13), 648);
    EXPECT_EQ(r.d.Egara_Top("stop", 0), 600);
    EXPECT_EQ(r.d.Egara_Top("stop", 12), 24);
    EXPECT_EQ(r.d.Egara_Top("slow", 0), 24);
    EXPECT_EQ(r.d.Egara_Top("slow", 1), 648);
    EXPECT_EQ(r.d.Egara_Top("slow", 13), 72);
    EXPECT_FALSE(r.d.Egara_Top("halt", 3).has_value());
    std::set<int> slides;
    for (int i = 0; i < 200; ++i)
        slides.insert(*r.d.Egara_Top("suberi", 13));
    EXPECT_EQ(slides, (std::set<int>{312, 360, 408}));
    for (int e = 0; e < 14; ++e) {
        EXPECT_EQ(*r.d.Egara_Top("stop", e) % 48, 24);
        EXPECT_EQ(*r.d.Egara_Top("slow", e) % 24, 0);
    }
}

TEST(Reels, AReelAtRestShowsItsSymbolBetweenItsNeighbours) {
    MachineRandom rng(1, false);
    Rig r(rng);
    paint_test_strip(r.d);
    for (int e = 0; e < 14; ++e) {
        r.d.scr_work.copy_from(r.d.scr_bkg);
        std::array<Int16, 3> top{};
        r.d.Egara_Move(top, 1, stop_of(e), 0);
        EXPECT_EQ(r.d.scr_work.at(37 + 18, 48), symbol_colour(e));
        // The next symbol comes in from the top; the one before leaves below.
        EXPECT_EQ(r.d.scr_work.at(37 + 18, 10), symbol_colour((e + 1) % 14));
        EXPECT_EQ(r.d.scr_work.at(37 + 18, 80), symbol_colour((e + 13) % 14));
        EXPECT_EQ(r.d.scr_work.at(112, 48), rgb(128, 255, 255)); // right margin: background
        EXPECT_EQ(r.d.scr_work.at(18, 48), rgb(128, 255, 255));  // left reel untouched
    }
}

TEST(Reels, MaskedSpriteLeavesTheBackgroundWhereTheMaskIsWhite) {
    MachineRandom rng(1, false);
    Rig r(rng);
    Surface& sheet = r.d.pictures.pat[4];
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 32; ++x) { // the left half opaque red
            sheet.set(x, y, rgb(200, 0, 0));
            sheet.set(x, y + 72, rgb(0, 0, 0));
        }
    r.d.scr_work.copy_from(r.d.scr_bkg);
    r.d.draw_pat(4, 0, 1, 10, 5);
    EXPECT_EQ(r.d.scr_work.at(10, 5), rgb(200, 0, 0));
    EXPECT_EQ(r.d.scr_work.at(41, 76), rgb(200, 0, 0));
    EXPECT_EQ(r.d.scr_work.at(42, 5), rgb(128, 255, 255));
    EXPECT_EQ(r.d.scr_work.at(9, 5), rgb(128, 255, 255));
    // Clipped at the edges without harm.
    r.d.draw_pat(4, 0, 1, -20, 60);
    EXPECT_EQ(r.d.scr_work.at(0, 95), rgb(200, 0, 0));
}

TEST(Raster, OperationsAreTheBitwiseOnes) {
    Surface dst(2, 1, 0xFF00FF00u), src(2, 1, 0xFF0F0F0Fu);
    dst.bitblt(0, 0, 1, 1, src, 0, 0, Rop::SrcErase);
    EXPECT_EQ(dst.at(0, 0), 0xFF0F000Fu); // source AND NOT destination
    dst.bitblt(1, 0, 1, 1, src, 0, 0, Rop::SrcInvert);
    EXPECT_EQ(dst.at(1, 0), 0xFF0FF00Fu); // source XOR destination
    Surface big(4, 4, rgb(1, 2, 3));
    Surface small(2, 2, rgb(0, 0, 0));
    small.stretchblt(0, 0, 2, 2, big, 0, 0, 4, 4, Rop::SrcCopy); // shrinking
    EXPECT_EQ(small.at(1, 1), rgb(1, 2, 3));
}

TEST(SpinSequence, MarksInBothStates) {
    for (auto [kakuhen, reach, left] : {std::tuple{0, 0, 100}, std::tuple{1, 0, 60},
                                        std::tuple{0, 3, 100}, std::tuple{1, 3, 60}}) {
        MachineRandom rng(1, false);
        Rig r(rng);
        r.s.kakuhen_flag = kakuhen;
        r.s.reach_kind = reach;
        r.s.atari_flag = 0;
        r.s.spin_phase = 1;
        Timer2_Timer(r.c);
        const SpinState& s = r.s;
        EXPECT_EQ(s.mark_left, left);
        EXPECT_EQ(s.mark_middle, left + 100);
        EXPECT_EQ(s.mark_right, left + 1100);
        EXPECT_EQ(s.mark_right_slow, left + 1200);
        EXPECT_EQ(s.mark_present, left + 1300);
        EXPECT_EQ(s.mark_result, left + (reach ? 2300 : 1400));
        EXPECT_EQ(s.mark_close, left + (reach ? 3200 : 1400));
        EXPECT_EQ(s.mark_end, s.mark_close + 50);
        EXPECT_EQ(r.d.back_color(), kakuhen ? kBackKakuhen : kBackNormal);
        EXPECT_EQ(r.media.log.front(), "open kaiten.mid");
    }
}

TEST(SpinSequence, LossSymbolsNeverFormAFalseReach) {
    struct Case {
        int reach_kind, a, b, c, left, middle, right;
    };
    for (const Case& k :
         {Case{0, 5, 5, 5, 5, 6, 5}, Case{0, 12, 12, 3, 12, 13, 3}, Case{0, 13, 13, 2, 13, 0, 2},
          Case{1, 4, 4, 4, 4, 4, 5}, Case{1, 12, 12, 12, 12, 12, 13}, Case{6, 13, 13, 0, 13, 13, 0},
          Case{6, 13, 13, 13, 13, 13, 0},
          // Draws that differ stand as drawn.
          Case{0, 5, 9, 5, 5, 9, 5}, Case{0, 0, 13, 7, 0, 13, 7}, Case{4, 3, 3, 10, 3, 3, 10},
          Case{4, 13, 13, 1, 13, 13, 1}}) {
        // A reach draws left and right only.
        ScriptedRandom reach_rng{pick(k.a, 14), pick(k.c, 14)};
        ScriptedRandom plain_rng{pick(k.a, 14), pick(k.b, 14), pick(k.c, 14)};
        Rig rr(k.reach_kind ? static_cast<Random&>(reach_rng) : plain_rng);
        rr.s.reach_kind = k.reach_kind;
        rr.s.spin_phase = 1;
        Timer2_Timer(rr.c);
        EXPECT_EQ(rr.s.egara_target, (std::array<Int16, 3>{k.left, k.middle, k.right}));
    }
}

TEST(SpinSequence, HiddenSpinsGoStraightToTheAccounting) {
    MachineRandom rng(1, false);
    Rig r(rng);
    r.s.digi_mode = 2;
    r.s.spin_phase = 1;
    const auto shown = r.d.PictureWaku.revision();
    Timer2_Timer(r.c);
    EXPECT_EQ(r.s.spin_phase, 2);
    EXPECT_EQ(r.s.spin_tick, 0);
    EXPECT_EQ(r.d.PictureWaku.revision(), shown);
    EXPECT_TRUE(r.media.log.empty());
    // Jackpots only: a reach that loses is not shown, a jackpot is.
    r.s.digi_mode = 3;
    r.s.reach_kind = 4;
    r.s.spin_phase = 1;
    Timer2_Timer(r.c);
    EXPECT_EQ(r.s.spin_phase, 2);
    r.s.atari_flag = 1;
    r.s.atari_egara = 2;
    r.s.reach_kind = 1;
    r.s.spin_phase = 1;
    EXPECT_GT(r.run_spin(), 500); // shown in full, fanfare included
    EXPECT_EQ(r.s.spin_phase, 2);
    EXPECT_NE(std::find(r.media.log.begin(), r.media.log.end(), "open atari.mid"),
              r.media.log.end());
}

TEST(SpinSequence, AngelReachSkipsTheStopPhases) {
    MachineRandom rng(3, false);
    Rig r(rng);
    r.s.atari_flag = 1;
    r.s.atari_egara = 7;
    r.s.reach_kind = 11;
    r.s.spin_phase = 1;
    bool stop_phases = false;
    while (r.s.spin_phase == 1) {
        Timer2_Timer(r.c);
        const int t = r.s.spin_tick;
        if (t > r.s.mark_middle && t < r.s.mark_present) stop_phases = true;
    }
    EXPECT_FALSE(stop_phases);
}

TEST(SpinSequence, ClosingLengthFollowsTheFinalSymbol) {
    struct Case {
        int atari_egara, shoukaku, closing, final_symbol;
    };
    for (const Case& k :
         {Case{3, 0, 200, 3}, Case{2, 0, 50, 2}, Case{8, 14, 50, 0}, Case{8, 5, 200, 5}}) {
        MachineRandom rng(5, false);
        Rig r(rng);
        r.s.atari_flag = 1;
        r.s.atari_egara = k.atari_egara;
        r.s.shoukaku_egara = k.shoukaku;
        r.s.reach_kind = 1;
        r.s.spin_phase = 1;
        int close_tick = 0, last = 0;
        while (r.s.spin_phase == 1) {
            Timer2_Timer(r.c);
            if (r.s.spin_tick == r.s.mark_close && !close_tick) close_tick = last + 1;
            ++last;
        }
        EXPECT_EQ(r.s.mark_end - r.s.mark_close, k.closing);
        EXPECT_EQ(last - close_tick, k.closing) << k.atari_egara;
        for (int reel = 0; reel < 3; ++reel)
            EXPECT_EQ(r.s.egara_top[reel], stop_of(k.final_symbol));
    }
}

TEST(SpinSequence, NoticeBandHeights) {
    SpinState s;
    s.mark_right = 1200, s.mark_right_slow = 1300, s.mark_present = 1400, s.mark_atari = 2700;
    for (int level : {2, 3}) {
        s.yokoku_level = level;
        EXPECT_EQ(notice_band_y(s, 1199), 120);
        EXPECT_EQ(notice_band_y(s, 1200), 85);
        EXPECT_EQ(notice_band_y(s, 1249), 85);
        EXPECT_EQ(notice_band_y(s, 1250), 80);
        EXPECT_EQ(notice_band_y(s, 1299), 80);
        EXPECT_EQ(notice_band_y(s, 1300), 75);
        EXPECT_EQ(notice_band_y(s, 1399), 75);
        EXPECT_EQ(notice_band_y(s, 1400), level == 3 ? 70 : 80);
        EXPECT_EQ(notice_band_y(s, 1450), level == 3 ? 70 : 85);
        EXPECT_EQ(notice_band_y(s, 1500), level == 3 ? 70 : 120);
        EXPECT_EQ(notice_band_y(s, 2699), level == 3 ? 70 : 120);
        EXPECT_EQ(notice_band_y(s, 2700), 120);
    }
    s.yokoku_level = 3; // stays up through the whole presentation
    for (int w = 1400; w < 2700; w += 50)
        EXPECT_EQ(notice_band_y(s, w), 70) << w;
    s.yokoku_level = 2;
    EXPECT_EQ(notice_band_y(s, 1449), 80);
    EXPECT_EQ(notice_band_y(s, 1499), 85);
    EXPECT_EQ(notice_band_y(s, 1500), 120);
}

// Four runs of 25,000 spins, each from a seed of its own, so that the runs can
// go side by side.
class SpinSequenceQuarter : public ::testing::TestWithParam<int> {};

TEST_P(SpinSequenceQuarter, HundredThousandSeededSpinsEndWhereTheyWereDecided) {
    MachineRandom rng(2024 + GetParam(), false);
    Rig r(rng);
    r.d.set_drawing(false);
    Premises z;
    int jackpots = 0, reaches = 0;
    for (int spin = 0; spin < 25000; ++spin) {
        r.s.spin_phase = 0;
        Timer1_Timer(r.s, 0, z, rng);
        r.run_spin();
        const SpinState& s = r.s;
        ASSERT_EQ(s.spin_phase, 2);
        ASSERT_EQ(s.spin_tick, 0);
        const auto& t = s.egara_target;
        if (s.atari_flag == 1) {
            ++jackpots;
            for (int reel = 0; reel < 3; ++reel)
                ASSERT_TRUE(shows(s.egara_top[reel], final_symbol(s))) << spin;
        } else {
            for (int reel = 0; reel < 3; ++reel)
                ASSERT_TRUE(shows(s.egara_top[reel], t[reel]));
            ASSERT_FALSE(t[0] == t[1] && t[1] == t[2]) << "a loss showed a jackpot";
            if (s.reach_kind == 0)
                ASSERT_NE(t[0], t[1]) << "a spin without reach showed one";
            else
                ASSERT_EQ(t[0], t[1]);
        }
        reaches += s.reach_kind != 0;
        // Exercise both states: a jackpot on a probability-up symbol starts one.
        if (s.atari_flag == 1) r.s.kakuhen_flag = KakuhenHantei(final_symbol(s));
    }
    EXPECT_GT(jackpots, 25);
    EXPECT_GT(reaches, 1250);
}

INSTANTIATE_TEST_SUITE_P(Runs, SpinSequenceQuarter, ::testing::Range(0, 4));

namespace {

// A plain reach that wins on `egara` in the normal state: mark_atari 2700,
// mark_fanfare 3000, mark_close 3300.
struct PlainJackpot : Rig {
    MachineRandom own{11, false};
    explicit PlainJackpot(int egara, int shoukaku = 0, int kakuhen = 0) : Rig(own) {
        s.atari_flag = 1;
        s.atari_egara = egara;
        s.shoukaku_egara = shoukaku;
        s.reach_kind = 1;
        s.kakuhen_flag = kakuhen;
        s.spin_phase = 1;
    }
};

// Fanfare frame k painted in a colour of its own over a black (opaque) mask.
Pixel fanfare_colour(int k) {
    return rgb(20 * k + 10, 40, 40);
}

} // namespace

TEST(SpinSequence, FanfareFramesByTick) {
    PlainJackpot r(2);
    for (int k = 0; k < 5; ++k)
        r.d.pictures.patbox[k].fill(fanfare_colour(k));
    r.d.pictures.patbox[5].fill(rgb(0, 0, 0));
    std::map<int, int> shown; // tick → fanfare frame covering the display, −1 none
    while (r.s.spin_phase == 1) {
        const int t = r.tick();
        int frame = -1;
        for (int k = 0; k < 5; ++k)
            if (r.d.PictureWaku.at(0, 0) == fanfare_colour(k) &&
                r.d.PictureWaku.at(114, 95) == fanfare_colour(k) &&
                r.d.PictureWaku.at(57, 48) == fanfare_colour(k))
                frame = k;
        shown[t] = frame;
    }
    // Without a promotion the result stands until mark_atari + 50 (2750), then
    // the fanfare runs from 3001 to 3149 and the closing from 3301.
    for (auto [t, frame] :
         {std::pair{2750, -1}, std::pair{3001, 0}, std::pair{3024, 0}, std::pair{3025, 1},
          std::pair{3049, 1}, std::pair{3050, 2}, std::pair{3074, 2}, std::pair{3075, 3},
          std::pair{3099, 3}, std::pair{3100, 4}, std::pair{3149, 4}, std::pair{3301, -1}}) {
        ASSERT_TRUE(shown.count(t)) << "no tick " << t;
        EXPECT_EQ(shown[t], frame) << "tick " << t;
    }
    for (int t = 3150; t <= 3300; ++t)
        EXPECT_FALSE(shown.count(t)) << "tick " << t << " between the fanfare and the closing";
    EXPECT_NE(std::find(r.cues.begin(), r.cues.end(), popchan::testing::Cue{"atari.mid", 3001}),
              r.cues.end());
}

TEST(SpinSequence, MusicCueTicksOfAWholeSpin) {
    using popchan::testing::Cue;
    struct Row {
        int egara, shoukaku, kakuhen;
        std::vector<Cue> cues;
    };
    for (const Row& k : {
             // Promoted to 3 (probability-up): chusen at mark_atari + 50, stop at
             // + 150, the fanfare from 3001, a closing of 200 ticks.
             Row{2,
                 3,
                 0,
                 {{"kaiten.mid", 1},
                  {"reach.mid", 1201},
                  {"chusen.mid", 2750},
                  {"stop", 2850},
                  {"atari.mid", 3001},
                  {"stop", 3500}}},
             // Probability-up state: every mark 40 earlier; symbol 2 closes in 50.
             Row{2,
                 0,
                 1,
                 {{"kaiten.mid", 1}, {"reach.mid", 1161}, {"atari.mid", 2961}, {"stop", 3310}}},
         }) {
        PlainJackpot r(k.egara, k.shoukaku, k.kakuhen);
        while (r.s.spin_phase == 1)
            r.tick();
        EXPECT_EQ(r.cues, k.cues) << k.egara << " " << k.shoukaku << " " << k.kakuhen;
    }
}

TEST(SpinSequence, ClosingCharacterWalksRight) {
    // A jackpot on 3 closes with pat(9): a frame change every 20 ticks from
    // the 1 the plain reach left, x = nearest((t − 3300) / 2), y 16.
    PlainJackpot r(3);
    popchan::testing::paint_sprite_sheets(r.d.pictures);
    std::map<int, std::optional<popchan::testing::SpriteSeen>> seen;
    while (r.s.spin_phase == 1) {
        const int t = r.tick();
        if (t > 3300) seen[t] = popchan::testing::sprite_on(r.d.PictureWaku);
    }
    using S = popchan::testing::SpriteSeen;
    for (auto [t, cell, x] :
         {std::tuple{3301, 1, 0}, std::tuple{3303, 1, 2}, std::tuple{3319, 1, 10},
          std::tuple{3320, 2, 10}, std::tuple{3340, 3, 20}, std::tuple{3360, 0, 30},
          std::tuple{3499, 2, 100}}) {
        ASSERT_TRUE(seen[t].has_value()) << t;
        EXPECT_EQ(*seen[t], (S{9, cell, x, 16})) << t;
    }
    EXPECT_FALSE(seen.count(3500) && seen[3500]) << "the end draws no character";
}

TEST(Pictures, EachHasTheSizeOfItsLayout) {
    const std::pair<int, int> sizes[] = {{320, 144}, {320, 144}, {256, 144}, {256, 144},
                                         {64, 144},  {64, 144},  {240, 192}, {256, 144},
                                         {115, 60},  {256, 144}};
    MachineRandom rng(1, false);
    Rig r(rng);
    for (int n = 0; n < 10; ++n) {
        EXPECT_EQ(Pictures::pat_size(n), sizes[n]) << "pat(" << n << ")";
        EXPECT_EQ(r.d.pictures.pat[n].width(), sizes[n].first) << n;
        EXPECT_EQ(r.d.pictures.pat[n].height(), sizes[n].second) << n;
    }
    for (const Surface& strip : r.d.pictures.digipat) {
        EXPECT_EQ(strip.width(), 37);
        EXPECT_EQ(strip.height(), 864);
    }
}

TEST(GoldenFrames, EightFramesSpreadOverTheSpinFirstAndLastIncluded) {
    EXPECT_EQ(pick_evenly(100, 8), (std::vector<std::size_t>{0, 14, 28, 42, 56, 70, 84, 99}));
    EXPECT_TRUE(pick_evenly(0, 8).empty());
    // A loss played frame by frame: the last golden frame is the display at
    // its end, and the first the display after its first tick.
    const Pictures pictures;
    std::vector<std::vector<Pixel>> shown;
    const SpinLength length = play(sample_spins()[0], pictures, 1, [&](const Surface& s) {
        shown.emplace_back(s.data(), s.data() + 115 * 96);
    });
    EXPECT_EQ(length.frames, shown.size());
    EXPECT_GT(shown.size(), 100u);
    EXPECT_LT(shown.size(), 5000u); // it ended, and was not cut off
    // A reach with its presentation plays longer than a plain loss.
    const SpinLength reach = play(every_reach_outcome()[0], pictures, 1, [](const Surface&) {});
    EXPECT_GT(reach.frames, length.frames);
    EXPECT_GT(reach.presentation_start, 0u);
    const std::vector<Surface> golden = golden_frames(sample_spins()[0], false, pictures, 8);
    ASSERT_EQ(golden.size(), 8u);
    const auto same = [](const Surface& s, const std::vector<Pixel>& p) {
        return std::equal(p.begin(), p.end(), s.data());
    };
    EXPECT_TRUE(same(golden.front(), shown.front()));
    EXPECT_TRUE(same(golden.back(), shown.back()));
    EXPECT_TRUE(same(golden[1], shown[(shown.size() - 1) / 7]));
}
