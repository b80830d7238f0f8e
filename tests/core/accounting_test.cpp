#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/fakes.h"
#include "parlour/formdigi_model.h"

using namespace popchan;
using popchan::testing::ScriptedDialogs;

namespace {

// The accounting on its own, with the day's state at hand.
struct Books {
    SpinState s;
    DayState day;
    Premises z;
    ReachStats reach;
    BalanceGraph graph;
    FormDigiScreen screen;
    int days_ended = 0;
    AccountingContext c{s, day, z, reach, graph, screen, [this] { ++days_ended; }};

    Books() { day.nichime = 1; }
    void spin(int atari_flag = 0, int egara = 0, int reach_kind = 0, int shoukaku = 0) {
        s.atari_flag = atari_flag;
        s.atari_egara = egara;
        s.reach_kind = reach_kind;
        s.shoukaku_egara = shoukaku;
        s.spin_phase = 2;
        Timer3_Timer(c);
    }
};

} // namespace

TEST(SpinCost, TimeBallsAndYenBySpinRate) {
    EXPECT_EQ(normal_spin_seconds(30), 10); // 8.6 s is raised to 10
    EXPECT_EQ(balls_per_spin(30), 8);
    EXPECT_EQ(yen_per_spin(30), 33);
    EXPECT_EQ(normal_spin_seconds(25), 10);
    EXPECT_EQ(balls_per_spin(25), 10);
    EXPECT_EQ(yen_per_spin(25), 40);
    EXPECT_EQ(normal_spin_seconds(20), 11);
    EXPECT_EQ(normal_spin_seconds(7), 25);
    EXPECT_EQ(normal_spin_seconds(19), 11); // 11.49 rounds down
    EXPECT_EQ(normal_spin_seconds(21), 11); // 10.74 rounds up
    EXPECT_EQ(balls_per_spin(3), 83);       // 83.3 rounds down
    EXPECT_EQ(spin_seconds(0, 0, 25), 25);
    EXPECT_EQ(balls_per_spin(7), 36);
    EXPECT_EQ(yen_per_spin(7), 143);
    EXPECT_EQ(spin_seconds(0, 1, 25), 5);
    EXPECT_EQ(spin_seconds(1, 0, 25), 20);
    EXPECT_EQ(spin_seconds(9, 1, 25), 50);
}

TEST(Money, SpendingAndBallsRoundToWhole100Yen) {
    EXPECT_EQ(exchange_value(2100, 2.5f), 5300);
    EXPECT_EQ(exchange_value(2100, 2.22f), 4700);
    Books b;
    b.day.shishutsu_raw = 1250 - 33;
    b.spin();
    EXPECT_EQ(b.day.shishutsu_raw, 1250);
    EXPECT_EQ(b.day.shishutsu_gaku, 1300);
    EXPECT_EQ(hyouji_text(b.day, 9), "1,300");
    EXPECT_EQ(b.day.shushi, -1300);
    EXPECT_EQ(hyouji_text(b.day, 10), "-1,300");
    b.day.shishutsu_raw = 1249 - 33;
    b.spin();
    EXPECT_EQ(b.day.shishutsu_gaku, 1200);
}

TEST(Money, EverySpinBooksTheBallsWorthAndTheSpendInWholeHundreds) {
    // Balls played away at 30 spins per 1,000 yen (8 balls a spin), then yen
    // spent (33 a spin); after every spin the worth of the
    // balls at 2.22 yen is Int(2.22 × balls / 100 + 0.5) × 100 and the spend
    // Int(yen / 100 + 0.5) × 100, written out here in the machine's precision.
    auto worth = [](float balls) { return float(std::floor(2.22f * balls / 100 + 0.5) * 100); };
    auto spend = [](float yen) { return float(std::floor(yen / 100.0 + 0.5) * 100); };
    Books b;
    b.day.mochidama = 3000;
    int spins = 0, worth_changes = 0, spend_changes = 0;
    float last_worth = worth(3000), last_spend = 0;
    while (b.day.shishutsu_raw < 5000) {
        b.spin();
        ++spins;
        ASSERT_EQ(b.day.kaishu_gaku, worth(b.day.mochidama)) << "spin " << spins;
        ASSERT_EQ(b.day.shishutsu_gaku, spend(b.day.shishutsu_raw)) << "spin " << spins;
        ASSERT_EQ(b.day.shushi, b.day.kaishu_gaku - b.day.shishutsu_gaku) << "spin " << spins;
        worth_changes += b.day.kaishu_gaku != last_worth;
        spend_changes += b.day.shishutsu_gaku != last_spend;
        last_worth = b.day.kaishu_gaku;
        last_spend = b.day.shishutsu_gaku;
    }
    // 3000 balls last 375 spins and are worth 6700 yen: 67 steps down; 5016
    // yen spent is 152 spins and 50 steps up.
    EXPECT_EQ(spins, 375 + 152);
    EXPECT_EQ(worth_changes, 67);
    EXPECT_EQ(spend_changes, 50);
}

