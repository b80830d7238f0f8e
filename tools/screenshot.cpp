// Takes a picture of the program's main window as the X server shows it.
// Usage: screenshot OUT.png [start | day SEED HOURS | premises]
//   start           starts a day first
//   day SEED HOURS  plays a seeded day for HOURS simulated hours, then shows it
//   premises        the premises dialog instead of the main window
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/application.h"
#include "app/formdigi.h"

namespace {

// Plays the day on the machine's clock, quickly with the display hidden but for
// jackpots, and shows the last spins in full.
void play_day(popchan::FormDigi& window, double hours) {
    popchan::FormDigiModel& m = window.model();
    m.spin.digi_mode = 3;
    window.menu("a3")->trigger();
    while (m.day.keika_byo < hours * 3600 && m.clock().any_running()) m.advance(1);
    m.spin.digi_mode = 0;
    for (int i = 0; i < 400 && m.clock().any_running(); ++i) m.advance(10);
    window.refresh();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot OUT.png [start | day SEED HOURS | premises]\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("popchan");
    popchan::setup_application(app);
    const bool day = argc > 4 && std::strcmp(argv[2], "day") == 0;
    popchan::FormDigi window(
        nullptr, nullptr,
        day ? std::make_unique<popchan::MachineRandom>(std::strtoull(argv[3], nullptr, 10), false)
            : nullptr);
    window.show();
    if (argc > 2 && std::strcmp(argv[2], "start") == 0) window.menu("a3")->trigger();
    if (day) play_day(window, std::atof(argv[4]));
    QWidget* subject = &window;
    if (argc > 2 && std::strcmp(argv[2], "premises") == 0) {
        window.menu("a2")->trigger();
        subject = window.zenteif();
    }

    int status = 1;
    QTimer::singleShot(1500, [&] {
        const QRect r = subject->frameGeometry();
        const QPixmap shot = window.screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
        status = shot.save(argv[1]) ? 0 : 1;
        std::printf("%s %s (%dx%d)\n", status ? "FAILED" : "wrote", argv[1], shot.width(),
                    shot.height());
        std::fflush(stdout);
        std::_Exit(status); // leave without the end-of-day box
    });
    QApplication::exec();
    return status;
}
