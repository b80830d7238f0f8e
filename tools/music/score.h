// A small sequencing layer over the MIDI writer: note names, a line notation,
// step patterns, chord symbols and the arrangement figures the pieces share.
#pragma once

#include <functional>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "smf.h"

namespace music {

// Every piece is in 4/4.
inline constexpr Tick kQuarter = kTicksPerQuarter;
inline constexpr Tick kEighth = kQuarter / 2;
inline constexpr Tick kSixteenth = kQuarter / 4;
inline constexpr Tick kBar = 4 * kQuarter;

// The first tick of bar `n`, counting from 0.
constexpr Tick bar(int n) {
    return static_cast<Tick>(n) * kBar;
}

// A file in 4/4 with its opening tempo and its length.
MidiFile start_piece(const std::string& title, double bpm, Tick length);
// Lets the released notes ring from `from` (no note may still be held), fading
// every channel in use to nothing, and silences them all at the end: a player
// that waits for the last voice to die then finishes as the final tick passes.
// (FluidSynth ignores All Sound Off for a note released at the same tick, hence
// the rule that every note is released first.)
void ring_out(MidiFile& file, Tick from);

// "C4" is 60; sharps '#', flats 'b': "F#3", "Bb5".
int pitch(std::string_view name);

// A chord symbol ("C", "Am", "G7", "Dm7", "Fmaj7", "Csus4", "Bdim", "Fadd9", "F/A")
// voiced upwards from its lowest tone at or above `floor`.
std::vector<int> chord(std::string_view symbol, int floor);
// The chord's bass note (its root, or the note after '/') at or above `floor`.
int bass_note(std::string_view symbol, int floor);

struct ChordSpan {
    Tick start;
    Tick length;
    std::string symbol;
};
// "C | Am | F G | G7": one bar per '|', the chords of a bar sharing it evenly;
// nothing sounds from `until` on.
std::vector<ChordSpan> progression(Tick start, std::string_view bars,
                                   Tick until = std::numeric_limits<Tick>::max());
// The symbol of the chord sounding at `at`.
const std::string& chord_at(const std::vector<ChordSpan>& chords, Tick at);

// Walks a step pattern from `start`: '.' rests, '-' holds the previous hit, any
// other character is a hit reported with its length (holds included, cut at `limit`).
using StepHit = std::function<void(Tick at, Tick length, char kind)>;
void steps(Tick start, Tick step, std::string_view pattern, Tick limit, const StepHit& hit);

// One General MIDI instrument on its own channel and track.
class Part {
  public:
    Part(MidiFile& file, const std::string& name, int channel, int program, int volume,
         int pan = 64, int reverb = 40);

    int velocity = 96; // of plain notes; 'X' and '>' accent it, 'o' softens it
    double gate = 0.9; // share of a written duration that sounds
    int transpose = 0; // semitones added to every written pitch
    Tick spread = 0;   // ticks between a chord's tones, low to high, so their attacks don't pile up

    // Plays a line such as "G4/8 C5 E5 G5/4 A5/8 G5/4> r/4 C5+E5+G5/2": durations
    // 1 2 4 8 16 32, dotted "4.", triplet "8t"; a duration carries over until the
    // next one; '>' accents; a '|' must fall on a bar line (counted from `start`).
    // Returns the tick after the line.
    Tick line(Tick start, std::string_view text);
    void note(Tick start, Tick length, int key, int vel);
    void notes(Tick start, Tick length, const std::vector<int>& keys, int vel);
    // Hits of `key` on a step pattern ("x" plain, "X" accent, "o" soft).
    void pattern(Tick start, int key, std::string_view text, Tick step = kSixteenth);
    // Repeated hits of `key` from `from` to `to`, velocity moving from v0 to v1.
    void roll(Tick from, Tick to, int key, Tick step, int v0, int v1);
    // A controller (or, with kPitchBend, the bend) moving from v0 to v1.
    static constexpr int kPitchBend = -1;
    void sweep(Tick from, Tick to, int controller, int v0, int v1);
    void set(Tick at, int controller, int value);

    int accented(char kind) const;

  private:
    Track& track_;
    int channel_;
    std::map<int, std::vector<std::pair<Tick, Tick>>> sounding_; // key -> [on, off)
};

// Arrangement figures over a progression.
void pad(Part& part, const std::vector<ChordSpan>& chords, int floor);
// The chord struck on `rhythm` (a step pattern repeated through every span).
void comp(Part& part, const std::vector<ChordSpan>& chords, int floor, std::string_view rhythm,
          Tick step = kEighth);
// A bass line on `rhythm`: 'x' the bass note, 'o' its octave, '5' its fifth.
void bass(Part& part, const std::vector<ChordSpan>& chords, int floor, std::string_view rhythm,
          Tick step = kEighth);
// The chord's tones broken upwards over `octaves`, then back down, one per step.
void arpeggio(Part& part, const std::vector<ChordSpan>& chords, int floor, int octaves, Tick step);

// A drum bar: kick, snare and hi-hat step patterns in sixteenths.
struct Groove {
    std::string_view kick;
    std::string_view snare;
    std::string_view hat;
};
void groove(Part& drums, Tick from, int bars, const Groove& g);

} // namespace music
