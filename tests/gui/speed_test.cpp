// Play speed: the menu that chooses it, the clock pump's pace at each speed,
// a seeded day that ends the same at every speed, the music that keeps quiet
// while the machine races, and the display's repaints and pixels.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

#include "app/clock_pump.h"
#include "app/formdigi.h"
#include "app/surface_view.h"
#include "core/fakes.h"
#include "gui/program.h"

using namespace popchan;
using popchan::testing::RecordingMedia;
using popchan::testing::ScriptedDialogs;
using popchan::testing::wait_ms;

namespace {

struct SpeedProgram : popchan::testing::TestProgram {
    explicit SpeedProgram(std::uint64_t seed = 8) : TestProgram(seed) {}
    // Chooses a menu item without running the event loop, so the window's own
    // clock pump never fires: the tests alone let time pass.
    void choose(const std::string& name) { window.menu(name)->trigger(); }
    std::vector<bool> speed_checks() const {
        std::vector<bool> checks;
        for (int i = 0; i < 4; ++i)
            checks.push_back(window.menu("h2_" + std::to_string(i))->isChecked());
        return checks;
    }
};

const std::vector<bool> kFirst = {true, false, false, false};

} // namespace

TEST(SpeedMenu, LastUnderOptionsWithItsCaptionsChecksAndShortcuts) {
    SpeedProgram p;
    QMenu* options = p.window.menuBar()->actions().at(1)->menu();
    ASSERT_NE(options, nullptr);
    QStringList captions;
    for (QAction* a : options->actions())
        captions << a->text();
    EXPECT_EQ(captions, QStringList({"ﾃﾞｼﾞﾀﾙ(&D&ｼ)", "表示画面(&M&ﾓ)", "常に前面表示(&A&ﾁ)",
                                     "ｻｳﾝﾄﾞ(&S&ﾄ)", "速度(&P&ｿ)"}));
    QMenu* speed = options->actions().back()->menu();
    ASSERT_NE(speed, nullptr);
    const QString items[4] = {"等速(&1&ﾄ)", "２倍速(&2&ﾆ)", "５倍速(&5&ｺ)", "１０倍速(&0&ｼ)"};
    const QString keys[4] = {"Ctrl+1", "Ctrl+2", "Ctrl+3", "Ctrl+4"};
    ASSERT_EQ(speed->actions().size(), 4);
    for (int i = 0; i < 4; ++i) {
        QAction* a = speed->actions().at(i);
        EXPECT_EQ(a->text(), items[i]);
        EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), keys[i]);
        EXPECT_TRUE(a->isCheckable());
        EXPECT_TRUE(a->isEnabled());
    }
    EXPECT_EQ(p.speed_checks(), kFirst);
    EXPECT_EQ(p.m().speed(), 1);
}

TEST(SpeedMenu, CtrlAndADigitChooseTheSpeedAndCheckItAlone) {
    SpeedProgram p;
    p.window.activateWindow();
    QApplication::setActiveWindow(&p.window);
    QApplication::processEvents();
    const struct {
        Qt::Key key;
        std::vector<bool> checks;
        int speed;
    } steps[] = {{Qt::Key_3, {false, false, true, false}, 5},
                 {Qt::Key_4, {false, false, false, true}, 10},
                 {Qt::Key_2, {false, true, false, false}, 2},
                 {Qt::Key_1, {true, false, false, false}, 1}};
    for (const auto& step : steps) {
        QTest::keyClick(&p.window, step.key, Qt::ControlModifier);
        QApplication::processEvents();
        EXPECT_EQ(p.speed_checks(), step.checks) << step.speed;
        EXPECT_EQ(p.m().speed(), step.speed);
    }
}

TEST(SpeedMenu, ResetAndTheEndOfTheDayGoBackToTheMachinesOwnPace) {
    SpeedProgram p;
    p.choose("a3");
    p.choose("h2_3");
    EXPECT_EQ(p.m().speed(), 10);
    p.choose("a4");
    EXPECT_EQ(p.speed_checks(), kFirst);
    EXPECT_EQ(p.m().speed(), 1);

    p.m().premises.zentei_jikan = 1;
    p.choose("b4_2");
    p.choose("a3");
    p.choose("h2_2");
    EXPECT_EQ(p.m().speed(), 5);
    for (int i = 0; i < 100000 && p.dialogs.boxes.size() < 2; ++i)
        p.m().advance(1000);
    ASSERT_EQ(p.dialogs.boxes.size(), 2u) << "the day never ended";
    p.window.refresh();
    EXPECT_EQ(p.speed_checks(), kFirst);
    EXPECT_EQ(p.m().speed(), 1);
}

