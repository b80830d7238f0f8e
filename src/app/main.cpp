// ＣＲぽぷちゃんシミュレーション: the desktop program.
#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/formdigi.h"
#include "shell/fluid_media.h"

namespace {

// Said when no window can be opened: one line, Japanese first, and status 1.
[[noreturn]] void no_display(const std::string& japanese, const std::string& english) {
    std::fprintf(stderr, "popchan: %s %s\n", japanese.c_str(), english.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

[[noreturn]] void display_not_answering() {
    const char* display = std::getenv("DISPLAY");
    const std::string name = display ? display : "";
    no_display("画面 " + name + " に接続できません。",
               "cannot connect to the display " + name + ".");
}

// While the application connects to the display, Qt's own messages are held
// back: a display that cannot be opened is a fatal one, said in our one line.
std::vector<QByteArray> held_messages;
void hold_message(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) display_not_answering();
    held_messages.push_back(text.toLocal8Bit());
}

} // namespace

int main(int argc, char** argv) {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    const bool has_display = set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
    if (!has_display)
        no_display("画面を開けません（DISPLAY が設定されていません）。",
                   "cannot open the display: DISPLAY is not set.");
    qInstallMessageHandler(hold_message);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QByteArray& m : held_messages)
        std::fprintf(stderr, "%s\n", m.constData());
    held_messages.clear();
    QApplication::setApplicationName("popchan");
    popchan::setup_application(app);
    popchan::FluidMedia music;
    // POPCHAN_SEED=N plays the seeded day the web page plays with ?seed=N.
    popchan::FormDigi window(nullptr, &music, popchan::seeded_random(std::getenv("POPCHAN_SEED")));
    window.show();
    return QApplication::exec();
}
