// What the main window shows, as the core decides it: texts of the boxes,
// which signs and plates are visible, the lists, and the menus' states. The
// window only copies it onto its widgets. (The counter boxes show the day's
// figures directly.)
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace popchan {

struct Menus {
    bool a2 = true, a3 = true, a4 = false; // premises, start, reset
    bool b2 = false, b3 = true, b4_1 = true, b4_2 = true;
    bool f2 = false, f3 = true;
    bool g3_checked = false;
    int h2_checked = 0; // play speed: 等速, ２倍速, ５倍速, １０倍速
};

struct FormDigiScreen {
    Menus menus;
    std::array<std::string, 9> zentei;   // premises panel values
    std::array<float, 3> jikan{1, 0, 0}; // day number, hour (9 at opening), minute
    std::vector<std::string> rireki;     // hit history
    std::array<bool, 2> fuda{};          // plates: unlimited, balls kept
    std::array<bool, 40> dorubako{};     // dollar boxes 1..40 at index 0..39
    bool pichakokisei = true;            // the box-regulation sign
    std::string labelhakokiseisu = "５箱";
    bool pictimeservice = true; // the time-service sign

    // Counts changes so the window refreshes only after one.
    std::uint64_t revision = 0;
};

} // namespace popchan
