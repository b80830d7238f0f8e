// What a user meets: boxes over current figures and above the window that
// opened them, what is typed is what is committed, a reach list that stays
// where the user left it, and the keys of every desktop window.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>
#include <cmath>
#include <gtest/gtest.h>

#include "gui/program.h"

using namespace popchan;
using popchan::testing::RecordingMedia;
using popchan::testing::ScriptedDialogs;

namespace {

struct UserProgram : popchan::testing::TestProgram {
    explicit UserProgram(std::uint64_t seed = 5) : TestProgram(seed) {
        window.model().digi.set_drawing(false);
    }
    QString text(const char* name) const { return window.findChild<QLabel*>(name)->text(); }
    QListWidget* list(const char* name) const { return window.findChild<QListWidget*>(name); }
    // As the clock pump runs the day: a quarter second, then the window.
    void pump(int quarters) {
        for (int i = 0; i < quarters && dialogs.boxes.empty(); ++i) {
            m().advance(250);
            window.refresh();
        }
    }
};

// "##,##0" of a whole amount.
QString thousands(long long n) {
    QString digits = QString::number(std::llabs(n));
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, ',');
    return n < 0 ? "-" + digits : digits;
}

// The balance a result sentence names: "今日は、46600円、勝ちました。" is 46600.
long long balance_in(const std::string& box) {
    const QString text = QString::fromStdString(box);
    const int from = text.indexOf("今日は、") + 4, to = text.indexOf("円、");
    if (from < 4 || to < 0) return 0;
    const long long amount = text.mid(from, to - from).toLongLong();
    return text.contains("負けました") ? -amount : amount;
}

// What the panel shows, read while a box is open.
struct Panel {
    QString shushi, kaiten, atari, hour, minute;
    int hit_lines = 0;
    bool time_service = false;
};

Panel read_panel(const UserProgram& p) {
    return {p.text("hyouji_10"),
            p.text("hyouji_0"),
            p.text("hyouji_1"),
            p.text("jikan_1"),
            p.text("jikan_2"),
            p.list("rireki")->count(),
            p.window.findChild<QWidget*>("PicTimeService")->isVisible()};
}

// What it must show: the day's figures at that moment.
void expect_current(const Panel& shown, const DayState& d, bool time_service) {
    const int hour = int(std::floor(d.keika_byo / 3600));
    const int minute = int(std::floor(d.keika_byo / 60)) - 60 * hour;
    EXPECT_EQ(shown.kaiten, thousands(std::llround(d.kaiten_tsujo)));
    EXPECT_EQ(shown.atari, thousands(std::llround(d.atari_count)));
    EXPECT_EQ(shown.hit_lines, std::llround(d.atari_count));
    EXPECT_EQ(shown.hour, QString::number(hour + 9));
    EXPECT_EQ(shown.minute, QString::number(minute));
    EXPECT_EQ(shown.shushi, thousands(std::llround(d.shushi)));
    EXPECT_EQ(shown.time_service, time_service);
}

} // namespace

TEST(BoxesOverCurrentFigures, TheDayEndsOverItsFinalFiguresInEveryDisplayMode) {
    for (const char* mode : {"", "b4_1", "b4_2"}) {
        SCOPED_TRACE(std::string("display mode ") + mode);
        UserProgram p;
        if (*mode) p.trigger(mode);
        p.m().premises.zentei_jikan = 0.5f; // half an hour
        p.trigger("a3");
        Panel shown;
        DayState day;
        bool sign = false;
        p.dialogs.while_open = [&](const ScriptedDialogs::Box&) {
            shown = read_panel(p);
            day = p.m().day;
            sign = p.m().screen.pictimeservice;
        };
        p.pump(4 * 60 * 60 * 4);
        ASSERT_EQ(p.dialogs.boxes.size(), 1u);
        EXPECT_GE(day.keika_byo, 1800);
        expect_current(shown, day, sign);
        // The amount in the sentence is the one on the panel.
        EXPECT_EQ(shown.shushi, thousands(balance_in(p.dialogs.boxes[0].text)));
    }
}