TEST(Money, AShortfallOfBallsIsBoughtAt4Yen) {
    Books b;
    b.z.zentei_kaiten = 25;
    b.day.mochidama = 1; // a single ball still pays for part of the spin
    b.spin();
    EXPECT_EQ(b.day.mochidama, 0);
    EXPECT_EQ(b.day.shishutsu_raw, 36);
    b.day.shishutsu_raw = 0;
    b.day.mochidama = 3;
    b.spin();
    EXPECT_EQ(b.day.mochidama, 0);
    EXPECT_EQ(b.day.shishutsu_raw, 28);
    b.spin();
    EXPECT_EQ(b.day.shishutsu_raw, 68); // no balls: 40 yen a spin
    b.s.kakuhen_flag = 1;
    b.spin();
    EXPECT_EQ(b.day.shishutsu_raw, 68); // nothing consumed in the probability-up state
    EXPECT_EQ(b.day.kaiten_total, 4);
    EXPECT_EQ(b.day.kaiten_tsujo, 3);
    EXPECT_EQ(b.day.hamari_max, 4);
}

TEST(BoxRegulation, ThreeBoxesExchangeTheSurplus) {
    Books b;
    b.z.zentei_hakokisei = 2; // three boxes
    b.z.zentei_kankin = 2.5f;
    b.z.zentei_eigyo = 2;
    b.day.mochidama = 7500;
    b.z.zentei_dedama = 2100;
    b.spin(1, 3, 1);
    EXPECT_EQ(b.day.mochidama, 7500);
    EXPECT_EQ(b.day.kankin_gaku, 5300);
    const int shown = std::count(b.screen.dorubako.begin(), b.screen.dorubako.end(), true);
    EXPECT_EQ(shown, 3);
}

TEST(History, LineOfTheSeventhJackpot) {
    const auto col = rireki_columns(7, 1, 5, 123, 3);
    EXPECT_EQ(col[0], "   7 ");
    EXPECT_EQ(col[1], "  10 ");
    EXPECT_EQ(col[2], ":05  ");
    EXPECT_EQ(col[3], "  123");
    EXPECT_EQ(col[4], "　３   ");
    EXPECT_EQ(rireki_columns(12, 0, 59, 12345, 13)[3], " 1234"); // cut to five characters
    EXPECT_EQ(rireki_columns(12, 0, 59, 12345, 13)[0], " 12  ");
    EXPECT_EQ(rireki_columns(123, 0, 59, 5, 14)[0], "123  ");
    EXPECT_EQ(rireki_columns(123, 0, 59, 5, 13)[1], "   9 ");
    EXPECT_EQ(rireki_columns(123, 0, 59, 5, 13)[3], "    5");
    EXPECT_EQ(rireki_columns(123, 0, 59, 5, 13)[4], "　13  ");
    EXPECT_EQ(rireki_columns(123, 0, 59, 5, -1)[4], "　14  ");
    // Each column at the edges of its padding.
    EXPECT_EQ(rireki_columns(9, 0, 9, 9, 0)[0], "   9 ");
    EXPECT_EQ(rireki_columns(10, 0, 10, 10, 0)[0], " 10  ");
    EXPECT_EQ(rireki_columns(99, 0, 0, 99, 0)[0], " 99  ");
    EXPECT_EQ(rireki_columns(100, 0, 0, 100, 0)[0], "100  ");
    EXPECT_EQ(rireki_columns(9, 0, 9, 9, 0)[2], ":09  ");
    EXPECT_EQ(rireki_columns(10, 0, 10, 10, 0)[2], ":10  ");
    EXPECT_EQ(rireki_columns(9, 0, 9, 9, 0)[3], "    9");
    EXPECT_EQ(rireki_columns(10, 0, 10, 10, 0)[3], "   10");
    EXPECT_EQ(rireki_columns(99, 0, 0, 99, 0)[3], "   99");
    EXPECT_EQ(rireki_columns(100, 0, 0, 100, 0)[3], "  100");
    EXPECT_EQ(rireki_columns(100, 0, 0, 999, 0)[3], "  999");
    EXPECT_EQ(rireki_columns(100, 0, 0, 1000, 0)[3], " 1000");
    EXPECT_EQ(rireki_columns(9, 0, 9, 9, 0)[4], "　０   ");
    EXPECT_EQ(rireki_columns(9, 0, 9, 9, 1)[4], "　１   ");
}

