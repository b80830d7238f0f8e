// The program as the window tests drive it: the main window with boxes
// answered by the test, music recorded, and a seeded machine.
#pragma once

#include <QAction>
#include <QApplication>
#include <QString>
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
