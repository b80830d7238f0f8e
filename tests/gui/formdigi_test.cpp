#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/formdigi.h"
#include "core/fakes.h"
#include "gui/program.h"
#include "widgets/layout.h"

using namespace popchan;
using popchan::testing::ScriptedDialogs;
using popchan::testing::text_of;
using popchan::testing::wait_ms;

namespace {

QRect geometry_of(const FormDigi& w, const char* name) {
    auto* c = w.findChild<QWidget*>(name);
    return c ? c->geometry() : QRect();
}

// A message box that stays open for a while, as a user takes time to read it.
class SlowDialogs : public ScriptedDialogs {
  public:
    explicit SlowDialogs(ModalTracker*& modal) : modal_(modal) {}
    bool ask_yes_no(const std::string& text, const std::string& title, MessageIcon icon) override {
        modal_->enter();
        clock_at_open = window->model().clock().now();
        wait_ms(300);
        clock_at_close = window->model().clock().now();
        modal_->leave();
        return ScriptedDialogs::ask_yes_no(text, title, icon);
    }
    FormDigi* window = nullptr;
    std::int64_t clock_at_open = -1, clock_at_close = -1;

  private:
    ModalTracker*& modal_;
};

} // namespace

TEST(MainWindow, StartUpLayoutTextsAndMenus) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.show();
    EXPECT_EQ(w.client()->size(), QSize(632, 430));
    EXPECT_EQ(w.windowTitle(), "ＣＲぽぷちゃんシミュレーション");
    EXPECT_EQ(geometry_of(w, "PictureDigi"), QRect(8, 8, 137, 177));
    EXPECT_EQ(geometry_of(w, "picgraph_0"), QRect(8, 193, 448, 226));
    EXPECT_EQ(geometry_of(w, "pichyouji"), QRect(464, 192, 161, 225));
    EXPECT_EQ(geometry_of(w, "piczentei").topLeft(), QPoint(463, 8));
    // Inside a bordered panel, places count from inside the border.
    EXPECT_EQ(geometry_of(w, "PictureWaku"), QRect(12, 8, 115, 96));
    EXPECT_EQ(geometry_of(w, "zentei_8").size(), QSize(101, 16));

    EXPECT_EQ(text_of(w, "LabelReach"), "種類 … 当り / ﾘｰﾁ");
    EXPECT_EQ(text_of(w, "rirekimei"), "  NO.  時間   回転   絵柄");
    EXPECT_EQ(text_of(w, "zenteimei_5"), "換金率(¥/個)");
    EXPECT_EQ(text_of(w, "zenteimei_6"), "プレイ時間(h)");
    EXPECT_EQ(text_of(w, "hyoujimei_10"), "収支");
    EXPECT_EQ(text_of(w, "hyoujimei_13"), "（当日成績）");
    EXPECT_EQ(text_of(w, "graphmei_1"), "+10万円");
    EXPECT_EQ(text_of(w, "Labelhakokiseisu"), "５箱");
    EXPECT_EQ(text_of(w, "jikan_0"), "1");
    EXPECT_EQ(text_of(w, "hyouji_7"), "0");
    EXPECT_EQ(w.findChild<QLabel*>("hyouji_0")->font().pointSize(), 8);
    EXPECT_EQ(w.findChild<QLabel*>("Label3")->font().pointSize(), 10);
    EXPECT_EQ(w.findChild<QListWidget*>("ListReach")->count(), 28);
    EXPECT_FALSE(w.findChild<QWidget*>("fuda_0")->isVisible());
    EXPECT_FALSE(w.findChild<QWidget*>("imgdorubako_40")->isVisible());

    EXPECT_TRUE(w.menu("a2")->isEnabled());
    EXPECT_TRUE(w.menu("a3")->isEnabled());
    EXPECT_FALSE(w.menu("a4")->isEnabled());
    EXPECT_FALSE(w.menu("b2")->isEnabled());
    EXPECT_TRUE(w.menu("b4_1")->isEnabled());
    EXPECT_FALSE(w.menu("f2")->isEnabled());
    EXPECT_TRUE(w.menu("f3")->isEnabled());
    EXPECT_FALSE(w.menu("g3")->isChecked());
    EXPECT_EQ(w.menu("a3")->text(), "ｽﾀｰﾄ(&S&ﾄ)");
    EXPECT_EQ(w.menu("d4")->text(), "ＣＲぽぷちゃんについて(&P&ｾ)");
    EXPECT_FALSE(w.pump_running()); // idle: nothing ticks
}

TEST(MainWindow, SmallFontsScreenKeepsThePixelLayout) {
    const int saved_x = twips_per_px_x(), saved_y = twips_per_px_y();
    set_twips_per_px(12, 12);
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    set_twips_per_px(saved_x, saved_y);
    EXPECT_EQ(w.client()->size(), QSize(632, 430));
    EXPECT_EQ(w.findChild<QLabel*>("hyouji_0")->font().pointSize(), 6);
    EXPECT_EQ(w.findChild<QLabel*>("Label4")->font().pointSize(), 7);
    EXPECT_EQ(w.findChild<QLabel*>("Label3")->font().pointSize(), 8);
    EXPECT_EQ(w.model().twips_per_px_x, 12);
}

TEST(MainWindow, StartAndResetFromTheMenu) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.show();
    w.menu("a3")->trigger();
    EXPECT_EQ(text_of(w, "zentei_0"), "310");
    EXPECT_EQ(text_of(w, "zentei_3"), "無制限");
    EXPECT_EQ(text_of(w, "zentei_5"), "2.22");
    EXPECT_EQ(text_of(w, "zentei_6"), "10");
    EXPECT_EQ(text_of(w, "zentei_8"), "確変以降無制限");
    EXPECT_FALSE(w.menu("a3")->isEnabled());
    EXPECT_TRUE(w.menu("a4")->isEnabled());
    EXPECT_TRUE(w.pump_running());
    // The day's clock runs with the event loop (waited for: a busy machine is slow).
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.model().clock().now() > 0; }, 10000));

    w.menu("a4")->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "シミュレーション終了\n\n今日は、収支トントンでした。");
    EXPECT_FALSE(w.pump_running());
    EXPECT_TRUE(w.menu("a3")->isEnabled());
}

TEST(MainWindow, ExitAsksAndNoLeavesTheDayRunning) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.show();
    w.menu("a3")->trigger();
    dialogs.answers = {false};
    w.menu("a5")->trigger();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.pump_running());
    dialogs.answers = {true};
    w.menu("a5")->trigger();
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].title, "ＣＲぽぷちゃんシミュレーション");
}

TEST(MainWindow, TheClockStandsStillWhileABoxIsOpen) {
    ModalTracker* modal = nullptr;
    SlowDialogs dialogs(modal);
    FormDigi w(&dialogs);
    modal = &w.modal();
    dialogs.window = &w;
    w.show();
    w.menu("a3")->trigger();
    wait_ms(50);
    dialogs.answers = {false};
    w.menu("a5")->trigger(); // the box stays open for 300 ms
    EXPECT_EQ(dialogs.clock_at_open, dialogs.clock_at_close);
    // After the box the clock resumes without making up the 300 ms.
    const std::int64_t after_box = w.model().clock().now();
    QElapsedTimer real;
    real.start();
    wait_ms(40);
    const std::int64_t advanced = w.model().clock().now() - after_box;
    EXPECT_LE(advanced, real.elapsed() + 5);
}
