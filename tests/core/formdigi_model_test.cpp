#include <gtest/gtest.h>

#include <cmath>

#include "common/random.h"
#include "core/fakes.h"
#include "parlour/accounting.h"
#include "parlour/formdigi_model.h"
#include "premises/validation.h"

using namespace popchan;
using popchan::testing::ScriptedDialogs;

namespace {

struct Program {
    ScriptedDialogs dialogs;
    FormDigiModel model{dialogs};
    Program() { model.Form_Load(15, 15, "/opt/popchan"); }
    bool timers_stopped() const {
        for (int t = 0; t < 3; ++t)
            if (model.clock().interval(t) != 0) return false;
        return true;
    }
};

const char* const kHeading = "シミュレーション終了\n\n";

} // namespace

TEST(StartUp, IdleWithStartValues) {
    Program p;
    const Menus& m = p.model.screen.menus;
    EXPECT_TRUE(m.a2 && m.a3 && !m.a4);
    EXPECT_TRUE(!m.b2 && m.b3 && m.b4_1 && m.b4_2);
    EXPECT_TRUE(!m.f2 && m.f3 && !m.g3_checked);
    EXPECT_TRUE(p.timers_stopped());
    EXPECT_EQ(p.model.clock().interval(3), 0);
    EXPECT_EQ(p.model.spin.spin_phase, 0);
    EXPECT_EQ(p.model.premises.zentei_kakuritu, 310);
    EXPECT_EQ(p.model.premises.zentei_kankin, 2.22f);
    EXPECT_EQ(p.model.premises.zentei_eigyo, 3);
    EXPECT_FALSE(p.model.screen.fuda[0] || p.model.screen.fuda[1]);
    for (bool box : p.model.screen.dorubako)
        EXPECT_FALSE(box);
    EXPECT_EQ(p.model.digi.scr_bkg.at(50, 50), rgb(128, 255, 255));
    EXPECT_EQ(p.model.bgm.app_path(), "/opt/popchan");
    EXPECT_TRUE(p.dialogs.boxes.empty());
    // The graph: white plot area and the black zero line at height 100.
    const Surface& g = p.model.graph.surface();
    EXPECT_EQ(g.at(200, 50), rgb(255, 255, 255));
    EXPECT_EQ(g.at(200, 100), rgb(0, 0, 0));
    EXPECT_EQ(g.at(347, 100), rgb(255, 255, 255)); // the line ends at 5200 twips, 346.7 px
    EXPECT_EQ(g.at(346, 100), rgb(0, 0, 0));
    // The reach list: 28 lines, all zero, nothing selected.
    const ReachList& list = p.model.reach.list();
    EXPECT_EQ(list.lines[0], "（通常時）");
    EXPECT_EQ(list.lines[1], "普通… 0/ 0");
    EXPECT_EQ(list.lines[13], "計… 0/ 0");
    EXPECT_EQ(list.lines[27], "計… 0/ 0");
    EXPECT_EQ(list.selected, -1);
}

TEST(StartUp, FontsScaleWithTheScreen) {
    EXPECT_EQ(scaled_font_size(8, 15), 8);
    EXPECT_EQ(scaled_font_size(8, 12), 6);
    EXPECT_EQ(scaled_font_size(9, 12), 7);
    EXPECT_EQ(scaled_font_size(10, 12), 8);
    EXPECT_EQ(scaled_font_size(14, 12), 11);
}

TEST(Start, ShowsTheStartPremisesAndRunsTheTimers) {
    Program p;
    p.model.screen.pictimeservice = false; // as the last day left it
    p.model.a3_Click();
    const auto& z = p.model.screen.zentei;
    const std::array<std::string, 9> expected = {"310",  "2100", "2",     "無制限",        "30",
                                                 "2.22", "10",   "30000", "確変以降無制限"};
    EXPECT_EQ(z, expected);
    EXPECT_EQ(p.model.clock().interval(0), 1);
    EXPECT_EQ(p.model.clock().interval(1), 10);
    EXPECT_EQ(p.model.clock().interval(2), 1);
    EXPECT_EQ(p.model.clock().interval(3), 0);
    const Menus& m = p.model.screen.menus;
    EXPECT_TRUE(!m.a2 && !m.a3 && m.a4);
    EXPECT_EQ(p.model.day.nichime, 1);
    EXPECT_FALSE(p.model.screen.pichakokisei); // no box limit
    EXPECT_TRUE(p.model.screen.pictimeservice);
    EXPECT_EQ(p.model.graph.pen_y(), 1500);
    EXPECT_TRUE(p.dialogs.boxes.empty());
}

TEST(Start, TheFirstMillisecondDrawsTheFirstSpin) {
    Program p;
    p.model.a3_Click();
    p.model.advance(1);
    EXPECT_EQ(p.model.spin.spin_phase, 1);
}

