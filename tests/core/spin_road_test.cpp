// A spin tick by tick: how far each reel moves in each phase, that the display
// shows every reel where it stands, which tick follows which, the background,
// and the pictures drawn over the reels (the notice character, the overlays,
// the promotion sign, the closing character).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "core/display_rig.h"
#include "machine/rules.h"

using namespace popchan;
using popchan::testing::Cue;
using popchan::testing::DisplayRig;
using popchan::testing::paint_sprite_sheets;
using popchan::testing::paint_test_strip;
using popchan::testing::sprite_on;
using popchan::testing::SpriteSeen;
using popchan::testing::stop_of;
using popchan::testing::symbol_colour;

namespace {

constexpr Pixel kCyan = rgb(128, 255, 255), kPink = rgb(255, 128, 128);

// Where a reel drops to its slow speed before resting on e: two cells early.
int slow_of(int e) {
    return e < 1 ? 24 : (14 - e) * 48 + 24;
}

// A reel at `top` moved by `step`: below 1 it becomes 672.
int moved(int top, int step) {
    return top - step < 1 ? 672 : top - step;
}

// Whether a reel at `top` rests on a symbol.
bool at_rest(int top) {
    for (int e = 0; e < 14; ++e)
        if (stop_of(e) == top) return true;
    return false;
}

// What the display shows, 92 rows down the reel at `top` (below every sprite).
Pixel reel_pixel(int top) {
    return symbol_colour((13 - (top + 92) / 48 + 28) % 14);
}

struct Marks {
    int left, middle, right, right_slow, present, atari, fanfare, close;
};

Marks marks_of(bool kakuhen, bool reach) {
    const int l = kakuhen ? 60 : 100;
    return {l,
            l + 100,
            l + 1100,
            l + 1200,
            l + 1300,
            l + (reach ? 2600 : 1400),
            l + (reach ? 2900 : 1400),
            l + (reach ? 3200 : 1400)};
}

struct Spin {
    int reach_kind = 0, atari = 0, egara = 0, shoukaku = 0, kakuhen = 0, suberi = 0;
};

struct Tick {
    int t;
    std::array<int, 3> before, after, step;
    Pixel back;
    std::array<Pixel, 3> reel;
};

// A spin as the display runs it, with what each tick did.
struct Road : DisplayRig {
    MachineRandom own;
    Spin k;
    std::vector<Tick> ticks;
    explicit Road(const Spin& spin, unsigned seed = 7)
        : DisplayRig(own), own(seed, false), k(spin) {
        paint_test_strip(d);
        s.egara_top = {312, 312, 312};
        s.reach_kind = k.reach_kind;
        s.atari_flag = k.atari;
        s.atari_egara = k.egara;
        s.shoukaku_egara = k.shoukaku;
        s.kakuhen_flag = k.kakuhen;
        s.suberi_flag = k.suberi;
        s.spin_phase = 1;
    }
    Tick step() {
        Tick x;
        for (int r = 0; r < 3; ++r)
            x.before[r] = s.egara_top[r];
        x.t = tick();
        for (int r = 0; r < 3; ++r) {
            x.after[r] = s.egara_top[r];
            x.step[r] = s.egara_step[r];
            x.reel[r] = d.PictureWaku.at(37 * r + 18, 92);
        }
        x.back = d.PictureWaku.at(113, 0);
        ticks.push_back(x);
        return x;
    }
    void run() {
        while (s.spin_phase == 1 && ticks.size() < 10000)
            step();
    }
    // Clear reels, for tests that look for sprites alone.
    void clear_strip() {
        for (Surface& picture : d.pictures.digipat)
            picture.fill(rgb(255, 255, 255));
    }
    int final_symbol() const {
        if (k.shoukaku == 0) return k.egara;
        return k.shoukaku == 14 ? 0 : k.shoukaku;
    }
};

// Checks every tick of a spin against the phases it passes through, and
// returns the ticks a jump led to (a tick that is not the one after the last).
std::vector<int> check_road(const Road& road) {
    const Spin& k = road.k;
    const Marks m = marks_of(k.kakuhen != 0, k.reach_kind > 0);
    const Pixel state_back = k.kakuhen ? kPink : kCyan;
    const bool jackpot = k.atari == 1;
    const int target0 = jackpot ? k.egara : -1;
    std::vector<int> jumps;
    std::array<bool, 3> slow{};
    std::optional<Pixel> background = kCyan; // what the previous spin left
    const auto& ticks = road.ticks;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const Tick& x = ticks[i];
        const int t = x.t;
        const int next = i + 1 < ticks.size() ? ticks[i + 1].t : 0;
        if (next && next != t + 1) jumps.push_back(next);
        const auto& target = road.s.egara_target;
        SCOPED_TRACE(::testing::Message() << "tick " << t);
        auto moves = [&](int r, int step) {
            EXPECT_EQ(x.after[r], moved(x.before[r], step))
                << "reel " << r << " should move " << step;
        };
        auto all_move = [&](int step) {
            for (int r = 0; r < 3; ++r)
                moves(r, step);
        };
        // A stopping reel: fast until it meets its slow point, then 6 until it
        // rests, which ends the phase at once (`next_mark` + 1 follows).
        auto stops = [&](int r, int fast, std::optional<int> slow_point, int next_mark) {
            if (!slow[r]) {
                moves(r, fast);
                if (slow_point ? x.after[r] == *slow_point : x.step[r] == 1) slow[r] = true;
                EXPECT_EQ(x.step[r], slow[r] ? 1 : 0) << "reel " << r;
                return;
            }
            moves(r, 6);
            if (x.after[r] == stop_of(target[r])) {
                EXPECT_EQ(x.step[r], 2) << "reel " << r << " at rest";
                EXPECT_EQ(next, next_mark + 1) << "reel " << r << " rests";
            } else {
                EXPECT_EQ(x.step[r], 1) << "reel " << r;
                EXPECT_EQ(next, t + 1) << "reel " << r << " still moves";
            }
        };
        bool drawn = true;
        if (t == 1) {
            all_move(6);
            if (jackpot) {
                const Int16 e = Int16(target0);
                EXPECT_EQ(target, (std::array<Int16, 3>{e, e, e}));
            }
        } else if (t <= 19) {
            all_move(6);
        } else if (t <= 29) {
            all_move(12);
        } else if (t == 30) {
            for (int r = 0; r < 3; ++r)
                EXPECT_TRUE(at_rest(x.after[r]))
                    << "reel " << r << " put on a symbol: " << x.after[r];
        } else if (t < m.left) {
            all_move(24);
        } else if (t < m.middle) {
            stops(0, 12, slow_of(target[0]), m.middle);
            moves(1, 24);
            moves(2, 24);
        } else if (t < m.right) {
            moves(0, 0);
            stops(1, 24, k.suberi ? std::nullopt : std::optional<int>(slow_of(target[1])), m.right);
            moves(2, 24);
        } else if (t < m.right_slow) {
            moves(0, 0);
            moves(1, 0);
            const bool was_slow = slow[2];
            moves(2, was_slow ? 6 : 12);
            if (!was_slow && x.after[2] == slow_of(target[2])) slow[2] = true;
            EXPECT_EQ(x.step[2], slow[2] ? 1 : 0);
            if (k.reach_kind == 0 && slow[2] && !was_slow) {
                EXPECT_EQ(next, m.right_slow + 1)
                    << "without a reach the slow point ends the phase";
            } else if (t + 1 < m.right_slow) {
                EXPECT_EQ(next, t + 1);
            }
        } else if (t < m.present) {
            moves(0, 0);
            moves(1, 0);
            moves(2, 6);
            if (k.reach_kind >= 2) {
                EXPECT_EQ(next, t + 1 < m.present ? t + 1 : next);
            } else if (x.after[2] == stop_of(target[2])) {
                EXPECT_EQ(next, (jackpot ? m.atari : m.close) + 1) << "the right reel rests";
            } else {
                EXPECT_EQ(next, t + 1);
            }
        } else if (t < m.atari) {
            drawn = false; // the presentation's own
        } else if (t < m.fanfare) {
            EXPECT_TRUE(jackpot);
            if (t < m.atari + 50) {
                all_move(0);
            } else if (k.shoukaku != 0 && t < m.atari + 100) {
                all_move(24);
            } else if (k.shoukaku != 0) {
                for (int r = 0; r < 3; ++r)
                    EXPECT_EQ(x.after[r], stop_of(road.final_symbol())) << "reel " << r;
                EXPECT_EQ(next, t == m.atari + 150 ? m.fanfare + 1 : t + 1);
            } else {
                all_move(0);
                EXPECT_EQ(t, m.atari + 50);
                EXPECT_EQ(next, m.fanfare + 1);
            }
        } else if (t < m.close) {
            drawn = false; // the fanfare covers the display
            EXPECT_EQ(x.after, x.before);
            EXPECT_EQ(next, t == m.fanfare + 149 ? m.close + 1 : t + 1);
        } else {
            all_move(0);
            EXPECT_EQ(next, next ? t + 1 : 0);
        }
        for (int r = 0; r < 3 && drawn; ++r)
            EXPECT_EQ(x.reel[r], reel_pixel(x.after[r]))
                << "reel " << r << " shown at " << x.after[r];
        // The background shown is the one the tick before left: each tick
        // clears to it before its work, which may change it for the next.
        if (background && (t <= m.fanfare || t >= m.close)) {
            EXPECT_EQ(x.back, *background) << "background";
        }
        if (t == 1 || (t >= m.atari && t < m.fanfare) || t > m.close) {
            background = state_back;
        } else if (t >= m.right_slow && t < m.present && k.reach_kind >= 2) {
            // The flash: a switch whenever the creeping reel stood on a multiple of 12.
            if (x.before[2] % 12 == 0) background = *background == kCyan ? kPink : kCyan;
        } else if (t >= m.present && t < m.atari) {
            background.reset(); // the presentation's own
        }
    }
    return jumps;
}