TEST(History, AJackpotBooksItsLineWithThePromotedSymbol) {
    Books b;
    b.day.keika_byo = 3900 - 50;
    b.day.atari_count = 6;
    b.day.kaiten_total = 200;
    b.day.kaiten_kankaku[1] = 78;
    b.spin(1, 8, 2, 3); // shown as 8, promoted to 3
    ASSERT_EQ(b.screen.rireki.size(), 1u);
    EXPECT_EQ(b.screen.rireki[0], "   7   10 :05    123　３   ");
    EXPECT_EQ(b.s.atari_egara, 3);
    EXPECT_EQ(b.s.kakuhen_flag, 1); // a first hit on a probability-up symbol
    EXPECT_EQ(b.day.hatsuatari_count, 1);
    EXPECT_EQ(b.day.renchan, 1);
    EXPECT_EQ(b.day.keika_byo, 3900 + 300);
    EXPECT_EQ(b.screen.jikan, (std::array<float, 3>{1, 10, 10}));
}

TEST(History, AJackpotOnTheHourBooksTheNewHour) {
    Books b;
    b.day.keika_byo = 3600 - 50; // booked at 3,600 s: 10:00
    b.day.kaiten_total = 200;
    b.day.kaiten_kankaku[1] = 78;
    b.spin(1, 8, 2);
    ASSERT_EQ(b.screen.rireki.size(), 1u);
    EXPECT_EQ(b.screen.rireki[0], "   1   10 :00    123　８   ");
}

TEST(History, EachLineCountsTheSpinsSinceTheJackpotBefore) {
    Books b;
    b.day.keika_byo = 3600;
    b.day.kaiten_total = 99; // the 100th spin
    b.spin(1, 8, 2);
    b.day.kaiten_total = 140; // the 141st: 41 spins later
    b.spin(1, 2, 2, 14);      // shown as 2, promoted to 0
    ASSERT_EQ(b.screen.rireki.size(), 2u);
    EXPECT_EQ(b.screen.rireki[0].substr(15), "  100　８   ");
    EXPECT_EQ(b.screen.rireki[1].substr(15), "   41　０   ");
    EXPECT_EQ(b.s.atari_egara, 0);
}

TEST(Chain, ContinuesWhileContinuationsRemain) {
    Books b;
    b.s.kakuhen_flag = 1;
    b.s.kakuhen_zan = 1;
    b.day.renchan = 2;
    b.spin(1, 5, 3);
    EXPECT_EQ(b.s.kakuhen_flag, 1);
    EXPECT_EQ(b.day.renchan, 3);
    EXPECT_EQ(b.day.renchan_max, 3);
    b.s.kakuhen_zan = -1; // below 1 means none, however far below
    b.spin(1, 8, 3);
    EXPECT_EQ(b.s.kakuhen_flag, 0);
    EXPECT_EQ(b.s.kakuhen_zan, 0);
    EXPECT_EQ(b.day.renchan, 4);
    EXPECT_EQ(b.day.hatsuatari_count, 0);
    b.spin(1, 8, 3); // a first hit on another symbol: no probability-up state
    EXPECT_EQ(b.s.kakuhen_flag, 0);
    EXPECT_EQ(b.day.renchan, 1);
    EXPECT_EQ(b.day.renchan_max, 4);
}

