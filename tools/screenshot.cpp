// Takes a picture of one of the program's windows as the X server shows it.
// Usage: screenshot OUT.png [day SEED HOURS] [MENU_ITEM …] [open:PATH]
//   day SEED HOURS  plays a seeded day for HOURS simulated hours first
//   MENU_ITEM       menu items chosen in order by name (a3, g2_1, d4 …); the
//                   picture shows the window the last of them opened, if any
//   open:PATH       opens a menu of the menu bar and its submenus, as indices:
//                   open:1/0/1 is the second menu, its first item's submenu
//                   and that one's second item's submenu; the picture shows
//                   the main window with the menus open
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
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
    m.spin.digi_mode = popchan::kDigiJackpotsOnly;
    window.menu("a3")->trigger();
    while (m.day.keika_byo < hours * 3600 && m.clock().any_running())
        m.advance(1);
    m.spin.digi_mode = popchan::kDigiShowAll;
    for (int i = 0; i < 400 && m.clock().any_running(); ++i)
        m.advance(10);
    window.refresh();
}

// The window a menu item opened, or the main window.
QWidget* opened_by(popchan::FormDigi& w, const std::string& item) {
    QWidget* opened = nullptr;
    if (item == "a2") opened = w.zenteif();
    if (item == "d2") opened = w.help();
    if (item == "d3") opened = w.siyouf();
    if (item == "d4") opened = w.setumeif();
    if (item == "d7") opened = w.salesf();
    return opened ? opened : &w;
}

// Opens the menus along `path` ("1/0/1") and returns the area they cover.
QRect open_menus(popchan::FormDigi& w, const QString& path) {
    QRect covered;
    QMenu* menu = nullptr;
    for (const QString& step : path.split('/')) {
        const int i = step.toInt();
        QAction* item = menu ? menu->actions().value(i) : w.menuBar()->actions().value(i);
        if (!item || !item->menu()) break;
        const QPoint at =
            menu ? menu->mapToGlobal(menu->actionGeometry(item).topRight())
                 : w.menuBar()->mapToGlobal(w.menuBar()->actionGeometry(item).bottomLeft());
        if (menu) menu->setActiveAction(item);
        menu = item->menu();
        menu->popup(at);
        QApplication::processEvents();
        covered |= menu->geometry();
    }
    return covered;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot OUT.png [day SEED HOURS] [MENU_ITEM ...]\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("popchan");
    popchan::setup_application(app);
    int next = 2;
    const bool day = argc > 4 && std::strcmp(argv[2], "day") == 0;
    popchan::FormDigi window(
        nullptr, nullptr,
        day ? std::make_unique<popchan::MachineRandom>(std::strtoull(argv[3], nullptr, 10), false)
            : nullptr);
    window.model().bgm.set_app_path(QCoreApplication::applicationDirPath().toStdString() +
                                    "/../src");
    window.show();
    if (day) {
        play_day(window, std::atof(argv[4]));
        next = 5;
    }
    QWidget* subject = &window;
    QRect menus;
    for (; next < argc; ++next) {
        const QString arg = argv[next];
        if (arg.startsWith("open:")) {
            QTimer::singleShot(500,
                               [&window, &menus, arg] { menus = open_menus(window, arg.mid(5)); });
            continue;
        }
        window.menu(argv[next])->trigger();
        subject = opened_by(window, argv[next]);
    }

    int status = 1;
    QTimer::singleShot(1500, [&] {
        const QRect r = subject->frameGeometry() | menus;
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