TEST(BoxesOverCurrentFigures, ResetAndTheExitQuestionOpenOverTheFiguresOfTheMoment) {
    UserProgram p;
    p.trigger("a3");
    p.pump(40);
    // The clock runs on without the window being brought up to date.
    p.m().advance(60000);
    ASSERT_TRUE(p.dialogs.boxes.empty());
    Panel shown;
    DayState day;
    p.dialogs.while_open = [&](const ScriptedDialogs::Box&) {
        shown = read_panel(p);
        day = p.m().day;
    };
    p.trigger("a5"); // answered No
    ASSERT_EQ(p.dialogs.boxes.size(), 1u);
    expect_current(shown, day, true);
    p.m().advance(60000);
    p.trigger("a4");
    ASSERT_EQ(p.dialogs.boxes.size(), 2u);
    EXPECT_GT(day.kaiten_total, 5);
    expect_current(shown, day, true);
}

namespace {

// Closes each box that opens, noting its owner, title and text, whether it is
// kept on top and the window it stands over (the window manager keeps it
// above that one).
struct BoxWatcher {
    struct Seen {
        QWidget* owner;
        QString title, text;
        bool on_top;
        std::string over; // the title of that window
    };
    std::vector<Seen> seen;
    QTimer timer;
    BoxWatcher() {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                const QWindow* over = box->windowHandle()->transientParent();
                seen.push_back({box->parentWidget(), box->windowTitle(), box->text(),
                                box->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
                                over ? over->title().toStdString() : "<none>"});
                box->done(QMessageBox::Ok);
            }
        });
        timer.start();
    }
};

void activate(QWidget* w) {
    w->show();
    w->activateWindow();
    QApplication::setActiveWindow(w);
    QApplication::processEvents();
}

} // namespace

TEST(BoxesOnTop, InputErrorsBelongToThePremisesDialogAndStayAboveIt) {
    RecordingMedia media;
    FormDigi window(nullptr, &media, std::make_unique<MachineRandom>(2, false)); // real boxes
    window.show();
    window.menu("a2")->trigger();
    Zenteif* z = window.zenteif();
    ASSERT_NE(z, nullptr);
    z->combo(kRowKakuritu)->setEditText("0");
    BoxWatcher watcher;
    z->findChild<QPushButton*>("okbutton")->click();
    ASSERT_FALSE(watcher.seen.empty());
    for (const auto& box : watcher.seen) {
        EXPECT_EQ(box.owner, z);
        EXPECT_EQ(box.title, "入力エラー");
        EXPECT_TRUE(box.on_top);
        EXPECT_EQ(box.over, "前提入力");
    }
    // The main window's boxes over the open dialog are not hidden behind it.
    watcher.seen.clear();
    window.menu("d6")->trigger();
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].owner, &window);
    EXPECT_EQ(watcher.seen[0].title, "ＣＲぽぷちゃんシミュレーション Ver2.10");
    EXPECT_TRUE(watcher.seen[0].on_top);
    EXPECT_EQ(watcher.seen[0].over, "前提入力");
    // With no window kept on top, a box is an ordinary one over its owner.
    z->close();
    QApplication::processEvents();
    watcher.seen.clear();
    window.menu("d6")->trigger();
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].owner, &window);
    EXPECT_FALSE(watcher.seen[0].on_top);
    EXPECT_EQ(watcher.seen[0].over, "ＣＲぽぷちゃんシミュレーション");
}