namespace {
// A jackpot under form `eigyo` at `seconds` after opening, with `held` balls before it.
struct Form : Books {
    Form(int eigyo, int timeservice = 1) {
        z.zentei_eigyo = eigyo;
        z.zentei_timeservice = timeservice;
        z.zentei_kankin = 2.5f;
        s.kakuhen_zan = 0;
    }
    void jackpot_at(int egara, Single seconds) {
        day.keika_byo = seconds - 50;
        s.kakuhen_flag = 0;
        spin(1, egara, 5);
    }
};
} // namespace

// Jackpots one after another under each form (2,100 balls each, 2.5 yen a
// ball, no time service): the balls held and the yen exchanged after each, the
// unlimited flag and the two plates (unlimited, balls kept). An exchange takes
// the kept balls with the new ones: 6,300 balls are 15,750 yen, rounded to
// 15,800. Symbols 5, 7, 10, 11 and 13 are probability-up symbols; 1 and 8 are not.
TEST(BusinessForms, EachFormKeepsOrExchangesAsItsRulesSay) {
    struct Step {
        int egara;
        Single seconds, balls, yen;
        int unlimited;
        std::array<bool, 2> plates;
    };
    const std::array<bool, 2> none{false, false}, kept{false, true}, unlimited{true, false};
    const std::vector<std::pair<int, std::vector<Step>>> forms = {
        // 1: kept only after a probability-up symbol (11:30 onwards)
        {1,
         {{8, 9000, 0, 5300, 0, none},
          {5, 9600, 2100, 5300, 0, kept},
          {8, 10200, 0, 15800, 0, none}}},
        // 3: unlimited after a probability-up jackpot
        {3, {{7, 5000, 2100, 0, 1, unlimited}, {8, 6000, 4200, 0, 1, unlimited}}},
        // 4: unlimited after 3 or 7; kept after another probability-up symbol
        {4,
         {{11, 5000, 2100, 0, 0, kept},
          {1, 6000, 0, 10500, 0, none},
          {7, 7000, 2100, 10500, 1, unlimited},
          {1, 8000, 4200, 10500, 1, unlimited}}},
        // 6: kept after probability-up, exchanged on 4 or 6, 8 leaves the flag
        {6,
         {{13, 5000, 2100, 0, 0, kept}, {8, 6000, 4200, 0, 0, kept}, {4, 7000, 0, 15800, 0, none}}},
        // 7: the same, exchanged on 4, 6 or 8
        {7,
         {{10, 5000, 2100, 0, 0, kept}, {9, 6000, 4200, 0, 0, kept}, {8, 7000, 0, 15800, 0, none}}},
        // 8: exchanged on 8, unlimited on 3 or 7
        {8,
         {{8, 5000, 0, 5300, 0, none},
          {3, 6000, 2100, 5300, 1, unlimited},
          {8, 7000, 4200, 5300, 1, unlimited}}},
    };
    for (const auto& [eigyo, steps] : forms) {
        Form f(eigyo);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            f.jackpot_at(step.egara, step.seconds);
            const std::string where = "form " + std::to_string(eigyo) + ", jackpot " +
                                      std::to_string(i + 1) + " on " + std::to_string(step.egara);
            EXPECT_EQ(f.day.mochidama, step.balls) << where;
            EXPECT_EQ(f.day.kankin_gaku, step.yen) << where;
            EXPECT_EQ(f.day.museigen_flag, step.unlimited) << where;
            EXPECT_EQ(f.screen.fuda, step.plates) << where;
        }
    }
}

TEST(BusinessForms, ExchangeOn46Form5) {
    Form first(5);
    first.jackpot_at(9, 5000); // the flag starts at 0: exchanged
    EXPECT_EQ(first.day.mochidama, 0);
    Form f(5);
    f.jackpot_at(3, 5000);
    for (int egara : {1, 2, 8, 9, 0, 5, 12}) {
        f.jackpot_at(egara, 6000);
        EXPECT_EQ(f.day.mochidama_ok, 1) << egara;
    }
    EXPECT_GT(f.day.mochidama, 0);
    f.jackpot_at(6, 7000);
    EXPECT_EQ(f.day.mochidama, 0);
    EXPECT_EQ(f.day.mochidama_ok, 0);
}

TEST(BusinessForms, TimeServiceKeepsTheBallsBefore12) {
    for (int eigyo : {1, 3, 4, 5, 6, 7, 8}) {
        Form f(eigyo, 4);
        f.jackpot_at(8, 10799);
        EXPECT_EQ(f.day.mochidama, 2100) << eigyo;
        f.jackpot_at(8, 10800);
        // Forms 5 and 6 leave their flag as it was on symbol 8; the others exchange.
        const bool unchanged = eigyo == 5 || eigyo == 6;
        EXPECT_EQ(f.day.mochidama, unchanged ? 4200 : 0) << eigyo;
    }
}