int closing_length(const Road& road) {
    return road.k.atari == 1 && KakuhenHantei(Int16(road.final_symbol())) == 1 ? 200 : 50;
}

} // namespace

TEST(SpinRoad, EveryTickMovesTheReelsAtTheirPhasesSpeedAndShowsThemWhereTheyStand) {
    struct Case {
        Spin spin;
        std::vector<int> jumps; // the ticks jumps lead to, from the marks
    };
    for (const Case& c : {
             // No reach: each rest or slow point jumps to the next phase.
             Case{Spin{}, {201, 1201, 1301, 1501}},
             Case{Spin{.kakuhen = 1}, {161, 1161, 1261, 1461}},
             // A plain reach runs its right-slow phase to its end.
             Case{Spin{.reach_kind = 1, .suberi = 1}, {201, 1201, 3301}},
             Case{Spin{.reach_kind = 1, .atari = 1, .egara = 2}, {201, 1201, 2701, 3001, 3301}},
             Case{Spin{.reach_kind = 1, .atari = 1, .egara = 8, .shoukaku = 5},
                  {201, 1201, 2701, 3001, 3301}},
             Case{Spin{.reach_kind = 1, .atari = 1, .egara = 4, .shoukaku = 14, .kakuhen = 1},
                  {161, 1161, 2661, 2961, 3261}},
         }) {
        Road road(c.spin);
        road.run();
        SCOPED_TRACE(::testing::Message()
                     << "reach " << c.spin.reach_kind << " jackpot " << c.spin.atari << " on "
                     << c.spin.egara << "/" << c.spin.shoukaku << " kakuhen " << c.spin.kakuhen);
        EXPECT_EQ(check_road(road), c.jumps);
        const Marks m = marks_of(c.spin.kakuhen, c.spin.reach_kind > 0);
        EXPECT_EQ(road.ticks.back().t, m.close + closing_length(road)) << "the end";
        EXPECT_EQ(road.s.spin_tick, 0);
        EXPECT_EQ(road.s.egara_step, (std::array<Int16, 3>{0, 0, 0}));
        EXPECT_EQ(road.s.spin_phase, 2);
        if (c.spin.reach_kind == 0) {
            // The music stops with the right reel.
            int rest = 0;
            for (std::size_t i = 1; i < road.ticks.size(); ++i)
                if (road.ticks[i].t == m.close + 1) rest = road.ticks[i - 1].t;
            EXPECT_EQ(road.cues, (std::vector<Cue>{{"kaiten.mid", 1}, {"stop", rest}}));
        }
    }
}