TEST(BoxesOnTop, TheDayEndsInABoxAboveThePremisesDialogLeftOpen) {
    for (const bool dialog_clicked : {true, false}) {
        SCOPED_TRACE(dialog_clicked ? "the dialog clicked" : "the main window active");
        RecordingMedia media;
        FormDigi window(nullptr, &media, std::make_unique<MachineRandom>(2, false));
        window.show();
        // A give-up amount of 100 yen ends the day after a few spins.
        window.menu("a2")->trigger();
        window.zenteif()->combo(kRowGiveup)->setEditText("100");
        window.zenteif()->findChild<QPushButton*>("okbutton")->click();
        QApplication::processEvents();
        ASSERT_EQ(window.zenteif(), nullptr);
        window.menu("a2")->trigger();
        Zenteif* z = window.zenteif();
        ASSERT_NE(z, nullptr);
        window.menu("a3")->trigger();
        activate(dialog_clicked ? static_cast<QWidget*>(z) : &window);
        ASSERT_TRUE(z->isVisible());
        ASSERT_TRUE(z->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        BoxWatcher watcher;
        for (int quarter = 0; quarter < 4 * 60 * 60 * 4 && watcher.seen.empty(); ++quarter) {
            window.model().advance(250);
            window.refresh();
        }
        ASSERT_EQ(watcher.seen.size(), 1u);
        EXPECT_TRUE(watcher.seen[0].text.contains("負けました。"))
            << watcher.seen[0].text.toStdString();
        EXPECT_EQ(watcher.seen[0].owner, &window);
        EXPECT_TRUE(watcher.seen[0].on_top);
        EXPECT_EQ(watcher.seen[0].over, "前提入力");
    }
}

TEST(PremisesTyping, WhatIsTypedIsWhatIsCommitted) {
    UserProgram p;
    p.trigger("a2");
    Zenteif* z = p.window.zenteif();
    ASSERT_NE(z, nullptr);
    QComboBox* kakuritu = z->combo(kRowKakuritu);
    ASSERT_EQ(kakuritu->currentText(), "  310");
    // The user takes "10" off "  310" and types "5": the list holds "  350".
    kakuritu->lineEdit()->setFocus();
    kakuritu->lineEdit()->end(false);
    QTest::keyClick(kakuritu->lineEdit(), Qt::Key_Backspace);
    QTest::keyClick(kakuritu->lineEdit(), Qt::Key_Backspace);
    QTest::keyClicks(kakuritu->lineEdit(), "5");
    EXPECT_EQ(kakuritu->currentText(), "  35");
    QComboBox* limiter = z->combo(kRowLimiter);
    limiter->lineEdit()->selectAll();
    QTest::keyClicks(limiter->lineEdit(), "1");
    EXPECT_EQ(limiter->currentText(), "1");
    z->findChild<QPushButton*>("okbutton")->click();
    QApplication::processEvents();
    EXPECT_TRUE(p.dialogs.boxes.empty());
    EXPECT_EQ(p.m().premises.zentei_kakuritu, 35);
    EXPECT_EQ(p.m().premises.zentei_limiter, 1);
}

namespace {

// Plays on until the accounting has booked a spin that `pred` accepts.
template <class Pred> bool play_until_booked(UserProgram& p, Pred pred) {
    for (int ms = 0; ms < 5'000'000; ++ms) {
        const SpinState before = p.m().spin;
        const Single spins = p.m().day.kaiten_total;
        p.m().advance(1);
        if (p.m().day.kaiten_total != spins) {
            p.window.refresh();
            if (pred(before)) return true;
        }
    }
    return false;
}

int top_row(QListWidget* list) {
    return list->indexAt(QPoint(2, 2)).row();
}

} // namespace

TEST(ReachList, StaysWhereTheUserLeftItUntilAReachRedrawsIt) {
    UserProgram p(9);
    p.trigger("a3");
    QListWidget* list = p.list("ListReach");
    ASSERT_EQ(list->count(), 28);
    // The user scrolls down and picks a line of the probability-up section.
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    list->setCurrentRow(24);
    const int scrolled = list->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    for (int spin = 0; spin < 3; ++spin)
        ASSERT_TRUE(play_until_booked(p, [](const SpinState& s) { return s.reach_kind == 0; }));
    EXPECT_EQ(list->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(list->currentRow(), 24);

    // A reach redraws it: filled from the top, then its kind's line selected
    // and scrolled into view, no further than needed.
    SpinState reach;
    ASSERT_TRUE(play_until_booked(p, [&](const SpinState& s) {
        reach = s;
        return s.reach_kind != 0 && s.kakuhen_flag == 0;
    }));
    const int line = reach.reach_kind;
    EXPECT_EQ(list->currentRow(), line);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(line))));
    const int top = top_row(list);
    EXPECT_LE(top, line);
    if (top > 0) { // scrolled only as far as that line
        EXPECT_FALSE(list->viewport()->rect().contains(
            list->visualItemRect(list->item(line + 1)).topLeft()));
    }
    const char* const labels[11] = {"普通…", "箱  …", "箱２…", "風  …", "風２…", "猫  …",
                                    "猫２…", "精２…", "精３…", "精４…", "天使…"};
    EXPECT_TRUE(list->item(line)->text().startsWith(labels[line - 1])) << line;
}

