// Writes a contact sheet of frames from one spin of each outcome:
// display_sheet OUT.png
#include <QGuiApplication>
#include <cstdio>

#include "spin_frames.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const char* out = argc > 1 ? argv[1] : "docs/display.png";
    std::vector<std::pair<std::string, std::vector<QImage>>> rows;
    for (const auto& spin : popchan::sample_spins())
        rows.emplace_back(spin.name, popchan::pick_frames(popchan::play(spin, 1), 10));
    const bool ok = popchan::contact_sheet(rows, 2).save(out);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", out);
    return ok ? 0 : 1;
}