TEST(SpinRoad, TheBackgroundFlashesWhileTheRightReelCreepsOnBeforeAPresentation) {
    for (const Spin& spin :
         {Spin{.reach_kind = 2}, Spin{.reach_kind = 3, .atari = 1, .egara = 6}}) {
        Road road(spin);
        road.run();
        SCOPED_TRACE(::testing::Message() << "reach " << spin.reach_kind);
        const std::vector<int> jumps = check_road(road);
        ASSERT_GE(jumps.size(), 2u);
        EXPECT_EQ(std::vector<int>(jumps.begin(), jumps.begin() + 2),
                  (std::vector<int>{201, 1201}));
        std::set<Pixel> shown;
        for (const Tick& x : road.ticks)
            if (x.t >= 1300 && x.t < 1400) shown.insert(x.back);
        EXPECT_EQ(shown, (std::set<Pixel>{kCyan, kPink}))
            << "both colours during the final approach";
    }
}

namespace {

// The notice character's sheet: the picture's pixels name their column and
// row; the mask is opaque where the 64 × 72 to 48 × 54 shrink samples it
// (columns up to 62, rows up to 70) and clear in its last column and row.
void paint_notice_character(Pictures& p) {
    Surface& sheet = p.pat[4];
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 64; ++x) {
            sheet.set(x, y, rgb(200, x, y));
            sheet.set(x, y + 72, x == 63 || y == 71 ? rgb(255, 255, 255) : rgb(0, 0, 0));
        }
    p.pat[5].fill(rgb(0, 0, 0)); // the sheet beside it draws black
}

