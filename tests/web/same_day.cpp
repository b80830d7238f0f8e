// The desktop program's core playing a seeded day natively, for the browser
// tests to compare the page with.
//   same_day SEED [startup] MS...
//                           the window as it starts (with "startup"), then
//                           Start and ×10, as the page's user chooses them,
//                           and at each MS (rising) everything the window
//                           shows, a block that begins "at MS"
//   same_day --moments SEED UNTIL
//                           the first milliseconds before UNTIL at which a
//                           spin without reach, a reach's presentation and
//                           the dollar boxes after a jackpot are on the
//                           screen, a line each
//   same_day --picture SEED MS OUT.png
//                           the desktop's main window itself (menu bar and
//                           client area, drawn offscreen) at MS after Start
//                           and ×10, or as it starts with MS "startup"
// Boxes are printed as they open.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <QApplication>

#include "app/application.h"
#include "app/formdigi.h"
#include "app/pictures.h"
#include "display/surface.h"
#include "parlour/controller.h"
#include "parlour/face.h"
#include "parlour/formdigi_model.h"

using namespace popchan;

namespace {

// A box's text on one line, its line breaks as \n.
void print_box(std::string text) {
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
        text.replace(at, 1, "\\n");
    std::printf("box\t%s\n", text.c_str());
}

class Recorder final : public Dialogs {
  public:
    void message(const std::string& text, const std::string&, MessageIcon) override {
        print_box(text);
    }
    bool ask_yes_no(const std::string& text, const std::string&, MessageIcon) override {
        print_box(text);
        return false;
    }
};

// A surface's pixels as hexadecimal RGB, row by row.
std::string hex(const Surface& s) {
    std::string out;
    char rgb[8];
    for (int i = 0; i < s.width() * s.height(); ++i) {
        std::snprintf(rgb, sizeof rgb, "%06x", unsigned(s.data()[i] & 0xFFFFFF));
        out += rgb;
    }
    return out;
}

void print_screen(const FormDigiModel& m) {
    for (const auto& [name, text] : filled_labels(m))
        std::printf("%s\t%s\n", name.c_str(), text.c_str());
    for (const std::string& line : m.screen.rireki)
        std::printf("rireki\t%s\n", line.c_str());
    for (const auto& [name, on] : shown_parts(m.screen))
        std::printf("visible\t%s\t%d\n", name.c_str(), on ? 1 : 0);
    for (const auto& [name, on] : enabled_menus(m.screen))
        std::printf("enabled\t%s\t%d\n", name.c_str(), on ? 1 : 0);
    for (const auto& [name, on] : checked_menus(m.screen))
        std::printf("checked\t%s\t%d\n", name.c_str(), on ? 1 : 0);
    for (const std::string& line : m.reach.list().lines)
        std::printf("reach\t%s\n", line.c_str());
    std::printf("reach_selected\t%d\n", m.reach.list().selected);
    std::printf("display\t%s\n", hex(m.digi.PictureWaku).c_str());
    std::printf("graph\t%s\n", hex(m.graph.surface()).c_str());
}

// The first moments of each kind, 10 ms apart.
void print_moments(FormDigiModel& m, std::int64_t until) {
    std::int64_t plain = 0, reach = 0, boxes = 0;
    for (std::int64_t t = 10; t < until && !(plain && reach && boxes); t += 10) {
        m.advance(10);
        const SpinState& s = m.spin;
        if (!plain && s.spin_phase == 1 && s.reach_kind == 0 && s.spin_tick > 100) plain = t;
        if (!reach && s.spin_phase == 1 && s.reach_kind >= 2 && s.spin_tick > s.mark_present &&
            s.spin_tick < s.mark_atari)
            reach = t;
        // Some seconds after the first box stood, with the day's figures moved on.
        if (!boxes && m.screen.dorubako[0]) boxes = t + 5000;
    }
    for (std::int64_t t : {plain, reach, boxes})
        if (t) std::printf("%lld\n", static_cast<long long>(t));
}

// The desktop's window as it draws itself, without the window manager's frame.
int picture(int argc, char** argv, const char* seed, const std::string& at, const char* out) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setup_application(app);
    Recorder boxes;
    FormDigi window(&boxes, nullptr,
                    std::make_unique<MachineRandom>(std::strtoull(seed, nullptr, 10), false));
    window.show();
    QApplication::processEvents();
    // No event is handled from here on, so the window's own clock adds nothing.
    if (at != "startup") {
        window.menu("a3")->trigger();
        window.menu("h2_3")->trigger();
        window.model().advance(std::strtoll(at.c_str(), nullptr, 10));
        window.refresh();
    }
    return window.grab().save(out) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--picture")
        return picture(argc, argv, argv[2], argv[3], argv[4]);
    const bool moments = argc == 4 && std::string(argv[1]) == "--moments";
    if (argc < 3 || (argv[1][0] == '-' && !moments)) {
        std::fprintf(stderr,
                     "usage: same_day SEED MS... | same_day --moments SEED UNTIL | same_day "
                     "--picture SEED MS OUT.png\n");
        return 2;
    }
    Recorder boxes;
    FormDigiModel model(
        boxes, nullptr,
        std::make_unique<MachineRandom>(std::strtoull(argv[moments ? 2 : 1], nullptr, 10), false));
    model.Form_Load(15, 15, "");
    // The display's pictures, as the desktop program has them.
    if (const auto missing = load_pictures(model.digi.pictures, model.digi.PictureWaku);
        !missing.empty()) {
        std::fprintf(stderr, "same_day: pictures missing\n");
        return 1;
    }
    int first = 2;
    if (!moments && std::string(argv[2]) == "startup") {
        std::printf("at\tstartup\n");
        print_screen(model);
        ++first;
    }
    choose(model, "a3");
    choose(model, "h2_3");
    if (moments) {
        print_moments(model, std::strtoll(argv[3], nullptr, 10));
        return 0;
    }
    std::int64_t now = 0;
    for (int i = first; i < argc; ++i) {
        const std::int64_t at = std::strtoll(argv[i], nullptr, 10);
        model.advance(at - now);
        now = at;
        std::printf("at\t%lld\n", static_cast<long long>(at));
        print_screen(model);
    }
}