TEST(ReachList, UnderJackpotsOnlyAReachWithoutAJackpotLeavesTheListAlone) {
    UserProgram p(9);
    p.trigger("b4_2");
    p.trigger("a3");
    QListWidget* list = p.list("ListReach");
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    list->setCurrentRow(20);
    const int scrolled = list->verticalScrollBar()->value();
    ASSERT_TRUE(play_until_booked(
        p, [](const SpinState& s) { return s.reach_kind != 0 && s.atari_flag == 0; }));
    EXPECT_EQ(list->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(list->currentRow(), 20);
    for (int i = 1; i < 28; ++i) // the counts stay as last drawn: none
        if (i != 12 && i != 14 && i != 26) {
            EXPECT_TRUE(list->item(i)->text().endsWith(" 0/ 0")) << i;
        }
}

namespace {

bool closes_on(QWidget* w, QKeySequence key) {
    QPointer<QWidget> window(w);
    activate(w);
    QTest::keySequence(w, key);
    QApplication::processEvents();
    return !window || !window->isVisible();
}

} // namespace

TEST(Keys, EscClosesTheInformationWindowsAndTheHelpViewerAlsoCtrlW) {
    UserProgram p;
    p.trigger("d3");
    EXPECT_TRUE(closes_on(p.window.siyouf(), QKeySequence(Qt::Key_Escape)));
    p.trigger("d4");
    EXPECT_TRUE(closes_on(p.window.setumeif(), QKeySequence(Qt::Key_Escape)));
    p.trigger("d7");
    EXPECT_TRUE(closes_on(p.window.salesf(), QKeySequence(Qt::Key_Escape)));
    p.trigger("d2");
    EXPECT_TRUE(closes_on(p.window.help(), QKeySequence(Qt::Key_Escape)));
    p.trigger("d2");
    EXPECT_TRUE(closes_on(p.window.help(), QKeySequence(Qt::CTRL | Qt::Key_W)));
}

TEST(Keys, EscCancelsThePremisesDialogAndEnterAnswersOk) {
    UserProgram p;
    p.trigger("a2");
    Zenteif* z = p.window.zenteif();
    ASSERT_NE(z, nullptr);
    z->combo(kRowKaiten)->setEditText("25");
    z->combo(kRowKaiten)->lineEdit()->setFocus();
    EXPECT_TRUE(closes_on(z, QKeySequence(Qt::Key_Escape)));
    EXPECT_EQ(p.m().premises.zentei_kaiten, 30); // nothing committed

    p.trigger("a2");
    z = p.window.zenteif();
    z->combo(kRowKaiten)->setEditText("25");
    z->combo(kRowKaiten)->lineEdit()->setFocus();
    EXPECT_TRUE(closes_on(z, QKeySequence(Qt::Key_Return)));
    EXPECT_EQ(p.m().premises.zentei_kaiten, 25);
    EXPECT_TRUE(p.dialogs.boxes.empty());
}