struct NoticeBox {
    int left = 1000, top = 1000, right = -1, bottom = -1;
    int count = 0;
};

NoticeBox notice_character_on(const Surface& shown) {
    NoticeBox seen;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (((shown.at(x, y) >> 16) & 0xFF) == 200) {
                seen.left = std::min(seen.left, x), seen.right = std::max(seen.right, x);
                seen.top = std::min(seen.top, y), seen.bottom = std::max(seen.bottom, y);
                ++seen.count;
            }
    return seen;
}

int green(Pixel p) {
    return (p >> 8) & 0xFF;
}
int blue(Pixel p) {
    return p & 0xFF;
}

} // namespace

TEST(NoticeCharacter, CrossesTheDisplayInTheLastFiftyTicksOfFullSpeed) {
    for (int kakuhen : {0, 1}) {
        Road road(Spin{.reach_kind = 1, .kakuhen = kakuhen});
        road.s.yokoku_chara = 1;
        paint_notice_character(road.d.pictures);
        const int left = kakuhen ? 60 : 100;
        std::set<int> ys;
        int drawn = 0;
        while (road.s.spin_phase == 1 && road.s.spin_tick < left + 10) {
            const int t = road.step().t;
            const NoticeBox seen = notice_character_on(road.d.PictureWaku);
            if (t <= left - 50 || t >= left || t < 31) {
                EXPECT_EQ(seen.count, 0) << "tick " << t;
                continue;
            }
            ++drawn;
            // x = nearest((t − mark_left + 50) × 120 / 50 − 20), from −18 to 98.
            const int x = int(std::nearbyint((t - left + 50) * 120 / 50.0 - 20));
            const int first = std::max(0, x), last = std::min(114, x + 47);
            ASSERT_GT(seen.count, 0) << "tick " << t;
            EXPECT_EQ(seen.left, first) << "tick " << t;
            EXPECT_EQ(seen.right, last) << "tick " << t;
            EXPECT_EQ(seen.bottom - seen.top, 53) << "tick " << t;
            ys.insert(seen.top);
            const Surface& shown = road.d.PictureWaku;
            EXPECT_EQ(green(shown.at(first, seen.top)), (first - x) * 64 / 48) << "tick " << t;
            EXPECT_EQ(blue(shown.at(first, seen.top)), 0) << "tick " << t;
            EXPECT_EQ(green(shown.at(last, seen.bottom)), (last - x) * 64 / 48) << "tick " << t;
            EXPECT_EQ(blue(shown.at(last, seen.bottom)), 70) << "tick " << t;
            EXPECT_EQ(seen.count, (last - first + 1) * 54)
                << "tick " << t << ": every pixel opaque";
        }
        EXPECT_EQ(drawn, kakuhen ? 29 : 49);
        EXPECT_EQ(ys, (std::set<int>{17, 18})) << "y = Int(Rnd × 2) + 17";
    }
    // Without the notice nothing of the character shows.
    Road plain(Spin{.reach_kind = 1});
    paint_notice_character(plain.d.pictures);
    while (plain.s.spin_tick < 200) {
        plain.step();
        EXPECT_EQ(notice_character_on(plain.d.PictureWaku).count, 0)
            << "tick " << plain.s.spin_tick;
    }
}