TEST(Start, PanelTextsFollowThePremises) {
    Program p;
    p.model.premises.zentei_limiter = 99;
    p.model.premises.zentei_giveup = 9999999;
    p.model.premises.zentei_eigyo = 7;
    p.model.premises.zentei_hakokisei = 3;
    p.model.premises.zentei_timeservice = 1;
    p.model.screen.pictimeservice = false;
    p.model.screen.pichakokisei = false; // as the last day left it
    p.model.a3_Click();
    EXPECT_EQ(p.model.screen.zentei[3], "99");
    EXPECT_EQ(p.model.screen.zentei[7], "無制限");
    EXPECT_EQ(p.model.screen.zentei[8], "確変→4･6･8交換");
    EXPECT_TRUE(p.model.screen.pichakokisei);
    EXPECT_EQ(p.model.screen.labelhakokiseisu, "４箱");
    EXPECT_FALSE(p.model.screen.pictimeservice);
    // A chain limit above 99 shows as unlimited.
    p.model.a4_Click();
    p.model.premises.zentei_limiter = 100;
    p.model.a3_Click();
    EXPECT_EQ(p.model.screen.zentei[3], "無制限");
}

TEST(Start, AllUnlimitedFormSetsThePlateAndDropsTheTimeServiceForGood) {
    Program p;
    p.model.premises.zentei_eigyo = 2;
    p.model.premises.zentei_timeservice = 4;
    p.model.a3_Click();
    EXPECT_EQ(p.model.day.museigen_flag, 1);
    EXPECT_TRUE(p.model.screen.fuda[0]);
    EXPECT_EQ(p.model.screen.zentei[8], "オール無制限");
    EXPECT_EQ(p.model.premises.zentei_timeservice, 1);
    p.model.a4_Click();
    EXPECT_EQ(p.model.premises.zentei_timeservice, 1);
    EXPECT_FALSE(p.model.screen.fuda[0]);
}

TEST(Start, RefusesARecordThatFailsItsChecks) {
    // A failed OK of the premises dialog leaves its values in the record.
    Program p;
    p.model.premises.zentei_kaiten = 0;
    p.model.premises.zentei_eigyo = 9;
    p.model.a3_Click();
    ASSERT_EQ(p.dialogs.boxes.size(), 2u);
    EXPECT_EQ(p.dialogs.boxes[0].text, "回転率入力エラーです。");
    EXPECT_EQ(p.dialogs.boxes[1].text, "営業形態は８形態だけです。");
    for (const auto& box : p.dialogs.boxes) {
        EXPECT_EQ(box.title, "入力エラー");
        EXPECT_EQ(box.icon, MessageIcon::Warning);
    }
    EXPECT_TRUE(p.timers_stopped());
    EXPECT_TRUE(p.model.screen.menus.a3);
    p.model.advance(100000); // nothing ticks, nothing divides by zero
    EXPECT_EQ(p.model.day.kaiten_total, 0);
}

TEST(Reset, ResultSentenceForEachBalance) {
    struct Case {
        Single shushi;
        std::string sentence;
    };
    for (const Case& c :
         {Case{-12300, "今日は、12300円、負けました。"},
          Case{45600, "今日は、45600円、勝ちました。"}, Case{1, "今日は、1円、勝ちました。"},
          Case{0, "今日は、収支トントンでした。"}}) {
        Program p;
        p.model.a3_Click();
        p.model.day.shushi = c.shushi;
        p.model.a4_Click();
        ASSERT_EQ(p.dialogs.boxes.size(), 1u);
        EXPECT_EQ(p.dialogs.boxes[0].text, kHeading + c.sentence);
        EXPECT_EQ(p.dialogs.boxes[0].title, "popchan");
        EXPECT_FALSE(p.dialogs.boxes[0].question);
    }
}

TEST(Reset, StopsTheDayAndClearsItButKeepsTheContinuations) {
    Program p;
    p.model.a3_Click();
    p.model.advance(1234);
    p.model.spin.kakuhen_zan = 3;
    p.model.spin.kakuhen_flag = 1;
    p.model.spin.atari_flag = 1;
    p.model.spin.egara_step = {1, 2, 3};
    p.model.spin.spin_phase = 2;
    p.model.day.kaiten_total = 500;
    p.model.day.mochidama = 2100;
    p.model.day.renchan = 4;
    p.model.screen.fuda[1] = true;
    p.model.screen.dorubako[5] = true;
    p.model.screen.rireki.push_back("line");
    p.model.screen.jikan = {1, 12, 30};
    p.model.spin.atari_egara = 7;
    p.model.spin.reach_kind = 4;
    p.model.spin.suberi_flag = 1;
    p.model.spin.spin_tick = 900;
    p.model.digi.set_back_color(kBackKakuhen);
    const auto revision = p.model.screen.revision;
    const auto picture = p.model.digi.PictureWaku.revision();
    p.model.a4_Click();
    EXPECT_GT(p.model.screen.revision, revision);
    EXPECT_GT(p.model.digi.PictureWaku.revision(), picture) << "the display is shown again";
    EXPECT_EQ(p.model.spin.atari_egara, 0);
    EXPECT_EQ(p.model.spin.reach_kind, 0);
    EXPECT_EQ(p.model.spin.suberi_flag, 0);
    EXPECT_EQ(p.model.spin.spin_tick, 0);

    EXPECT_TRUE(p.timers_stopped());
    const Menus& m = p.model.screen.menus;
    EXPECT_TRUE(m.a2 && m.a3 && !m.a4 && !m.f2 && m.f3);
    EXPECT_EQ(p.model.spin.kakuhen_zan, 3);
    EXPECT_EQ(p.model.spin.kakuhen_flag, 0);
    EXPECT_EQ(p.model.spin.atari_flag, 0);
    EXPECT_EQ(p.model.spin.spin_phase, 0);
    EXPECT_EQ(p.model.spin.egara_step, (std::array<Int16, 3>{0, 0, 0}));
    EXPECT_EQ(p.model.day.kaiten_total, 0);
    EXPECT_EQ(p.model.day.mochidama, 0);
    EXPECT_EQ(p.model.day.renchan, 0);
    EXPECT_EQ(p.model.day.nichime, 1);
    EXPECT_EQ(p.model.screen.jikan, (std::array<float, 3>{1, 0, 0}));
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(hyouji_text(p.model.day, i), "0");
    EXPECT_FALSE(p.model.screen.fuda[1]);
    EXPECT_FALSE(p.model.screen.dorubako[5]);
    EXPECT_TRUE(p.model.screen.rireki.empty());
    EXPECT_EQ(p.model.digi.scr_bkg.at(0, 0), rgb(128, 255, 255));
    EXPECT_EQ(p.model.graph.pen_y(), 0);
    // A new day starts from here again.
    p.model.a3_Click();
    EXPECT_EQ(p.model.clock().interval(0), 1);
}

