// Writes contact sheets: frames from one spin of each outcome, and from one
// reach of each presented kind:  display_sheet DISPLAY.png REACHES.png
#include <QGuiApplication>
#include <cstdio>

#include "spin_frames.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const char* display = argc > 1 ? argv[1] : "docs/display.png";
    const char* reaches = argc > 2 ? argv[2] : "docs/reaches.png";
    std::vector<std::pair<std::string, std::vector<QImage>>> outcomes, presentations;
    for (const auto& spin : popchan::sample_spins())
        outcomes.emplace_back(spin.name, popchan::golden_images(spin, false, 10));
    for (const auto& spin : popchan::reach_spins())
        presentations.emplace_back(spin.name, popchan::golden_images(spin, true, 10));
    bool ok = true;
    for (auto [sheet, path] : {std::pair{&outcomes, display}, std::pair{&presentations, reaches}}) {
        const bool saved = popchan::contact_sheet(*sheet, 2).save(path);
        std::printf("%s %s\n", saved ? "wrote" : "FAILED", path);
        ok = ok && saved;
    }
    return ok ? 0 : 1;
}
