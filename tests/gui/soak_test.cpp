// The program as a user leaves it running: one-hour days, the display hidden
// but for jackpots, twenty days in a row with every result box answered.
#include <QAction>
#include <QApplication>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>

#include "app/formdigi.h"
#include "core/fakes.h"

using namespace popchan;
using popchan::testing::ScriptedDialogs;

namespace {

long resident_kib() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

} // namespace

TEST(Soak, TwentyDaysOfTheProgram) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs, nullptr, std::make_unique<MachineRandom>(77, false));
    w.show();
    w.model().premises.zentei_jikan = 1;
    w.menu("b4_2")->trigger();
    long first_day_kib = 0;
    for (int day = 1; day <= 20; ++day) {
        const std::size_t boxes = dialogs.boxes.size();
        w.menu("a3")->trigger();
        for (int step = 0; dialogs.boxes.size() == boxes && step < 100000; ++step) {
            w.model().advance(1000);
            w.refresh();
            if (step % 50 == 0) QApplication::processEvents();
        }
        ASSERT_EQ(dialogs.boxes.size(), boxes + 1) << "day " << day << " never ended";
        EXPECT_NE(dialogs.boxes.back().title, "エラー") << dialogs.boxes.back().text;
        if (day == 1) first_day_kib = resident_kib();
    }
    const long last_day_kib = resident_kib();
    std::printf("resident size: day 1 %ld KiB, day 20 %ld KiB\n", first_day_kib, last_day_kib);
    RecordProperty("rss_day1_kib", int(first_day_kib));
    RecordProperty("rss_day20_kib", int(last_day_kib));
    EXPECT_LT(last_day_kib - first_day_kib, 8 * 1024) << "memory grows from day to day";
}