TEST(StartUp, LoadingPutsAUsedProgramBackToItsStartState) {
    Program p;
    p.model.a3_Click();
    p.model.advance(5000);
    p.model.premises.zentei_kakuritu = 99;
    p.model.screen.menus.a2 = false;
    p.model.screen.fuda = {true, true};
    p.model.screen.dorubako[3] = true;
    p.model.screen.rireki.push_back("line");
    p.model.reach.Reach_Rireki(2, 2, 1, 0, 0);
    p.model.digi.set_back_color(kBackKakuhen);
    p.model.spin.spin_phase = 2;
    p.model.Form_Load(12, 12, "/opt/popchan");
    EXPECT_EQ(p.model.twips_per_px_x, 12);
    EXPECT_EQ(p.model.twips_per_px_y, 12);
    EXPECT_TRUE(p.timers_stopped());
    EXPECT_EQ(p.model.spin.spin_phase, 0);
    EXPECT_EQ(p.model.premises.zentei_kakuritu, 310);
    EXPECT_TRUE(p.model.screen.menus.a2);
    EXPECT_EQ(p.model.screen.fuda, (std::array<bool, 2>{false, false}));
    EXPECT_FALSE(p.model.screen.dorubako[3]);
    EXPECT_TRUE(p.model.screen.rireki.empty());
    EXPECT_EQ(p.model.reach.count(2, 1), 0.0);
    EXPECT_EQ(p.model.digi.scr_bkg.at(0, 0), rgb(128, 255, 255));
}

TEST(Start, ClearsWhatTheLastSpinLeftAndTheMusicLoop) {
    Program p;
    const auto revision = p.model.screen.revision;
    p.model.spin.spin_phase = 2;
    p.model.spin.reach_kind = 5;
    p.model.spin.atari_flag = 1;
    p.model.spin.atari_egara = 7;
    p.model.day.shushi = -5000;
    p.model.bgm.Bgm_Control("kaiten.mid", 1); // no device: only the loop runs
    ASSERT_NE(p.model.clock().interval(3), 0);
    p.model.a3_Click();
    EXPECT_EQ(p.model.spin.spin_phase, 0);
    EXPECT_EQ(p.model.spin.reach_kind, 0);
    EXPECT_EQ(p.model.spin.atari_flag, 0);
    EXPECT_EQ(p.model.spin.atari_egara, 0);
    EXPECT_EQ(p.model.day.shushi, 0);
    EXPECT_EQ(p.model.clock().interval(3), 0);
    EXPECT_GT(p.model.screen.revision, revision);
}

TEST(Exit, AsksWithTheBalanceAndNoKeepsTheDayRunning) {
    Program p;
    p.model.a3_Click();
    p.model.day.shushi = -5000;
    EXPECT_FALSE(p.model.a5_Click());
    ASSERT_EQ(p.dialogs.boxes.size(), 1u);
    const auto& box = p.dialogs.boxes[0];
    EXPECT_TRUE(box.question);
    EXPECT_EQ(box.icon, MessageIcon::Question);
    EXPECT_EQ(box.title, "ＣＲぽぷちゃんシミュレーション");
    EXPECT_EQ(box.text,
              std::string(kHeading) + "今日は、5000円、負けました。\n\n終了しますか。\n\n");
    EXPECT_EQ(p.model.clock().interval(0), 1); // still running
}

TEST(Exit, TheQuestionForEachBalance) {
    const std::pair<Single, std::string> cases[] = {
        {-5000, "今日は、5000円、負けました。\n\n終了しますか。\n\n"},
        {800, "今日は、800円、勝ちました。\n\n終了しますか。\n\n"},
        {1, "今日は、1円、勝ちました。\n\n終了しますか。\n\n"},
        {0, "終了しますか。\n\n"},
    };
    for (const auto& [balance, sentence] : cases) {
        Program p;
        p.model.day.shushi = balance;
        p.dialogs.answers = {true};
        EXPECT_TRUE(p.model.a5_Click()) << balance;
        ASSERT_EQ(p.dialogs.boxes.size(), 1u) << balance;
        EXPECT_EQ(p.dialogs.boxes[0].text, std::string(kHeading) + sentence) << balance;
    }
}