TEST(TimeService, TheSignShowsUntilTheWindowCloses) {
    Books b;
    b.z.zentei_timeservice = 4;
    b.day.keika_byo = 10799 - 10;
    b.spin();
    EXPECT_TRUE(b.screen.pictimeservice);
    b.day.keika_byo = 10800 - 10;
    b.spin();
    EXPECT_FALSE(b.screen.pictimeservice);
    b.z.zentei_timeservice = 1;
    b.day.keika_byo = 0;
    b.spin();
    EXPECT_FALSE(b.screen.pictimeservice);
}

TEST(EndOfDay, AfterTheHoursAndStrictlyBelowTheGiveUp) {
    Books b;
    b.z.zentei_jikan = 8;
    b.day.keika_byo = 28800 - 10;
    b.spin();
    EXPECT_EQ(b.days_ended, 0); // exactly 28,800 s is not past the hours
    b.spin();
    EXPECT_EQ(b.days_ended, 1);

    Books g;
    g.day.shishutsu_raw = 30000 - 33;
    g.spin();
    EXPECT_EQ(g.day.shushi, -30000);
    EXPECT_EQ(g.days_ended, 0);
    g.day.shishutsu_raw = 30100 - 33;
    g.spin();
    EXPECT_EQ(g.days_ended, 1);
}

TEST(EndOfDay, AJackpotThatCrossesTheHoursStillPays) {
    Books b;
    b.z.zentei_jikan = 8;
    b.day.keika_byo = 28790;
    b.z.zentei_eigyo = 2;
    b.spin(1, 2, 1);
    EXPECT_EQ(b.days_ended, 1);
    EXPECT_EQ(b.day.mochidama, 2100);
}

TEST(DollarBoxes, OneBoxFrom500BallsAndEvery2500After) {
    Books b;
    b.s.kakuhen_flag = 1; // misses cost nothing, so the balls stay as set
    for (auto [balls, boxes] :
         {std::pair{499, 0}, {500, 1}, {2999, 1}, {3000, 2}, {99500, 40}, {200000, 40}}) {
        b.screen.dorubako = {};
        b.day.mochidama = Single(balls);
        b.day.kaiten_total = 19; // the 20th spin shows the boxes
        b.spin();
        EXPECT_EQ(std::count(b.screen.dorubako.begin(), b.screen.dorubako.end(), true), boxes)
            << balls;
    }
}

TEST(DayClock, EverySpinShowsTheTimeItEndsAt) {
    Books b;
    const auto revision = b.screen.revision;
    b.day.keika_byo = 3590; // a 10 s spin ends on the hour
    b.spin();
    EXPECT_EQ(b.screen.jikan, (std::array<float, 3>{1, 10, 0}));
    EXPECT_GT(b.screen.revision, revision) << "the window is told to show it";
    b.spin();
    EXPECT_EQ(b.screen.jikan, (std::array<float, 3>{1, 10, 0}));
    b.day.keika_byo = 3649;
    b.spin();
    EXPECT_EQ(b.screen.jikan, (std::array<float, 3>{1, 10, 0}));
    b.spin();
    EXPECT_EQ(b.screen.jikan, (std::array<float, 3>{1, 10, 1}));
}

TEST(DollarBoxes, TheFirstBoxAboveTheBallsIsHiddenAndTheScanStops) {
    Books b;
    b.s.kakuhen_flag = 1;
    b.day.mochidama = 12000; // n = 5
    b.day.kaiten_total = 19;
    b.spin();
    b.day.mochidama = 5000; // n = 2: box 3 hidden, 4 and 5 left as they were
    b.day.kaiten_total = 39;
    b.spin();
    std::array<bool, 40> expected{};
    expected[0] = expected[1] = expected[3] = expected[4] = true;
    EXPECT_EQ(b.screen.dorubako, expected);
}

