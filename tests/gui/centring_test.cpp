// Windows and message boxes are centred with their outer frame, once the
// window manager has framed them. Runs on a display with a window manager
// (centring_test.sh); elsewhere there is no frame to centre and the tests skip.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/formdigi.h"
#include "core/fakes.h"
#include "gui/program.h"

using namespace popchan;
using popchan::testing::ScriptedDialogs;
using popchan::testing::wait_ms;

namespace {

// Waits for the window manager to frame the window, and for the frame to
// settle where the program puts it. Polls with a generous bound, so that a
// busy machine only makes the test slower.
constexpr int kPatienceMs = 15000;

QRect centred(const QWidget* w) {
    const QRect screen = w->screen()->geometry();
    const QRect frame = w->frameGeometry();
    return QRect(
        QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2),
        frame.size());
}

bool framed(const QWidget* w) {
    QElapsedTimer t;
    t.start();
    while (w->frameGeometry() == w->geometry() && t.elapsed() < kPatienceMs)
        wait_ms(20);
    return w->frameGeometry() != w->geometry();
}

void expect_frame_centred(const QWidget* w, const char* name) {
    ASSERT_TRUE(framed(w)) << name << ": no window manager framed the window";
    QElapsedTimer t;
    t.start();
    while (w->frameGeometry() != centred(w) && t.elapsed() < kPatienceMs)
        wait_ms(20);
    const QRect screen = w->screen()->geometry();
    const QRect frame = w->frameGeometry();
    EXPECT_GT(frame.height(), w->height()) << name << ": a title bar";
    EXPECT_EQ(frame.left(), (screen.width() - frame.width()) / 2) << name;
    EXPECT_EQ(frame.top(), (screen.height() - frame.height()) / 2) << name;
}

bool on_a_display() {
    return QGuiApplication::platformName() == "xcb";
}

} // namespace

TEST(Centring, MainWindowWithItsFrame) {
    if (!on_a_display()) GTEST_SKIP() << "needs a display with a window manager";
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.show();
    expect_frame_centred(&w, "FormDigi");
    EXPECT_EQ(w.client()->size(), QSize(632, 430));
}

TEST(Centring, SecondaryWindowsWithTheirFrames) {
    if (!on_a_display()) GTEST_SKIP() << "needs a display with a window manager";
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.show();
    w.menu("a2")->trigger();
    expect_frame_centred(w.zenteif(), "zenteif");
    w.menu("d3")->trigger();
    expect_frame_centred(w.siyouf(), "siyouf");
    w.menu("d4")->trigger();
    expect_frame_centred(w.setumeif(), "setumeif");
    w.menu("d2")->trigger();
    expect_frame_centred(w.help(), "help");
}

TEST(Centring, MessageBoxesWithTheirFrames) {
    if (!on_a_display()) GTEST_SKIP() << "needs a display with a window manager";
    popchan::testing::RecordingMedia media;
    FormDigi w(nullptr, &media); // real boxes
    w.show();
    ASSERT_TRUE(framed(&w));
    int seen = 0;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            watcher.stop();
            ++seen;
            expect_frame_centred(box, "version box");
            box->done(QMessageBox::Ok);
        }
    });
    watcher.start();
    w.menu("d6")->trigger();
    EXPECT_EQ(seen, 1);
}
