// Figures of the play speeds: for each speed of the menu, a seeded day with
// its display shown runs for a while; printed are the program's CPU use, the
// clock's pace against the chosen speed, and how often the display changed
// and was painted. No music: bench/music.sh measures the player.
// Usage: speed_bench SEED RUN_SECONDS
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/application.h"
#include "app/formdigi.h"
#include "cpu_share.h"

namespace {

class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

// One speed of the menu item h2(`item`): a fresh window plays the seeded day.
void measure(int item, std::uint64_t seed, double seconds) {
    popchan::FormDigi window(nullptr, nullptr,
                             std::make_unique<popchan::MachineRandom>(seed, false));
    window.show();
    PaintCounter counter;
    window.findChild<QWidget*>("PictureWaku")->installEventFilter(&counter);
    window.menu("a3")->trigger();
    window.menu("h2_" + std::to_string(item))->trigger();
    const popchan::FormDigiModel& m = window.model();
    const int speed = m.speed();
    const std::int64_t clock0 = m.clock().now();
    const std::uint64_t changes0 = m.digi.PictureWaku.revision();
    counter.paints = 0;
    QElapsedTimer wall;
    wall.start();
    const double cpu = popchan::bench::cpu_share_over(seconds);
    const double real_ms = wall.nsecsElapsed() / 1e6;
    const double pace = double(m.clock().now() - clock0) / real_ms;
    const char* goal = speed == 1 ? ", goal < 5 %" : speed == 10 ? ", goal < 30 %" : "";
    std::printf("x%-2d  CPU %5.2f %% of a core%-13s  pace %7.4f (%+.2f %% of x%d, goal ± 1 %%)  "
                "display: %5.0f changes/s, %4.1f paints/s\n",
                speed, cpu, goal, pace, 100 * (pace / speed - 1), speed,
                (m.digi.PictureWaku.revision() - changes0) / (real_ms / 1000),
                counter.paints / (real_ms / 1000));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const std::uint64_t seed = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 2026;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 60;
    QApplication app(argc, argv);
    popchan::setup_application(app);
    std::printf("play speeds: a seeded day (seed %llu) with the display shown, %.0f s each\n",
                static_cast<unsigned long long>(seed), seconds);
    QTimer::singleShot(0, [&] {
        for (int item = 0; item < 4; ++item)
            measure(item, seed, seconds);
        QApplication::exit(0);
    });
    return QApplication::exec();
}