TEST(WholeDay, SeededDayThroughTheClockKeepsItsBooks) {
    ScriptedDialogs dialogs;
    FormDigiModel model(dialogs, nullptr, std::make_unique<MachineRandom>(99, false));
    model.Form_Load(15, 15, "");
    model.digi.set_drawing(false);
    model.spin.digi_mode = 3; // hidden but for jackpots
    model.premises.zentei_eigyo = 1;
    model.premises.zentei_hakokisei = 3;
    model.a3_Click();
    int reach_spins = 0;
    Single counted = 0;
    while (dialogs.boxes.empty()) {
        model.advance(1);
        if (model.spin.spin_phase == 1 && model.day.kaiten_total == counted) {
            ++counted;
            reach_spins += model.spin.reach_kind != 0;
        }
        // The books balance after every spin: the balls held are worth their
        // yen in whole 100 yen, half up, so at most 50 yen away from the exact
        // value.
        const DayState& d = model.day;
        const Single balls_yen = d.kaishu_gaku - d.kankin_gaku;
        ASSERT_EQ(std::fmod(balls_yen, 100.0f), 0);
        ASSERT_LE(std::fabs(balls_yen - 2.22 * d.mochidama), 50) << d.mochidama;
        ASSERT_EQ(d.shushi, d.kaishu_gaku - d.shishutsu_gaku);
        ASSERT_EQ(std::fmod(d.kankin_gaku, 100.0f), 0);
        ASSERT_GE(d.kaiten_total, d.kaiten_tsujo);
        ASSERT_LE(d.hatsuatari_count, d.atari_count);
        ASSERT_EQ(std::fmod(d.shishutsu_gaku, 100.0f), 0);
        ASSERT_EQ(model.screen.rireki.size(), std::size_t(d.atari_count));
        ASSERT_EQ(model.reach.count(0, 1) + model.reach.count(20, 1),
                  reach_spins - (model.spin.spin_phase == 1 && model.spin.reach_kind != 0));
        ASSERT_LT(model.clock().now(), 50'000'000) << "the day never ended";
    }
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text.rfind("シミュレーション終了\n\n今日は、", 0), 0u);
    EXPECT_EQ(model.day.kaiten_total, 0); // cleared by the end of the day
    EXPECT_GT(counted, 1000);
    EXPECT_TRUE(model.screen.menus.a3);
}

TEST(WholeDay, AnHourOfScriptedSpinsBalancesToTheYen) {
    // The start-up premises but one hour of play, form 1 and no time service:
    // a plain spin takes 10 s and costs 8 balls or 33 yen.
    Books b;
    b.z.zentei_jikan = 1;
    b.z.zentei_eigyo = 1;
    b.z.zentei_timeservice = 1;
    auto misses = [&](int n) {
        for (int i = 0; i < n; ++i)
            b.spin();
    };

    misses(50); // 50 × 33 = 1,650 yen, shown as 1,700; 500 s
    EXPECT_EQ(b.day.shishutsu_raw, 1650);
    EXPECT_EQ(b.day.shushi, -1700);

    b.spin(1, 5, 1); // first hit on 5: 2,100 balls kept; 500 + 20 + 300 = 820 s
    // 2,100 × 2.22 = 4,662 yen → 4,700; 4,700 − 1,700 = 3,000
    EXPECT_EQ(b.day.mochidama, 2100);
    EXPECT_EQ(b.day.kaishu_gaku, 4700);
    EXPECT_EQ(b.day.shushi, 3000);
    EXPECT_EQ(b.s.kakuhen_flag, 1);

    misses(10); // probability-up state: 5 s each and free; 870 s
    EXPECT_EQ(b.day.keika_byo, 870);
    EXPECT_EQ(b.day.mochidama, 2100);

    b.s.kakuhen_zan = 0;
    b.spin(1, 12, 2); // ends the state, balls kept on 12; 870 + 50 + 300 = 1,220 s
    // 4,200 × 2.22 = 9,324 yen → 9,300; 9,300 − 1,700 = 7,600
    EXPECT_EQ(b.day.mochidama, 4200);
    EXPECT_EQ(b.day.shushi, 7600);
    EXPECT_EQ(b.s.kakuhen_flag, 0);

    misses(100); // 800 balls: 3,400 left; 2,220 s
    // 3,400 × 2.22 = 7,548 yen → 7,500; 7,500 − 1,700 = 5,800
    EXPECT_EQ(b.day.mochidama, 3400);
    EXPECT_EQ(b.day.shushi, 5800);

    b.spin(1, 8, 1); // first hit on 8 outside time service: all exchanged; 2,540 s
    // 5,500 × 2.22 = 12,210 yen → 12,200; 12,200 − 1,700 = 10,500
    EXPECT_EQ(b.day.mochidama, 0);
    EXPECT_EQ(b.day.kankin_gaku, 12200);
    EXPECT_EQ(b.day.shushi, 10500);

    misses(106); // 1,650 + 106 × 33 = 5,148 yen → 5,100; exactly 3,600 s
    EXPECT_EQ(b.day.keika_byo, 3600);
    EXPECT_EQ(b.day.shushi, 7100);
    EXPECT_EQ(b.days_ended, 0);

    misses(1); // 5,181 yen → 5,200; 3,610 s is past the hour
    EXPECT_EQ(b.day.shishutsu_gaku, 5200);
    EXPECT_EQ(b.day.shushi, 7000);
    EXPECT_EQ(hyouji_text(b.day, 10), "7,000");
    EXPECT_EQ(b.days_ended, 1);
    EXPECT_EQ(b.day.kaiten_total, 270);
    EXPECT_EQ(b.day.kaiten_tsujo, 259); // all but the 11 spins in the probability-up state
    EXPECT_EQ(b.day.atari_count, 3);
    EXPECT_EQ(b.day.hatsuatari_count, 2);
    EXPECT_EQ(b.day.renchan_max, 2);
    EXPECT_EQ(b.day.hamari_max, 107);
}

