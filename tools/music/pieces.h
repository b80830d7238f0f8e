// The machine's seven pieces, one function each, and the figures they share.
#pragma once

#include <string_view>

#include "score.h"

namespace music {

// The machine's call, "so-do-mi-SOL-la-SOL" in C: it opens the spin music and
// comes back, reshaped, in the others.
inline constexpr std::string_view kCall = "G4/8 C5 E5 G5/4 A5/8 G5/4";

MidiFile kaiten(); // spin music, looped
MidiFile reach();  // reach music, looped
MidiFile zenkai(); // the all-reels reach's grand theme, looped
MidiFile chusen(); // promotion roulette and its stop
MidiFile atari();  // jackpot fanfare
MidiFile teishi(); // a reach landing a jackpot
MidiFile hazure(); // a reach missing

struct Piece {
    const char* file;
    MidiFile (*make)();
};
inline constexpr Piece kPieces[] = {
    {"kaiten.mid", kaiten}, {"reach.mid", reach},   {"chusen.mid", chusen}, {"atari.mid", atari},
    {"teishi.mid", teishi}, {"hazure.mid", hazure}, {"zenkai.mid", zenkai},
};

// The kit on the percussion channel.
Part drum_kit(MidiFile& file, int volume);
// Toms falling high to low, two hits each, then two snare accents: eight steps.
void tom_fill(Part& drums, Tick at, Tick step);
// A landing: kick and crash together.
void button(Part& drums, Tick at);
// The "stop" hit: an orchestra hit on the C major chord over a landing.
void stop_hit(Part& hit, Part& drums, Tick at);

} // namespace music
