// The desktop program's core playing a seeded day natively, for the browser
// tests to compare the page with: Start, then MS simulated milliseconds, then
// every label the window fills, the hit history and the boxes shown (as they
// open), a line each.
//   same_day SEED MS
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

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

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: same_day SEED MS\n");
        return 2;
    }
    Recorder boxes;
    FormDigiModel model(
        boxes, nullptr,
        std::make_unique<MachineRandom>(std::strtoull(argv[1], nullptr, 10), false));
    model.Form_Load(15, 15, "");
    model.a3_Click();
    model.advance(std::strtoll(argv[2], nullptr, 10));
    for (const auto& [name, text] : filled_labels(model))
        std::printf("%s\t%s\n", name.c_str(), text.c_str());
    for (const std::string& line : model.screen.rireki)
        std::printf("rireki\t%s\n", line.c_str());
}