TEST(Hamari, StartsAgainAtEveryJackpot) {
    Books b;
    b.z.zentei_eigyo = 2;
    for (int i = 0; i < 3; ++i)
        b.spin();
    EXPECT_EQ(b.day.hamari, 3);
    EXPECT_EQ(hyouji_text(b.day, 3), "3");
    b.spin(1, 2, 1);
    EXPECT_EQ(b.day.hamari, 0);
    EXPECT_EQ(hyouji_text(b.day, 3), "0");
    EXPECT_EQ(b.day.hamari_max, 3);
    b.spin();
    EXPECT_EQ(b.day.hamari, 1);
    EXPECT_EQ(b.day.hamari_max, 3);
}

TEST(DollarBoxes, AllHiddenWhenTheBallsAreExchanged) {
    Form f(1);
    f.day.mochidama = 12000;
    f.screen.dorubako = {};
    for (int i = 0; i < 5; ++i)
        f.screen.dorubako[i] = true; // 12,000 balls show five boxes
    f.jackpot_at(8, 9000);           // 14,100 balls exchanged under form 1
    EXPECT_EQ(f.day.mochidama, 0);
    EXPECT_EQ(f.day.kankin_gaku, 35300); // 14,100 × 2.5 = 35,250 → 35,300
    EXPECT_EQ(std::count(f.screen.dorubako.begin(), f.screen.dorubako.end(), true), 0);
}

TEST(DollarBoxes, KeptBallsShowTheirBoxesAtTheJackpot) {
    Form f(1);
    f.jackpot_at(5, 9000); // 2,100 balls kept: one box
    EXPECT_EQ(std::count(f.screen.dorubako.begin(), f.screen.dorubako.end(), true), 1);
    f.jackpot_at(7, 9600); // 4,200: two boxes
    EXPECT_EQ(std::count(f.screen.dorubako.begin(), f.screen.dorubako.end(), true), 2);
}

TEST(BoxRegulation, EveryCodeWithItsLimit) {
    // 20,000 balls and a payout of 2,100 under unlimited play, at 2.5 yen a ball.
    struct Case {
        int code;
        Single kept, exchanged_yen;
        int boxes;
    };
    const Case cases[] = {
        {1, 22100, 0, 9},     // no limit: Int(24,100 ÷ 2,500) = 9 boxes
        {2, 7500, 36500, 3},  // 14,600 × 2.5 = 36,500
        {3, 10000, 30300, 4}, // 12,100 × 2.5 = 30,250 → 30,300
        {4, 12500, 24000, 5}, // 9,600 × 2.5 = 24,000
        {5, 15000, 17800, 6}, // 7,100 × 2.5 = 17,750 → 17,800
        {6, 17500, 11500, 7}, // 4,600 × 2.5 = 11,500
    };
    for (const Case& k : cases) {
        Books b;
        b.z.zentei_eigyo = 2;
        b.z.zentei_kankin = 2.5f;
        b.z.zentei_hakokisei = k.code;
        b.day.mochidama = 20000;
        b.spin(1, 2, 1);
        EXPECT_EQ(b.day.mochidama, k.kept) << k.code;
        EXPECT_EQ(b.day.kankin_gaku, k.exchanged_yen) << k.code;
        EXPECT_EQ(std::count(b.screen.dorubako.begin(), b.screen.dorubako.end(), true), k.boxes)
            << k.code;
    }
}

