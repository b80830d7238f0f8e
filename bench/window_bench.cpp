// Figures of the desktop program: time from process start to the first
// painted main window, CPU use idle and during a running day, and how closely
// the machine's clock follows real time.
// Usage: window_bench LAUNCH_NS RUN_SECONDS   (LAUNCH_NS: CLOCK_REALTIME at launch)
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/application.h"
#include "app/formdigi.h"
#include "cpu_share.h"

using popchan::bench::cpu_share_over;

namespace {

double now_ns() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec * 1e9 + ts.tv_nsec;
}

class FirstPaint : public QObject {
  public:
    explicit FirstPaint(double launch_ns) : launch_ns_(launch_ns) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && !seen) {
            seen = true;
            std::printf("start-up to first paint: %.0f ms (goal < 500 ms)\n",
                        (now_ns() - launch_ns_) / 1e6);
        }
        return false;
    }
    bool seen = false;

  private:
    double launch_ns_;
};

} // namespace

int main(int argc, char** argv) {
    const double launch_ns = argc > 1 ? std::atof(argv[1]) : now_ns();
    const double run_seconds = argc > 2 ? std::atof(argv[2]) : 60;
    QApplication app(argc, argv);
    popchan::setup_application(app);
    popchan::FormDigi window;
    FirstPaint first_paint(launch_ns);
    window.installEventFilter(&first_paint);
    window.show();

    QTimer::singleShot(0, [&] {
        std::printf("CPU idle: %.2f %% of a core (goal < 1 %%)\n", cpu_share_over(5));
        window.menu("a3")->trigger();
        const std::int64_t clock0 = window.model().clock().now();
        QElapsedTimer wall;
        wall.start();
        const double cpu = cpu_share_over(run_seconds);
        const double real_ms = wall.nsecsElapsed() / 1e6;
        const double simulated = double(window.model().clock().now() - clock0);
        std::printf("CPU while a day runs: %.2f %% of a core\n", cpu);
        std::printf("clock pace over %.0f s: %.4f simulated ms per real ms (goal 1.000 ± 0.5 %%)\n",
                    real_ms / 1000, simulated / real_ms);
        QApplication::exit(0);
    });
    return QApplication::exec();
}