TEST(ClockPumpPace, EachSpeedPassesThatManySimulatedMillisecondsPerRealOne) {
    const int speeds[4] = {1, 2, 5, 10};
    for (int i = 0; i < 4; ++i) {
        ScriptedDialogs dialogs;
        FormDigiModel m(dialogs, nullptr, std::make_unique<MachineRandom>(4, false));
        ModalTracker modal;
        std::int64_t now = 5000;
        int afters = 0;
        ClockPump pump(
            m, modal, [&] { ++afters; }, [&] { return now; });
        m.a3_Click();
        m.h2_Click(i);
        pump.follow_clock();
        ASSERT_TRUE(pump.running());
        const std::int64_t start = m.clock().now();
        for (int beat = 0; beat < 250; ++beat) { // one real second, in uneven beats
            now += beat % 2 ? 3 : 5;
            pump.pump();
        }
        EXPECT_EQ(m.clock().now() - start, 1000 * speeds[i]) << speeds[i];
        EXPECT_EQ(afters, 250);
        // A stall of two seconds is made up only for a quarter of a second.
        now += 2000;
        pump.pump();
        EXPECT_EQ(m.clock().now() - start, 1250 * speeds[i]) << speeds[i];
        // No time, no clock.
        pump.pump();
        EXPECT_EQ(m.clock().now() - start, 1250 * speeds[i]) << speeds[i];
        EXPECT_TRUE(dialogs.boxes.empty());
    }
}