TEST(BoxRegulation, TheLimitItselfIsKept) {
    // One ball past each limit is exchanged (1 × 2.5 yen → 0 yen), the limit kept.
    const std::pair<int, Single> limits[] = {
        {2, 7500}, {3, 10000}, {4, 12500}, {5, 15000}, {6, 17500}};
    for (auto [code, limit] : limits) {
        Books b;
        b.z.zentei_eigyo = 2;
        b.z.zentei_hakokisei = code;
        b.day.mochidama = limit - 2100;
        b.spin(1, 2, 1);
        EXPECT_EQ(b.day.mochidama, limit) << code;
        b.day.mochidama = limit + 1 - 2100;
        b.spin(1, 2, 1);
        EXPECT_EQ(b.day.mochidama, limit) << code;
        b.day.mochidama = limit + 200 - 2100;
        b.spin(1, 2, 1);
        EXPECT_EQ(b.day.mochidama, limit) << code;
        EXPECT_EQ(b.day.kankin_gaku, 400) << code; // 200 × 2.22 = 444 → 400
    }
}

TEST(BusinessForms, ThreeOrSevenInTimeServiceStillMakesTheDayUnlimited) {
    // Under forms 4 and 8 the 3/7 rule comes before the time service.
    for (int eigyo : {4, 8})
        for (int egara : {3, 7}) {
            Form f(eigyo, 4);
            f.jackpot_at(egara, 5000); // 10:23, in time service until 12:00
            EXPECT_EQ(f.day.museigen_flag, 1) << eigyo << " " << egara;
            EXPECT_EQ(f.screen.fuda, (std::array<bool, 2>{true, false})) << eigyo << " " << egara;
            f.jackpot_at(4, 20000); // past the service: still unlimited
            EXPECT_EQ(f.day.mochidama, 4200) << eigyo << " " << egara;
        }
}

TEST(BalanceGraph, PlottedEvery20thSpinAndAtEachJackpot) {
    Books b; // k = 30, 10 hours: a plain spin takes 10 s and costs 33 yen
    b.graph.clear(15, 15);
    b.graph.start_pen();
    for (int i = 1; i <= 19; ++i) {
        b.spin();
        ASSERT_EQ(b.graph.pen_x(), 0) << "spin " << i;
    }
    b.spin();
    // 200 s: x = 5,200 ÷ 36,000 × 200 = 28.89; 20 × 33 = 660 yen spent, shown
    // as 700: y = 1,500 + 700 × 0.015 = 1,510.5
    EXPECT_NEAR(b.graph.pen_x(), 28.89, 0.01);
    EXPECT_FLOAT_EQ(b.graph.pen_y(), 1510.5);

    b.z.zentei_eigyo = 2;
    b.spin(1, 2, 1); // the 21st spin, a jackpot: 200 + 20 + 300 = 520 s
    // x = 5,200 ÷ 36,000 × 520 = 75.11, at the balance of the spin before
    EXPECT_NEAR(b.graph.pen_x(), 75.11, 0.01);
    EXPECT_FLOAT_EQ(b.graph.pen_y(), 1510.5);

    for (int i = 22; i <= 39; ++i) {
        b.spin();
        ASSERT_NEAR(b.graph.pen_x(), 75.11, 0.01) << "spin " << i;
    }
    b.spin(); // the 40th spin: 520 + 19 × 10 = 710 s → x = 102.56
    EXPECT_NEAR(b.graph.pen_x(), 102.56, 0.01);
    // 2,100 − 19 × 8 = 1,948 balls at 2.22 yen = 4,324.56 → 4,300; 4,300 − 700
    // = 3,600: y = 1,500 − 3,600 × 0.015 = 1,446
    EXPECT_FLOAT_EQ(b.graph.pen_y(), 1446);
}
