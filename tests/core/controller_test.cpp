#include <gtest/gtest.h>

#include "core/fakes.h"
#include "parlour/controller.h"
#include "parlour/formdigi_model.h"

using namespace popchan;
using popchan::testing::ScriptedDialogs;

namespace {

struct Machine {
    ScriptedDialogs dialogs;
    FormDigiModel m{dialogs, nullptr, std::make_unique<MachineRandom>(3, false)};
    Machine() { m.Form_Load(15, 15, ""); }
};

} // namespace

TEST(Controller, EveryMenuItemDoesItsPartAndAsksTheRest) {
    // Each item by the name the menus give it: what the front end is asked
    // to do, and what the window then shows.
    using K = Request::Kind;
    struct Row {
        const char* name;
        Request asked;
        int speed;     // the play speed after it
        bool revision; // the window's state changed
    };
    const Row rows[] = {
        {"a2", {K::Open, SubWindow::Premises}, 1, true},
        {"d2", {K::Open, SubWindow::Help}, 1, false},
        {"d3", {K::Open, SubWindow::Siyou}, 1, false},
        {"d4", {K::Open, SubWindow::Setumei}, 1, false},
        {"d7", {K::Open, SubWindow::Sales}, 1, false},
        {"g2_0", {K::Layout, SubWindow::Premises, 0}, 1, false},
        {"g2_4", {K::Layout, SubWindow::Premises, 4}, 1, false},
        // 等速, ２倍速, ５倍速, １０倍速.
        {"h2_1", {}, 2, true},
        {"h2_2", {}, 5, true},
        {"h2_3", {}, 10, true},
        {"b2", {}, 1, true},
        {"b4_1", {}, 1, true},
        {"b4_2", {}, 1, true},
        {"f2", {}, 1, true},
        {"f3", {}, 1, true},
        // Names no menu has.
        {"g2_5", {}, 1, false},
        {"h2_4", {}, 1, false},
        {"h2_", {}, 1, false},
        {"g2_", {}, 1, false},
        {"b4_0", {}, 1, false},
        {"b4_3", {}, 1, false},
        {"a", {}, 1, false},
        {"a22", {}, 1, false},
        {"", {}, 1, false},
    };
    for (const Row& r : rows) {
        Machine w;
        const auto before = w.m.screen.revision;
        EXPECT_EQ(choose(w.m, r.name), r.asked) << r.name;
        EXPECT_EQ(w.m.speed(), r.speed) << r.name;
        EXPECT_EQ(w.m.screen.revision != before, r.revision) << r.name;
        EXPECT_TRUE(w.dialogs.boxes.empty()) << r.name;
    }
    Machine w;
    choose(w.m, "h2_3");
    choose(w.m, "h2_0");
    EXPECT_EQ(w.m.speed(), 1) << "等速 after １０倍速";
    choose(w.m, "b4_1");
    EXPECT_FALSE(w.m.screen.menus.b4_1);
    EXPECT_TRUE(w.m.screen.menus.b4_2);
    choose(w.m, "a3");
    EXPECT_TRUE(w.m.clock().any_running());
    choose(w.m, "a4");
    EXPECT_FALSE(w.m.clock().any_running());
    // The version box.
    choose(w.m, "d6");
    ASSERT_EQ(w.dialogs.boxes.size(), 2u); // the day's end, then the version
    EXPECT_EQ(w.dialogs.boxes[1].title, "ＣＲぽぷちゃんシミュレーション Ver2.10");
}

TEST(Controller, OnTopAndExitAreTheWindowsToCarryOut) {
    Machine w;
    // 常に前面表示: checked by the first click, cleared by the next; each
    // moves the revision the front ends redraw by.
    for (const bool on : {true, false}) {
        const auto before = w.m.screen.revision;
        EXPECT_EQ(choose(w.m, "g3"), (Request{Request::Kind::OnTop, SubWindow::Premises, 0, on}));
        EXPECT_EQ(w.m.screen.menus.g3_checked, on);
        EXPECT_NE(w.m.screen.revision, before);
    }
    // 終了: No keeps the window, Yes closes it.
    w.dialogs.answers = {false, true};
    EXPECT_EQ(choose(w.m, "a5"), Request{});
    EXPECT_EQ(choose(w.m, "a5"), Request{Request::Kind::Close});
    ASSERT_EQ(w.dialogs.boxes.size(), 2u);
    EXPECT_TRUE(w.dialogs.boxes[0].question);
}

TEST(Controller, ThePacerTurnsRealMillisecondsIntoTheModels) {
    // At ×1 and ×10: nothing while the clock stands; then the whole
    // milliseconds since the frame before, the fraction kept; a stall of two
    // seconds made up for a quarter second only; nothing while a box is
    // open, and a fresh start after it closed.
    struct Step {
        double now;
        bool box_open;
        int closed;
        std::int64_t due; // at ×1
    };
    const Step steps[] = {
        {100, false, 0, 50},  {116.7, false, 0, 16},   {133.4, false, 0, 17}, {133.9, false, 0, 0},
        {134.4, false, 0, 1}, {2134.4, false, 0, 250}, {2140, false, 0, 5},   {2200, true, 0, 0},
        {2300, false, 1, 0},  {2310, false, 1, 10},
    };
    for (const int speed : {1, 10}) {
        Machine w;
        Pacer pacer;
        EXPECT_EQ(pacer.due(w.m, 50, false, 0), 0) << "a clock that stands";
        choose(w.m, "a3");
        choose(w.m, speed == 1 ? "h2_0" : "h2_3");
        for (const Step& s : steps)
            EXPECT_EQ(pacer.due(w.m, s.now, s.box_open, std::uint64_t(s.closed)), s.due * speed)
                << speed << " at " << s.now;
        // The day ends (its box answered at once): nothing while the clock
        // stands, and the next day at the machine's own pace from the frame
        // before it.
        choose(w.m, "a4");
        EXPECT_EQ(pacer.due(w.m, 2410, false, 1), 0) << speed;
        choose(w.m, "a3");
        EXPECT_EQ(pacer.due(w.m, 2426, false, 1), 16) << speed;
    }
}
