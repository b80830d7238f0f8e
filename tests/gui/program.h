// The window tests' harness: the program as they drive it (the main window
// with boxes answered by the test, music recorded, and a seeded machine), real
// time passing, and the texts shown.
#pragma once

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QString>
#include <QTimer>
#include <memory>
#include <ostream>

#include "app/formdigi.h"
#include "core/fakes.h"

// Failures show the texts, not their code units.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace popchan::testing {

// Lets real time pass with the event loop running.
inline void wait_ms(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A label's text as shown, or a note that the label is missing.
inline QString text_of(const QWidget& root, const QString& name) {
    const auto* l = root.findChild<QLabel*>(name);
    return l ? l->text() : "<missing " + name + ">";
}

struct TestProgram {
    ScriptedDialogs dialogs;
    RecordingMedia media;
    FormDigi window;
    explicit TestProgram(std::uint64_t seed)
        : window(&dialogs, &media, std::make_unique<MachineRandom>(seed, false)) {
        window.show();
    }
    FormDigiModel& m() { return window.model(); }
    // Chooses a menu item and lets the window take it in.
    void trigger(const char* name) {
        window.menu(name)->trigger();
        QApplication::processEvents();
    }
};

} // namespace popchan::testing