TEST(NoticeOverlays, NothingWithoutANoticeTheScrollAndTheBandFromTheLeftEdge) {
    // Level 0: neither the scrolling overlay nor the band, and no scrolling.
    Road quiet(Spin{.reach_kind = 1});
    quiet.d.pictures.pat[6].fill(rgb(0, 0, 0));
    quiet.d.pictures.pat[8].fill(rgb(0, 0, 0));
    quiet.run();
    EXPECT_EQ(quiet.s.yokoku_scroll, 0);
    for (const Tick& x : quiet.ticks)
        if (x.t < 3300) {
            EXPECT_NE(x.back, rgb(0, 0, 0)) << "tick " << x.t;
        }
    // Level 1: the scrolling overlay, its picture's pixels naming their column
    // and row, from row 96 down by one a tick (then 96 again), with a jitter
    // of 3 or 4 columns, from the tick after mark_left until mark_atari + 50
    // (a promoted jackpot stands there on mark_atari + 50 itself). The mask
    // lies 115 columns to the right of the picture: opaque where it is
    // read, clear beyond.
    Road scroll(Spin{.reach_kind = 1, .atari = 1, .egara = 8, .shoukaku = 5});
    scroll.s.yokoku_level = 1;
    Surface& overlay = scroll.d.pictures.pat[6];
    for (int y = 0; y < 192; ++y)
        for (int x = 0; x < 240; ++x)
            overlay.set(x, y,
                        x < 118   ? rgb(201, x, y)
                        : x < 234 ? rgb(0, 0, 0)
                                  : rgb(255, 255, 255));
    int row = 96;
    std::set<int> jitter;
    while (scroll.s.spin_phase == 1) {
        scroll.step();
        const int w = scroll.s.spin_tick;
        const Pixel corner = scroll.d.PictureWaku.at(0, 0);
        if (w <= 100 || w >= 2750) {
            EXPECT_NE(corner >> 16 & 0xFF, 201u) << "spin_tick " << w;
            continue;
        }
        EXPECT_EQ(blue(corner), row) << "spin_tick " << w;
        EXPECT_EQ(scroll.s.yokoku_scroll, row);
        jitter.insert(green(corner));
        const Pixel right = scroll.d.PictureWaku.at(114, 0);
        EXPECT_EQ(right, green(corner) == 3 ? rgb(201, 117, row) : rgb(0, 0, 0))
            << "spin_tick " << w;
        row = row == 0 ? 96 : row - 1;
    }
    EXPECT_EQ(jitter, (std::set<int>{3, 4}));
    // Level 2: the band, its picture's pixels naming their column and row,
    // stands at y 85 for the first 50 ticks of the right reel's phase. Its
    // mask leaves the second row clear.
    Road band(Spin{.reach_kind = 1});
    band.s.yokoku_level = 2;
    Surface& sheet = band.d.pictures.pat[8];
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 115; ++x) {
            sheet.set(x, y, rgb(202, x, y));
            sheet.set(x, y + 30, y == 1 ? rgb(255, 255, 255) : rgb(0, 0, 0));
        }
    while (band.s.spin_tick < 1210)
        band.step();
    EXPECT_EQ(band.d.PictureWaku.at(0, 85), rgb(202, 0, 0));
    EXPECT_EQ(band.d.PictureWaku.at(114, 95), rgb(202, 114, 10));
    EXPECT_NE(band.d.PictureWaku.at(0, 84) >> 16 & 0xFF, 202u);
    EXPECT_NE(band.d.PictureWaku.at(0, 86) >> 16 & 0xFF, 202u);
    EXPECT_EQ(band.d.PictureWaku.at(0, 87), rgb(202, 0, 2));
}

