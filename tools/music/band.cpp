#include "gm.h"
#include "pieces.h"

namespace music {

Part drum_kit(MidiFile& file, int volume) {
    Part drums(file, "Drums", gm::kDrumChannel, 0, volume, 64, 30);
    drums.gate = 0.5;
    return drums;
}

void tom_fill(Part& drums, Tick at, Tick step) {
    drums.pattern(at, gm::kHighTom, "xx......", step);
    drums.pattern(at, gm::kMidTom, "..xx....", step);
    drums.pattern(at, gm::kLowTom, "....xx..", step);
    drums.pattern(at, gm::kSnare, "......XX", step);
}

void button(Part& drums, Tick at) {
    drums.pattern(at, gm::kKick, "X");
    drums.pattern(at, gm::kCrash, "X");
}

void stop_hit(Part& hit, Part& drums, Tick at) {
    hit.line(at, "C4+G4+C5+E5/8>");
    button(drums, at);
}

} // namespace music