namespace {

// The resting position that shows symbol e in the middle of its reel.
int rest_position(int e) {
    return e >= 13 ? 48 * e + 24 : (12 - e) * 48 + 24;
}

// A stretch of a shown spin, as ticks from..to−1 of its marks.
struct Stretch {
    const char* name;
    int (*from)(const SpinState&);
    int (*to)(const SpinState&);
};

const Stretch kStretches[] = {
    {"spin-up", [](const SpinState&) { return 1; },
     [](const SpinState& s) { return int(s.mark_left); }},
    {"left stop", [](const SpinState& s) { return int(s.mark_left); },
     [](const SpinState& s) { return int(s.mark_middle); }},
    {"middle stop", [](const SpinState& s) { return int(s.mark_middle); },
     [](const SpinState& s) { return int(s.mark_right); }},
    {"right reel", [](const SpinState& s) { return int(s.mark_right); },
     [](const SpinState& s) { return int(s.mark_right_slow); }},
    {"right slows", [](const SpinState& s) { return int(s.mark_right_slow); },
     [](const SpinState& s) { return int(s.mark_present); }},
    {"presentation", [](const SpinState& s) { return int(s.mark_present); },
     [](const SpinState& s) { return int(s.mark_result); }},
    {"result", [](const SpinState& s) { return int(s.mark_result); },
     [](const SpinState& s) { return int(s.mark_atari); }},
};

// Plays a seeded day until a shown losing spin, with or without a reach, is
// in the stretch; false if none comes within a few simulated hours.
bool play_into(FormDigiModel& m, bool reach, const Stretch& st) {
    for (int ms = 0; ms < 20'000'000; ++ms) {
        m.advance(1);
        const SpinState& s = m.spin;
        if (s.spin_phase == 1 && s.spin_tick > 0 && s.atari_flag == 0 &&
            (s.reach_kind > 0) == reach && s.spin_tick >= st.from(s) && s.spin_tick < st.to(s))
            return true;
    }
    return false;
}

} // namespace

TEST(HideMidSpin, TheHiddenSpinRestsAndTheNextShownSpinStartsFromItsFirstTick) {
    // Hiding all but reaches can only hide a spin without a reach; hiding all
    // but jackpots hides a losing reach in any of its stretches.
    struct Case {
        Int16 mode;
        bool reach;
        int stretches;
    };
    for (const Case& c : {Case{1, false, 5}, Case{2, true, 7}}) {
        for (int i = 0; i < c.stretches; ++i) {
            const Stretch& st = kStretches[i];
            SCOPED_TRACE(std::string("b4(") + std::to_string(c.mode) + ") during " + st.name);
            ScriptedDialogs dialogs;
            FormDigiModel m{dialogs, nullptr, std::make_unique<MachineRandom>(11 + i, false)};
            m.Form_Load(15, 15, "/opt/popchan");
            m.premises.zentei_jikan = 10;
            m.a3_Click();
            ASSERT_TRUE(play_into(m, c.reach, st));
            const std::array<Int16, 3> targets = m.spin.egara_target;
            m.b4_Click(c.mode);
            // The hidden spin goes to the accounting at rest.
            while (m.spin.spin_phase == 1)
                m.advance(1);
            EXPECT_EQ(m.spin.spin_tick, 0);
            for (int r = 0; r < 3; ++r) {
                EXPECT_EQ(m.spin.egara_step[r], 0) << r;
                EXPECT_EQ(m.spin.egara_top[r], rest_position(targets[r])) << r;
            }
            // The next spin that is shown starts at its first tick and stops
            // its left reel at 100 ticks (60 in the probability-up state).
            bool seen = false;
            for (int ms = 0; ms < 20'000'000 && !seen; ++ms) {
                m.advance(1);
                if (m.spin.spin_phase == 1 && m.spin.spin_tick > 0) {
                    seen = true;
                    EXPECT_EQ(m.spin.spin_tick, 1);
                    EXPECT_EQ(m.spin.mark_left, m.spin.kakuhen_flag != 0 ? 60 : 100);
                }
            }
            EXPECT_TRUE(seen);
            EXPECT_TRUE(dialogs.boxes.empty());
        }
    }
}

