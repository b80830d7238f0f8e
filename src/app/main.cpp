// ＣＲぽぷちゃんシミュレーション: the desktop program.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/application.h"
#include "app/formdigi.h"
#include "shell/fluid_media.h"

int main(int argc, char** argv) {
    const bool has_display =
        std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!has_display) {
        std::fprintf(stderr, "popchan: no display to open the window on (DISPLAY is not set).\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("popchan");
    popchan::setup_application(app);
    popchan::FluidMedia music;
    popchan::FormDigi window(nullptr, &music);
    window.show();
    return QApplication::exec();
}
