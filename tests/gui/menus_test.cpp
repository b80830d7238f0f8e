#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "gui/program.h"

using namespace popchan;
using popchan::testing::RecordingMedia;
using popchan::testing::ScriptedDialogs;

namespace {

struct MenuProgram : popchan::testing::TestProgram {
    MenuProgram() : TestProgram(3) { window.model().digi.set_drawing(false); }
    bool enabled(const char* name) { return window.menu(name)->isEnabled(); }
};

} // namespace

TEST(DisplayMenu, HidingDuringAShownSpinStopsTheMusicAndClosesTheSpin) {
    MenuProgram p;
    p.trigger("a3");
    while (p.m().spin.spin_tick < 50)
        p.m().advance(1);
    ASSERT_EQ(p.m().bgm.bgm_open, -1); // the spin music plays
    p.m().reach.Reach_Rireki(3, 3, 0, 0, 0);
    p.window.menu("b4_1")->trigger(); // before the clock goes on
    EXPECT_EQ(p.media.log.back(), "close");
    EXPECT_EQ(p.m().spin.spin_tick, p.m().spin.mark_close);
    EXPECT_EQ(p.m().spin.digi_mode, kDigiReachesOnly);
    EXPECT_EQ(p.m().reach.count(3, 1), 0); // the statistics start afresh
    EXPECT_TRUE(p.enabled("b2"));
    EXPECT_FALSE(p.enabled("b4_1"));
    EXPECT_TRUE(p.enabled("b4_2"));
    p.trigger("b4_2");
    EXPECT_TRUE(p.enabled("b4_1"));
    EXPECT_FALSE(p.enabled("b4_2"));
    EXPECT_TRUE(p.enabled("b2"));
    EXPECT_EQ(p.m().spin.digi_mode, kDigiJackpotsOnly);
    p.m().reach.Reach_Rireki(5, 5, 1, 0, 3);
    p.trigger("b2");
    EXPECT_FALSE(p.enabled("b2"));
    EXPECT_EQ(p.m().spin.digi_mode, kDigiShowAll);
    EXPECT_EQ(p.m().reach.count(0, 1), 0);
    p.trigger("a4");
}

TEST(DisplayMenu, BetweenSpinsTheNextSpinStillStartsFromItsBeginning) {
    MenuProgram p;
    p.m().spin.mark_close = 1500;
    p.trigger("b4_2");
    EXPECT_EQ(p.m().spin.spin_tick, 0);
}

TEST(Layouts, EachGivesItsClientSizeAndKeepsTheCorner) {
    const QSize sizes[5] = {{632, 430}, {152, 192}, {320, 192}, {462, 192}, {462, 430}};
    MenuProgram p;
    p.window.move(40, 30);
    QApplication::processEvents();
    const QPoint corner = p.window.pos();
    for (int i : {1, 2, 3, 4, 4, 0}) {
        p.trigger(("g2_" + std::to_string(i)).c_str());
        EXPECT_EQ(p.window.client()->size(), sizes[i]) << i;
        EXPECT_EQ(p.window.pos(), corner) << i;
        EXPECT_FALSE(p.window.menu("g2_" + std::to_string(i))->isChecked());
    }
}

TEST(Windows, OpenOnceOnTopAndBackToTheFront) {
    MenuProgram p;
    p.trigger("g3");
    EXPECT_TRUE(p.window.menu("g3")->isChecked());
    EXPECT_TRUE(p.window.windowFlags() & Qt::WindowStaysOnTopHint);
    p.trigger("d3");
    InfoWindow* how = p.window.siyouf();
    ASSERT_NE(how, nullptr);
    EXPECT_TRUE(how->windowFlags() & Qt::WindowStaysOnTopHint); // above the main window
    EXPECT_EQ(how->windowTitle(), "ＣＲぽぷちゃんシミュレーションの使い方");
    EXPECT_EQ(how->size(), QSize(570, 388));
    p.trigger("d3");
    EXPECT_EQ(p.window.siyouf(), how);
    p.trigger("g3");
    EXPECT_FALSE(p.window.windowFlags() & Qt::WindowStaysOnTopHint);
    p.trigger("d7");
    ASSERT_NE(p.window.salesf(), nullptr);
    EXPECT_TRUE(p.window.salesf()->isVisible());
}

TEST(Windows, AboutReopensWithTheSameTextFromTheTop) {
    MenuProgram p;
    p.trigger("d4");
    InfoWindow* about = p.window.setumeif();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "ＣＲぽぷちゃんについて");
    EXPECT_EQ(about->size(), QSize(523, 346));
    const QString text = about->text()->toPlainText();
    EXPECT_TRUE(text.startsWith(
        "■ＣＲぽぷちゃんについて\n　ぽぷちゃんキャラクターを使った架空のＣＲデジパチ"));
    about->text()->verticalScrollBar()->setValue(about->text()->verticalScrollBar()->maximum());
    about->findChild<QPushButton*>("okbutton")->click();
    QApplication::processEvents();
    EXPECT_EQ(p.window.setumeif(), nullptr);
    p.trigger("d4");
    ASSERT_NE(p.window.setumeif(), nullptr);
    EXPECT_EQ(p.window.setumeif()->text()->toPlainText(), text);
    EXPECT_EQ(p.window.setumeif()->text()->verticalScrollBar()->value(), 0);
}

TEST(Windows, ClosingTheMainWindowClosesTheOthers) {
    MenuProgram p;
    for (const char* item : {"a2", "d3", "d4", "d7"})
        p.trigger(item);
    p.m().bgm.set_app_path(POPCHAN_HELP_DIR);
    p.trigger("d2");
    p.window.close();
    QApplication::processEvents();
    EXPECT_EQ(p.window.zenteif(), nullptr);
    EXPECT_EQ(p.window.siyouf(), nullptr);
    EXPECT_EQ(p.window.setumeif(), nullptr);
    EXPECT_EQ(p.window.salesf(), nullptr);
    EXPECT_EQ(p.window.help(), nullptr);
}

TEST(Windows, VersionBox) {
    MenuProgram p;
    p.trigger("d6");
    ASSERT_EQ(p.dialogs.boxes.size(), 1u);
    const auto& box = p.dialogs.boxes[0];
    EXPECT_EQ(box.title, "ＣＲぽぷちゃんシミュレーション Ver2.10");
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_NE(box.text.find("C++ with Qt for Linux"), std::string::npos);
    EXPECT_NE(box.text.find("\n\n\nＣＲぽぷちゃんシミュレーション Ver2.10  "), std::string::npos);
    EXPECT_NE(box.text.find("2000"), std::string::npos);
    EXPECT_EQ(box.text.back(), '\n');
}

TEST(Windows, HelpOpensAtItsContentsOrSaysItIsMissing) {
    MenuProgram p;
    p.m().bgm.set_app_path(POPCHAN_HELP_DIR);
    p.trigger("d2");
    ASSERT_NE(p.window.help(), nullptr);
    const QString shown = p.window.help()->browser()->toPlainText();
    EXPECT_TRUE(shown.contains("目次")) << shown.left(200).toStdString();
    EXPECT_EQ(p.window.help()->browser()->verticalScrollBar()->value(), 0);
    p.window.help()->close();
    QApplication::processEvents();
    p.m().bgm.set_app_path("/nonexistent");
    p.trigger("d2");
    EXPECT_TRUE(p.window.help()->browser()->toPlainText().contains("見つかりません"));
    EXPECT_TRUE(p.dialogs.boxes.empty()); // the viewer says it, no box
}