TEST(Start, RefusesARecordPastItsBoundsWithEachMessageInTurn) {
    Program p;
    Premises& z = p.model.premises;
    z.zentei_kakuritu = 1001;
    z.zentei_dedama = 10001;
    z.zentei_kakuhenritu = 1001;
    z.zentei_kaiten = 1001;
    z.zentei_kankin = 4.01f;
    z.zentei_jikan = 15;
    z.zentei_giveup = 0;
    z.zentei_eigyo = 9;
    z.zentei_timeservice = 5;
    z.zentei_hakokisei = 7;
    p.model.a3_Click();
    const std::vector<std::string> expected = {
        "確率は１０００分の１以下です。",   "出玉は１００００以下です。",
        "確変率は１０００分の１以下です。", "回転率は１０００回以下です。",
        "換金率入力エラーです。",           "時間は最高１４時間です。",
        "ギブアップ金額入力エラーです。",   "営業形態は８形態だけです。",
        "タイムサービスは４種類だけです。", "ドル箱規制選択エラー"};
    std::vector<std::string> shown;
    for (const auto& box : p.dialogs.boxes) {
        shown.push_back(box.text);
        EXPECT_EQ(box.title, "入力エラー");
        EXPECT_EQ(box.icon, MessageIcon::Warning);
    }
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(p.timers_stopped());

    // At the bounds themselves the day starts.
    p.dialogs.boxes.clear();
    z = Premises{};
    z.zentei_kakuritu = 1000;
    z.zentei_dedama = 10000;
    z.zentei_kakuhenritu = 1000;
    z.zentei_kaiten = 1000;
    z.zentei_kankin = 4;
    z.zentei_jikan = 14;
    z.zentei_giveup = 1;
    z.zentei_eigyo = 8;
    z.zentei_timeservice = 4;
    z.zentei_hakokisei = 6;
    p.model.a3_Click();
    EXPECT_TRUE(p.dialogs.boxes.empty());
    EXPECT_EQ(p.model.clock().interval(2), 1);
}

TEST(Start, EveryBusinessFormAndBoxCountOnThePanel) {
    const char* const forms[8] = {"確変中持ち玉",   "オール無制限",    "確変以降無制限",
                                  "3･7無制限",      "3･7→4･6交換",     "確変→4･6交換",
                                  "確変→4･6･8交換", "確変→46､37無制限"};
    const char* const boxes[5] = {"３箱", "４箱", "５箱", "６箱", "７箱"};
    for (int form = 1; form <= 8; ++form) {
        Program p;
        p.model.premises.zentei_eigyo = form;
        p.model.premises.zentei_hakokisei = form <= 6 ? form : 1;
        p.model.a3_Click();
        EXPECT_EQ(p.model.screen.zentei[8], forms[form - 1]) << form;
        if (form >= 2 && form <= 6) {
            EXPECT_TRUE(p.model.screen.pichakokisei) << form;
            EXPECT_EQ(p.model.screen.labelhakokiseisu, boxes[form - 2]) << form;
        } else {
            EXPECT_FALSE(p.model.screen.pichakokisei) << form;
        }
    }
}