TEST(Promotion, TheSignStandsOverTheSpinningReelsForFiftyTicks) {
    // A jackpot on 8 promoted to 5: mark_atari 2700.
    Road road(Spin{.reach_kind = 1, .atari = 1, .egara = 8, .shoukaku = 5});
    paint_sprite_sheets(road.d.pictures);
    road.clear_strip();
    Surface& sign = road.d.pictures.pat[5];
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 64; ++x) {
            sign.set(x, y, rgb(16 * 5 + 1, x, y));
            sign.set(x, y + 72, rgb(0, 0, 0));
        }
    std::map<int, std::optional<SpriteSeen>> seen;
    while (road.s.spin_phase == 1) {
        const int t = road.step().t;
        if (t > 2700 && t <= 2850) seen[t] = sprite_on(road.d.PictureWaku);
    }
    for (int t = 2701; t <= 2850; ++t) {
        if (t >= 2750 && t < 2800)
            EXPECT_EQ(seen[t], (SpriteSeen{5, 0, 26, 16})) << "tick " << t;
        else
            EXPECT_FALSE(seen[t].has_value()) << "tick " << t;
    }
}

TEST(ClosingCharacter, AFrameLeftBeyondTheSheetShowsAsFrameZero) {
    for (int left_over : {4, 7, -1, -3}) {
        Road road(Spin{.reach_kind = 1, .atari = 1, .egara = 3});
        paint_sprite_sheets(road.d.pictures);
        road.clear_strip();
        while (road.s.spin_tick != 3300)
            road.step();
        road.s.egara_step[2] = Int16(left_over);
        road.step();
        EXPECT_EQ(sprite_on(road.d.PictureWaku), (SpriteSeen{9, 0, 0, 16})) << left_over;
    }
}

TEST(SpinRoad, ASpinHiddenMidwayRestsOnItsSymbolsAndLeavesTheStateBackground) {
    // A losing kind-2 reach hidden (jackpots only) on a tick of its final
    // approach whose flash left pink behind.
    Road road(Spin{.reach_kind = 2});
    Pixel left_behind = 0;
    while (road.s.spin_tick < 1310 || left_behind != kPink) {
        road.step();
        left_behind = road.d.back_color() == kBackKakuhen ? kPink : kCyan;
    }
    road.s.digi_mode = kDigiJackpotsOnly;
    road.step();
    EXPECT_EQ(road.s.spin_phase, 2);
    EXPECT_EQ(road.s.spin_tick, 0);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(road.d.PictureWaku.at(37 * r + 18, 92),
                  reel_pixel(stop_of(road.s.egara_target[r])))
            << "reel " << r << " shown at rest";
    // The next spin shows the background of the state from its first tick.
    road.s.digi_mode = kDigiShowAll;
    road.s.reach_kind = 0;
    road.s.spin_phase = 1;
    road.step();
    EXPECT_EQ(road.d.PictureWaku.at(113, 0), kCyan);
}

TEST(SpinRoad, ASpinHiddenMidwayLeavesNothingOfItsPicturesBehind) {
    // A Tumble jackpot's character walking off to the right (x 80 on e 50)
    // when every spin is hidden.
    Road road(Spin{.reach_kind = 2, .atari = 1, .egara = 4});
    paint_sprite_sheets(road.d.pictures);
    road.clear_strip();
    while (road.s.spin_tick != 2450)
        road.step();
    ASSERT_TRUE(sprite_on(road.d.PictureWaku).has_value());
    road.s.digi_mode = kDigiHideAll;
    road.step();
    EXPECT_EQ(road.s.spin_phase, 2);
    EXPECT_FALSE(sprite_on(road.d.PictureWaku).has_value());
}