namespace {

// What the window shows while the day's result box is open.
struct DayEnd {
    std::string box;
    QStringList figures, hits, reaches;
    std::vector<Pixel> display;
    std::int64_t clock = 0;
    int beats = 0; // of the pump, 4 real ms each
};

QStringList lines_of(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

// Plays a seeded two-hour day through a clock pump on a fake time, showing only
// the jackpot spins, at the speed of the menu item h2(`item`).
DayEnd play_day(int item) {
    SpeedProgram p(21);
    p.m().premises.zentei_jikan = 2;
    DayEnd end;
    p.dialogs.while_open = [&](const ScriptedDialogs::Box& box) {
        end.box = box.text;
        for (int i = 0; i < 11; ++i)
            end.figures << p.window.findChild<QLabel*>(QString("hyouji_%1").arg(i))->text();
        end.hits = lines_of(p.window.findChild<QListWidget*>("rireki"));
        end.reaches = lines_of(p.window.findChild<QListWidget*>("ListReach"));
        const Surface& waku = p.m().digi.PictureWaku;
        end.display.assign(waku.data(), waku.data() + waku.width() * waku.height());
        end.clock = p.m().clock().now();
    };
    std::int64_t now = 0;
    ClockPump pump(
        p.m(), p.window.modal(), [&] { p.window.refresh(); }, [&] { return now; });
    p.choose("b4_2");
    p.choose("a3");
    p.choose("h2_" + std::to_string(item));
    pump.follow_clock();
    for (; end.beats < 2000000 && p.dialogs.boxes.empty(); ++end.beats) {
        now += 4;
        pump.pump();
    }
    return end;
}

} // namespace

TEST(SpeedDay, ASeededDayEndsWithTheSameFiguresHitsReachesAndDisplayAtTimesOneAndTen) {
    const DayEnd once = play_day(0), tenfold = play_day(3);
    ASSERT_FALSE(once.box.empty()) << "the day never ended";
    EXPECT_NE(once.box.find("今日は、"), std::string::npos) << once.box;
    EXPECT_FALSE(once.hits.isEmpty()) << "a day with a jackpot shown, please";
    EXPECT_EQ(tenfold.box, once.box);
    EXPECT_EQ(tenfold.figures, once.figures);
    EXPECT_EQ(tenfold.hits, once.hits);
    EXPECT_EQ(tenfold.reaches, once.reaches);
    EXPECT_TRUE(tenfold.display == once.display);
    EXPECT_EQ(tenfold.clock, once.clock);
    // The same simulated day in a tenth of the real time.
    EXPECT_LE(tenfold.beats, once.beats / 10 + 1);
    EXPECT_GE(tenfold.beats, once.beats / 10 - 1);
}

TEST(SpeedMusic, SilentAtTwiceAndAboveAndBackAtTheNextCueAtTheMachinesPace) {
    SpeedProgram p;
    p.window.model().digi.set_drawing(false);
    p.choose("a3");
    for (int i = 0; i < 100 && p.m().bgm.bgm_open != -1; ++i)
        p.m().advance(1);
    ASSERT_EQ(p.m().bgm.bgm_open, -1); // the spin's music plays
    p.choose("h2_1");
    EXPECT_EQ(p.media.log.back(), "close"); // stopped at once
    EXPECT_EQ(p.m().clock().interval(Bgm::kTimer), 0);
    p.media.log.clear();
    for (const char* item : {"h2_1", "h2_2", "h2_3"}) {
        p.choose(item);
        p.m().advance(60000); // several spins, each with its cues
    }
    EXPECT_TRUE(p.media.log.empty()) << p.media.log.front();
    EXPECT_EQ(p.m().bgm.bgm_open, 0);
    // The sound switch still says the sound is on.
    EXPECT_FALSE(p.window.menu("f2")->isEnabled());
    EXPECT_TRUE(p.window.menu("f3")->isEnabled());

    p.choose("h2_0");
    EXPECT_TRUE(p.media.log.empty()); // nothing until the next cue
    const std::int64_t back = p.m().clock().now();
    while (p.media.log.empty() && p.m().clock().now() - back < 60000)
        p.m().advance(1);
    ASSERT_FALSE(p.media.log.empty()) << "no cue played again";
    EXPECT_TRUE(p.media.log.front().starts_with("open ")) << p.media.log.front();
    EXPECT_TRUE(p.media.log.front().ends_with(".mid")) << p.media.log.front();
    EXPECT_EQ(p.m().bgm.bgm_open, -1);
    EXPECT_EQ(p.m().clock().interval(Bgm::kTimer), 10000);
}

TEST(SpeedMusic, SoundSwitchedOffStaysOffBackAtTheMachinesPace) {
    SpeedProgram p;
    p.window.model().digi.set_drawing(false);
    p.choose("f3");
    p.choose("a3");
    p.choose("h2_3");
    p.choose("h2_0");
    p.media.log.clear();
    p.m().advance(60000);
    EXPECT_TRUE(p.media.log.empty()) << p.media.log.front();
}

TEST(DisplayRepaint, AtMostOnceAFrameOfTheScreenAndTheLastChangeShown) {
    Surface surface(115, 96);
    QWidget host;
    auto* view = new SurfaceView([&]() -> const Surface& { return surface; }, &host);
    view->resize(115, 96);
    host.show();
    wait_ms(50);
    struct Counter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    view->installEventFilter(&counter);

    // The surface changes as fast as the loop goes, far more often than the screen.
    QElapsedTimer real;
    real.start();
    int changes = 0;
    while (real.elapsed() < 300) {
        surface.touch();
        view->refresh();
        QApplication::processEvents();
        ++changes;
    }
    const double frame_ms = 1000 / std::max(view->screen()->refreshRate(), qreal(1));
    EXPECT_GT(changes, 100);
    EXPECT_GE(counter.paints, 2);
    EXPECT_LE(counter.paints, real.elapsed() / frame_ms + 2) << changes << " changes";

    // After the frame the last change is shown, once; with no change, nothing.
    wait_ms(100);
    counter.paints = 0;
    surface.touch();
    view->refresh();
    view->refresh();
    wait_ms(100);
    EXPECT_EQ(counter.paints, 1);
    view->refresh();
    wait_ms(100);
    EXPECT_EQ(counter.paints, 1);
}

namespace {

// `source` shown on `shown` at two device pixels per pixel: each source pixel
// a block of 2 × 2 of one colour, that colour where the source is opaque.
void expect_sharp(const QImage& source, const QImage& shown, const char* what) {
    ASSERT_EQ(shown.size(), source.size() * 2) << what;
    int blurred = 0, wrong = 0;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QRgb c = shown.pixel(2 * x, 2 * y);
            if (shown.pixel(2 * x + 1, 2 * y) != c || shown.pixel(2 * x, 2 * y + 1) != c ||
                shown.pixel(2 * x + 1, 2 * y + 1) != c)
                ++blurred;
            const QRgb s = source.pixel(x, y);
            if (qAlpha(s) == 255 && (c & 0xFFFFFF) != (s & 0xFFFFFF)) ++wrong;
        }
    EXPECT_EQ(blurred, 0) << what;
    EXPECT_EQ(wrong, 0) << what;
}

QImage at_ratio_two(QWidget* w) {
    QImage image(w->size() * 2, QImage::Format_ARGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::black);
    w->render(&image);
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace

TEST(HighDpi, TheDisplayAndTheBoxAndPlatePicturesAreScaledSharpAtTwoDevicePixels) {
    SpeedProgram p;
    p.choose("a3");
    p.m().advance(1500); // the reels spin: many colours on the display
    p.window.refresh();
    const Surface& waku = p.m().digi.PictureWaku;
    const QImage display(reinterpret_cast<const uchar*>(waku.data()), waku.width(), waku.height(),
                         waku.width() * 4, QImage::Format_ARGB32);
    expect_sharp(display, at_ratio_two(p.window.findChild<QWidget*>("PictureWaku")), "display");
    for (const char* name : {"imgdorubako_1", "fuda_0", "fuda_1"}) {
        auto* label = p.window.findChild<QLabel*>(name);
        expect_sharp(label->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                     at_ratio_two(label), name);
    }
    p.choose("a4");
}

TEST(HighDpi, TheSmallPicturesOfThePremisesAboutAndHowToWindowsAreScaledSharp) {
    SpeedProgram p;
    p.choose("a2");
    p.choose("d4");
    p.choose("d3");
    const std::pair<const char*, QWidget*> windows[] = {{"zenteif", p.window.zenteif()},
                                                        {"setumeif", p.window.setumeif()},
                                                        {"siyouf", p.window.siyouf()}};
    for (const auto& [name, window] : windows) {
        SCOPED_TRACE(name);
        ASSERT_NE(window, nullptr);
        auto* image = window->findChild<QLabel*>("Image1");
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->size(), QSize(32, 32));
        // A picture of 32 × 32 pixels, each shown as a block of one colour.
        const QImage picture = image->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(picture.size(), QSize(32, 32));
        expect_sharp(picture, at_ratio_two(image), name);
    }
}