TEST(Start, ThePenStartsAtTheZeroBalanceOfTheOpeningEachDay) {
    Program p;
    p.model.a3_Click();
    EXPECT_EQ(p.model.graph.pen_x(), 0);
    EXPECT_EQ(p.model.graph.pen_y(), 1500);
    p.model.digi.set_drawing(false);
    p.model.advance(200'000); // some spins
    EXPECT_GT(p.model.day.kaiten_total, 0);
    p.model.a4_Click();
    EXPECT_EQ(p.model.graph.pen_x(), 0); // Reset leaves it at (0, 0)
    EXPECT_EQ(p.model.graph.pen_y(), 0);
    p.model.a3_Click();
    EXPECT_EQ(p.model.graph.pen_x(), 0);
    EXPECT_EQ(p.model.graph.pen_y(), 1500);
}

namespace {

// The program with a media device that records its calls.
struct WithMusic {
    ScriptedDialogs dialogs;
    popchan::testing::RecordingMedia media;
    FormDigiModel model{dialogs, &media};
    WithMusic() { model.Form_Load(15, 15, "/opt/popchan"); }
};

} // namespace

TEST(Menus, PremisesEnablesPremisesAndStartAndDisablesReset) {
    Program p;
    Menus& m = p.model.screen.menus;
    m.a2 = false, m.a3 = false, m.a4 = true;
    const auto revision = p.model.screen.revision;
    p.model.a2_Click();
    EXPECT_GT(p.model.screen.revision, revision);
    EXPECT_TRUE(m.a2);
    EXPECT_TRUE(m.a3);
    EXPECT_FALSE(m.a4);
}

TEST(Menus, ShowAllAfterHidingShowsEverySpinAndClearsTheReachStatistics) {
    Program p;
    p.model.b4_Click(2);
    p.model.reach.Reach_Rireki(1, 1, 1, 0, 0); // a plain reach that won
    ASSERT_EQ(p.model.reach.count(1, 1), 1.0);
    const auto redraws = p.model.reach.list().redraws;
    const auto revision = p.model.screen.revision;
    p.model.b2_Click();
    EXPECT_GT(p.model.screen.revision, revision);
    const Menus& m = p.model.screen.menus;
    EXPECT_FALSE(m.b2);
    EXPECT_TRUE(m.b3);
    EXPECT_TRUE(m.b4_1);
    EXPECT_TRUE(m.b4_2);
    EXPECT_EQ(p.model.spin.digi_mode, 0);
    EXPECT_EQ(p.model.reach.count(1, 1), 0.0);
    EXPECT_EQ(p.model.reach.list().lines[1], "普通… 0/ 0");
    EXPECT_GT(p.model.reach.list().redraws, redraws);
}

TEST(Sound, OffStopsWhatPlaysAndOnWaitsForTheNextCue) {
    WithMusic p;
    const Menus& m = p.model.screen.menus;
    p.model.bgm.Bgm_Control("kaiten.mid", 1);
    auto revision = p.model.screen.revision;
    p.model.f3_Click();
    EXPECT_GT(p.model.screen.revision, revision);
    EXPECT_TRUE(m.f2);
    EXPECT_FALSE(m.f3);
    EXPECT_EQ(p.model.bgm.sound_off, 1);
    EXPECT_EQ(p.media.log,
              (std::vector<std::string>{"open /opt/popchan/kaiten.mid", "play", "stop", "close"}));
    p.model.bgm.Bgm_Control("reach.mid", 1); // the switch is off: nothing plays
    EXPECT_EQ(p.media.log.size(), 4u);
    revision = p.model.screen.revision;
    p.model.f2_Click();
    EXPECT_GT(p.model.screen.revision, revision);
    EXPECT_FALSE(m.f2);
    EXPECT_TRUE(m.f3);
    EXPECT_EQ(p.model.bgm.sound_off, 0);
    EXPECT_EQ(p.media.log.size(), 4u) << "nothing plays until the next cue";
    p.model.bgm.Bgm_Control("reach.mid", 1);
    EXPECT_EQ(p.media.log.back(), "play");
}

TEST(Exit, UnloadingStopsTheMusic) {
    WithMusic p;
    p.model.bgm.Bgm_Control("atari.mid", 1);
    p.model.Form_Unload();
    EXPECT_EQ(p.media.log,
              (std::vector<std::string>{"open /opt/popchan/atari.mid", "play", "stop", "close"}));
    EXPECT_EQ(p.model.clock().interval(3), 0);
}

TEST(Start, TheLotteryDrawsFromTheProgramsOwnGenerator) {
    // A jackpot draw of 0 (n = 1), then symbol, promotion and reach draws.
    ScriptedDialogs dialogs;
    auto owned = std::make_unique<popchan::testing::ScriptedRandom>(
        std::initializer_list<double>{0.0, 0.9, 0.1, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0});
    popchan::testing::ScriptedRandom& rng = *owned;
    FormDigiModel model{dialogs, nullptr, std::move(owned)};
    model.Form_Load(15, 15, "");
    model.a3_Click();
    const std::size_t before = rng.left();
    model.advance(1);
    EXPECT_EQ(model.spin.spin_phase, 1);
    EXPECT_EQ(model.spin.atari_flag, 1);
    EXPECT_LT(rng.left(), before);
}

TEST(Reset, StopsTheMusicAndTheSpeedAndShowsTheSoundSwitchAsItIs) {
    for (int sound_off : {0, 1}) {
        WithMusic p;
        p.model.a3_Click();
        p.model.h2_Click(2);
        ASSERT_TRUE(p.model.bgm.hushed());
        p.model.h2_Click(0);
        p.model.bgm.Bgm_Control("kaiten.mid", 1);
        if (sound_off) p.model.f3_Click();
        p.media.log.clear();
        p.model.h2_Click(1);
        p.model.a4_Click();
        EXPECT_EQ(p.model.screen.menus.h2_checked, 0);
        EXPECT_FALSE(p.model.bgm.hushed());
        EXPECT_EQ(p.model.clock().interval(3), 0);
        const Menus& m = p.model.screen.menus;
        EXPECT_EQ(m.f2, sound_off == 1);
        EXPECT_EQ(m.f3, sound_off == 0);
    }
}

TEST(Menus, SpeedHushesTheMusicAboveTheMachinesOwnPace) {
    WithMusic p;
    const auto revision = p.model.screen.revision;
    p.model.h2_Click(2);
    EXPECT_EQ(p.model.screen.menus.h2_checked, 2);
    EXPECT_TRUE(p.model.bgm.hushed());
    EXPECT_GT(p.model.screen.revision, revision);
    p.model.bgm.Bgm_Control("kaiten.mid", 1);
    EXPECT_TRUE(p.media.log.empty());
    p.model.h2_Click(0);
    EXPECT_EQ(p.model.screen.menus.h2_checked, 0);
    EXPECT_FALSE(p.model.bgm.hushed());
    p.model.bgm.Bgm_Control("kaiten.mid", 1);
    EXPECT_EQ(p.media.log.back(), "play");
}

TEST(Menus, HidingStopsTheMusicClosesTheSpinBeingShownAndClearsTheStatistics) {
    WithMusic p;
    p.model.bgm.Bgm_Control("reach.mid", 1);
    p.model.spin.spin_tick = 500;
    p.model.spin.mark_close = 3300;
    p.model.spin.kakuhen_flag = 1;
    p.model.reach.Reach_Rireki(3, 3, 0, 1, 0);
    ASSERT_EQ(p.model.reach.count(23, 1), 1.0);
    const auto revision = p.model.screen.revision;
    p.model.b4_Click(1);
    const Menus& m = p.model.screen.menus;
    EXPECT_TRUE(m.b2);
    EXPECT_TRUE(m.b3);
    EXPECT_FALSE(m.b4_1);
    EXPECT_TRUE(m.b4_2);
    EXPECT_EQ(p.model.spin.digi_mode, 2);
    EXPECT_EQ(p.model.spin.spin_tick, 3300);
    EXPECT_EQ(p.model.reach.count(23, 1), 0.0);
    EXPECT_EQ(p.model.digi.scr_bkg.at(0, 0), rgb(255, 128, 128));
    EXPECT_EQ(p.media.log,
              (std::vector<std::string>{"open /opt/popchan/reach.mid", "play", "stop", "close"}));
    EXPECT_GT(p.model.screen.revision, revision);
    // Between spins nothing moves: the next spin starts from its beginning.
    p.model.spin.spin_tick = 0;
    p.model.spin.kakuhen_flag = 0;
    p.model.b4_Click(2);
    EXPECT_TRUE(m.b4_1);
    EXPECT_FALSE(m.b4_2);
    EXPECT_EQ(p.model.spin.digi_mode, 3);
    EXPECT_EQ(p.model.spin.spin_tick, 0);
    EXPECT_EQ(p.model.digi.scr_bkg.at(0, 0), rgb(128, 255, 255));
}

TEST(Exit, YesStopsTheMusicOverTheDisplayShownAgain) {
    WithMusic p;
    p.dialogs.answers.push_back(true);
    p.model.bgm.Bgm_Control("atari.mid", 1);
    const auto picture = p.model.digi.PictureWaku.revision();
    EXPECT_TRUE(p.model.a5_Click());
    EXPECT_GT(p.model.digi.PictureWaku.revision(), picture);
    EXPECT_EQ(p.media.log.back(), "close");
}

TEST(Reset, TheBoxOpensOverTheResetMenusAndTheClearedDayFollows) {
    WithMusic p;
    p.model.a3_Click();
    p.model.bgm.Bgm_Control("kaiten.mid", 1);
    // The sound menu out of step with the switch, as a day may leave it.
    p.model.screen.menus.f2 = true;
    p.model.screen.menus.f3 = false;
    p.model.day.kaiten_total = 77;
    const auto revision = p.model.screen.revision;
    std::uint64_t while_open = 0;
    p.dialogs.while_open = [&](const ScriptedDialogs::Box&) {
        while_open = p.model.screen.revision;
        EXPECT_TRUE(p.model.screen.menus.a3);
        EXPECT_FALSE(p.model.screen.menus.f2);
        EXPECT_TRUE(p.model.screen.menus.f3);
        EXPECT_EQ(p.media.log.back(), "close") << "the music stopped before the box";
    };
    p.model.a4_Click();
    EXPECT_GT(while_open, revision);
    EXPECT_EQ(p.model.day.kaiten_total, 0);
    EXPECT_GT(p.model.screen.revision, while_open) << "the cleared day is shown after the box";
}

TEST(Day, TheSmallestPremisesTheDialogTakesPlayAFiniteDay) {
    const std::string tiny = "0.0000000000000000000000000000000000000001";
    struct Case {
        std::vector<std::pair<PremiseRow, std::string>> texts;
        const char* sentence; // the result, or "" where any finite one will do
    };
    const Case cases[] = {
        // 1000 / 2^24 spins: the first spin, bought with no balls, costs
        // 16,777,216 yen and takes Int(150 / k + 3.6 + 0.5) s, far past 19:00;
        // 16,777,200 yen has more digits than a single's seven.
        {{{kRowKaiten, "0.000059604644775390625"}}, "今日は、1.67772E+07円、負けました。"},
        // A one-second day where every spin wins nothing worth a yen.
        {{{kRowJikan, "0.00027778"},
          {kRowKakuritu, tiny},
          {kRowDedama, tiny},
          {kRowKakuhenritu, tiny},
          {kRowKankin, tiny},
          {kRowGiveup, tiny}},
         "今日は、収支トントンでした。"},
        // Every spin costs and never wins a yen back: the give-up of a
        // ten-thousand-billionth yen ends the day at the first cost.
        {{{kRowDedama, tiny}, {kRowKankin, tiny}, {kRowGiveup, tiny}}, ""},
    };
    for (const Case& c : cases) {
        PremiseTexts texts = start_texts();
        for (const auto& [row, text] : c.texts)
            texts[row] = text;
        const Commit commit = convert_and_check(texts);
        ASSERT_TRUE(commit.failed.empty()) << c.sentence;
        ScriptedDialogs dialogs;
        FormDigiModel model{dialogs, nullptr, std::make_unique<MachineRandom>(7, false)};
        model.Form_Load(15, 15, "/opt/popchan");
        model.premises = commit.record;
        model.a3_Click();
        for (int i = 0; i < 1000 && model.clock().interval(0) != 0; ++i)
            model.advance(1000);
        ASSERT_EQ(model.clock().interval(0), 0) << "the day did not end";
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        const std::string& result = dialogs.boxes[0].text;
        if (*c.sentence) {
            EXPECT_EQ(result, kHeading + std::string(c.sentence));
        }
        std::string shown = result;
        for (int i = 0; i <= 10; ++i)
            shown.append(" ").append(hyouji_text(model.day, i));
        for (float v : model.screen.jikan)
            EXPECT_TRUE(std::isfinite(v)) << v;
        // The graph draws the day's points, also one far right of its width.
        EXPECT_NO_THROW(model.graph.surface());
        for (const char* word : {"INF", "NAN", "inf", "nan"})
            EXPECT_EQ(shown.find(word), std::string::npos) << shown;
    }
}

TEST(Day, UnseenScreenKeepsEveryFigureAndLeavesTheScreenAlone) {
    // Two machines on one seed, every spin hidden, one of them with nobody
    // watching (as the batch tool plays): spin by spin their figures agree,
    // and the day ends with the same sentence. Box regulation at 2 boxes and
    // the exchange-on-4-or-6 form make jackpots exchange, cap and keep balls;
    // with no give-up the day lasts its ten hours.
    struct Machine {
        ScriptedDialogs dialogs;
        FormDigiModel model{dialogs, nullptr, std::make_unique<MachineRandom>(11, false)};
        explicit Machine(bool seen) {
            model.Form_Load(15, 15, "");
            model.premises.zentei_hakokisei = 2;
            model.premises.zentei_eigyo = 6;
            model.premises.zentei_giveup = kGiveupUnlimited;
            model.spin.digi_mode = kDigiHideAll;
            model.set_screen_shown(seen);
            model.digi.set_drawing(seen);
            model.a3_Click();
        }
    };
    Machine seen(true), unseen(false);
    const std::uint64_t unseen_redraws = unseen.model.reach.list().redraws;
    int spins = 0, jackpots = 0;
    std::size_t history = 0;
    float clock_hour = 0;
    while (seen.model.clock().interval(0) != 0) {
        ASSERT_NE(unseen.model.clock().interval(0), 0) << "after spin " << spins;
        seen.model.tick_spin([] {});
        unseen.model.tick_spin([] {});
        ++spins;
        const DayState& a = seen.model.day;
        const DayState& b = unseen.model.day;
        const std::array<float, 11> figures_a = {a.keika_byo,   a.kaiten_total,  a.atari_count,
                                                 a.renchan,     a.hamari_max,    a.mochidama,
                                                 a.kankin_gaku, a.shishutsu_raw, a.shushi,
                                                 a.kaishu_gaku, a.shishutsu_gaku};
        const std::array<float, 11> figures_b = {b.keika_byo,   b.kaiten_total,  b.atari_count,
                                                 b.renchan,     b.hamari_max,    b.mochidama,
                                                 b.kankin_gaku, b.shishutsu_raw, b.shushi,
                                                 b.kaishu_gaku, b.shishutsu_gaku};
        ASSERT_EQ(figures_a, figures_b) << "after spin " << spins;
        ASSERT_EQ(seen.model.spin.kakuhen_flag, unseen.model.spin.kakuhen_flag);
        ASSERT_EQ(seen.model.screen.fuda, unseen.model.screen.fuda);
        if (seen.model.clock().interval(0) == 0) break; // the day is cleared at its end
        jackpots = int(a.atari_count);
        history = seen.model.screen.rireki.size();
        clock_hour = seen.model.screen.jikan[1];
        // Nobody watches: no history lines, and the clock still at 9:00.
        ASSERT_TRUE(unseen.model.screen.rireki.empty());
        ASSERT_EQ(unseen.model.screen.jikan, (std::array<float, 3>{1, 0, 0}));
    }
    EXPECT_EQ(unseen.model.clock().interval(0), 0);
    EXPECT_GT(spins, 1000);
    EXPECT_GT(jackpots, 5);
    EXPECT_EQ(history, std::size_t(jackpots)); // the watched one wrote a line per jackpot
    EXPECT_GE(clock_hour, 18);                 // and moved its clock to the evening
    ASSERT_EQ(seen.dialogs.boxes.size(), 1u);
    ASSERT_EQ(unseen.dialogs.boxes.size(), 1u);
    EXPECT_EQ(seen.dialogs.boxes[0].text, unseen.dialogs.boxes[0].text);

    // The reach counts agree; the unseen list was not redrawn, not even when
    // the day cleared it, and the day's end painted no background.
    for (int row = 0; row < ReachStats::kRows; ++row)
        for (int column = 0; column < 2; ++column)
            ASSERT_EQ(seen.model.reach.count(row, column), unseen.model.reach.count(row, column))
                << row << " " << column;
    const double reaches = unseen.model.reach.count(0, 1), won = unseen.model.reach.count(0, 0);
    EXPECT_GT(reaches, 50);
    EXPECT_EQ(unseen.model.reach.list().redraws, unseen_redraws);
    unseen.model.digi.set_back_color(kBackKakuhen);
    EXPECT_EQ(unseen.model.digi.scr_bkg.at(0, 0), rgb(128, 255, 255));
    // Seen again, the list shows the day's counts, " won/ reaches" in its total
    // line, with nothing selected; drawing again paints the pink background.
    unseen.model.set_screen_shown(true);
    const ReachList& list = unseen.model.reach.list();
    EXPECT_EQ(list.redraws, unseen_redraws + 1);
    EXPECT_EQ(list.lines[13],
              "計… " + std::to_string(int(won)) + "/ " + std::to_string(int(reaches)));
    EXPECT_EQ(list.selected, -1);
    unseen.model.digi.set_drawing(true);
    EXPECT_EQ(unseen.model.digi.scr_bkg.at(0, 0), rgb(255, 128, 128));
    // Saying again that a seen screen is seen redraws nothing.
    const std::uint64_t seen_redraws = seen.model.reach.list().redraws;
    seen.model.set_screen_shown(true);
    EXPECT_EQ(seen.model.reach.list().redraws, seen_redraws);
}
