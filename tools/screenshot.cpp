// Takes a picture of the program's main window as the X server shows it.
// Usage: screenshot OUT.png [start]
//   start  starts a day first (with the clock paused at its first millisecond).
#include <QApplication>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/application.h"
#include "app/formdigi.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot OUT.png [start]\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("popchan");
    popchan::setup_application(app);
    popchan::FormDigi window;
    window.show();
    if (argc > 2 && std::strcmp(argv[2], "start") == 0) window.menu("a3")->trigger();

    int status = 1;
    QTimer::singleShot(1500, [&] {
        const QRect r = window.frameGeometry();
        const QPixmap shot =
            window.screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
        status = shot.save(argv[1]) ? 0 : 1;
        std::printf("%s %s (%dx%d)\n", status ? "FAILED" : "wrote", argv[1], shot.width(),
                    shot.height());
        QApplication::exit(status);
    });
    QApplication::exec();
    return status;
}
