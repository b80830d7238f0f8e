// The looping pieces: the spin music, the reach music and the angel reach's
// theme. Each lands on its tonic at the end, so it closes whether the player
// starts it again at once or after a pause.
#include <array>
#include <string>
#include <string_view>

#include "gm.h"
#include "pieces.h"

namespace music {

// C major, 144 bpm, 12 bars and a landing: the call twice (A, A'), a rising B
// part, a tom fill over G7 and a stab on C.
MidiFile kaiten() {
    const Tick landing = bar(12);
    MidiFile file = start_piece("Popchan - Spin", 144, landing + 2 * kQuarter);
    const auto verse = progression(bar(0), "C | Am | F | G | C | Am | Dm7 G | C");
    const auto bridge = progression(bar(8), "F | G | C Am | Dm7 G7");
    const std::string verse_tune =
        std::string(kCall) +
        " | E5/8 C5 A4/4 C5/8 E5 D5/4 | F5/8 E5 F5 A5/4 G5/8 F5/4 | D5/8 E5 D5 B4/4 G4/8 B4/4 | " +
        std::string(kCall) +
        " | C6/8 B5 A5/4 E5/8 G5 A5/4 | F5/8 E5 D5/4 G5/8 F5 D5/4 | C5/4 E5/8 G5 C6/4 r/4";
    const std::string_view bridge_tune = "A5/4. G5/8 F5/4 C5 | B5/4. A5/8 G5/4 D5 | "
                                         "C6/4. B5/8 A5 G5 E5/4 | F5/8 A5 G5 F5 D5/4 B4 | C6/8>";

    // The square lead doubled on vibraphone: a soft bell under a bright edge.
    Part lead(file, "Lead", 0, gm::kSquareLead, 58, 64, 45);
    Part vibes(file, "Vibraphone", 4, gm::kVibraphone, 110, 72, 50);
    for (Part* part : {&lead, &vibes}) {
        part->gate = 0.75;
        part->velocity = 100;
        part->line(bar(0), verse_tune);
        part->line(bar(8), bridge_tune);
    }

    Part glock(file, "Glockenspiel", 1, gm::kGlockenspiel, 90, 88, 60);
    glock.velocity = 100;
    glock.gate = 0.5;
    glock.line(bar(8), bridge_tune);

    Part brass(file, "Brass stabs", 2, gm::kSynthBrass, 56, 44, 40);
    brass.spread = 4;
    brass.gate = 0.45;
    brass.velocity = 80;
    comp(brass, verse, pitch("G3"), ".x.x.x.x");
    comp(brass, bridge, pitch("G3"), "X..x..x.");
    brass.notes(landing, kEighth, chord("C", pitch("G3")), brass.accented('X'));

    Part low(file, "Bass", 3, gm::kSynthBass, 100, 64, 15);
    low.gate = 0.7;
    low.velocity = 100;
    bass(low, verse, pitch("F1"), "xoxoxoxo");
    bass(low, bridge, pitch("F1"), "x.oxx5ox");
    low.line(landing, "C2/8");

    Part drums = drum_kit(file, 90);
    drums.velocity = 92;
    const Groove beat{"X.....x.X.....x.", "....X.......X...", "X.x.X.x.X.x.X.x."};
    const Groove drive{"X.....x.X.x.....", "....X.......X...", "XoxoXoxoXoxoXoxo"};
    groove(drums, bar(0), 8, beat);
    groove(drums, bar(8), 3, drive);
    groove(drums, bar(11), 1, {"X.....x.", "....X...", "XoxoXoxo"});
    tom_fill(drums, bar(11) + 2 * kQuarter, kSixteenth);
    for (int b : {0, 4, 8})
        drums.pattern(bar(b), gm::kCrash, "X");
    button(drums, landing);

    ring_out(file, landing + kQuarter);
    return file;
}

// A minor, 150 bpm, 12 bars and a landing: one four-bar phrase climbing a whole
// tone at a time (A minor, B minor, C# minor), then E7 under a run and a snare
// roll, landing back on A minor.
MidiFile reach() {
    const Tick landing = bar(12);
    MidiFile file = start_piece("Popchan - Reach", 150, landing + 2 * kQuarter);
    const auto chords = progression(bar(0), "Am | F | G | E | Bm | G | A | F# | C#m | A | B | E7");
    const std::array<std::string_view, 4> phrase = {
        "E4/8 A4 C5 E5/4 F5/8 E5/4", "C5/8 D5 E5 F5/4 A5/8 G5 F5", "D5/8 E5 F5 G5/4 B5/8 A5 G5",
        "G#5/4. F5/8 E5/2"};

    // The saw lead doubled by a horn: an edge on a round, brassy body.
    Part lead(file, "Lead", 0, gm::kSawLead, 52, 64, 40);
    Part horn(file, "Horn", 6, gm::kFrenchHorn, 100, 56, 50);
    for (Part* part : {&lead, &horn}) {
        part->gate = 0.85;
        for (int b = 0; b < 11; ++b) {
            part->transpose = 2 * (b / 4);
            part->line(bar(b), phrase[static_cast<std::size_t>(b % 4)]);
        }
        part->transpose = 0;
        part->line(bar(11), "B4/8 C5 D5 E5 F5 G#5 A5 G#5 | A5/8>");
    }

    Part brass(file, "Brass stabs", 1, gm::kSynthBrass, 56, 40, 40);
    brass.spread = 4;
    brass.gate = 0.4;
    brass.velocity = 84;
    comp(brass, chords, pitch("A3"), "X..x..x.");
    brass.notes(landing, kEighth, chord("Am", pitch("A3")), brass.accented('X'));

    Part strings(file, "Strings", 2, gm::kSlowStrings, 100, 88, 60);
    strings.gate = 1.0;
    strings.velocity = 90;
    pad(strings, chords, pitch("E4"));
    strings.notes(landing, kQuarter, chord("Am", pitch("E4")), strings.velocity);
    strings.sweep(0, landing, gm::kExpression, 70, 127);

    Part low(file, "Bass", 3, gm::kSynthBass, 100, 64, 15);
    low.gate = 0.6;
    bass(low, chords, pitch("E1"), "xxxxxxxo");
    low.line(landing, "A1/8");

    Part hit(file, "Hits", 4, gm::kOrchestraHit, 72, 64, 50);
    for (Tick at : {bar(0), bar(4), bar(8), landing})
        hit.notes(at, kEighth, chord(at == landing ? "Am" : chord_at(chords, at), pitch("A3")),
                  100);

    Part timpani(file, "Timpani", 5, gm::kTimpani, 100, 64, 40);
    timpani.gate = 1.0;
    timpani.roll(bar(11), landing, pitch("E2"), kSixteenth, 50, 120);
    timpani.note(landing, kQuarter, pitch("A2"), 120);

    Part drums = drum_kit(file, 90);
    drums.velocity = 90;
    groove(drums, bar(0), 8, {"X...X...X...X...", "....X.......X...", "XoxoXoxoXoxoXoxo"});
    groove(drums, bar(8), 3, {"X...X...X...X...", "....X..o....X.oo", "XxxxXxxxXxxxXxxx"});
    groove(drums, bar(11), 1, {"X...X...X...X...", "", ""});
    drums.roll(bar(11), landing, gm::kSnare, kSixteenth, 50, 124);
    for (int b : {0, 4, 8})
        drums.pattern(bar(b), gm::kCrash, "X");
    button(drums, landing);

    ring_out(file, landing + kQuarter);
    return file;
}

// F major, 92 bpm, 8 bars and a held close: the call slowed into a hymn on the
// brass over choir, strings, harp and timpani, climbing to F6 before a sus4
// cadence onto F.
MidiFile zenkai() {
    const Tick close = bar(8);
    MidiFile file = start_piece("Popchan - Angel", 92, close + 3 * kQuarter);
    const auto chords =
        progression(bar(0), "F | Dm | Bb | Csus4 C | F/A Bb | Gm7 C | Dm Bb | Csus4 C | F",
                    close + 2 * kQuarter);
    const std::string_view rise = "C5/4 F5 A5 C6 | D6/2. C6/4 | Bb5/4. A5/8 G5/4 F5 | G5/2. C5/4";
    const std::string_view crown =
        "F5/4 A5 D6 C6 | Bb5/4. A5/8 G5/4 C6 | D6/4. E6/8 F6/4 D6 | C6/2 G5/4 E5 | F5/2>";

    Part brass(file, "Brass", 0, gm::kBrassSection, 100, 64, 60);
    brass.gate = 0.95;
    brass.velocity = 100;
    brass.line(brass.line(bar(0), rise), crown);

    Part horns(file, "Horns", 1, gm::kFrenchHorn, 84, 44, 60);
    horns.gate = 0.95;
    horns.velocity = 90;
    horns.transpose = -12;
    horns.line(bar(4), crown);

    Part choir(file, "Choir", 2, gm::kChoir, 92, 40, 80);
    choir.gate = 1.0;
    choir.velocity = 80;
    pad(choir, chords, pitch("F4"));

    Part strings(file, "Strings", 3, gm::kSlowStrings, 88, 88, 70);
    strings.gate = 1.0;
    strings.velocity = 76;
    pad(strings, chords, pitch("F3"));

    Part harp(file, "Harp", 4, gm::kHarp, 88, 100, 60);
    harp.velocity = 70;
    arpeggio(harp, chords, pitch("F3"), 2, kSixteenth);

    Part low(file, "Contrabass", 5, gm::kContrabass, 96, 64, 50);
    low.gate = 0.95;
    bass(low, chords, pitch("F1"), "x---x---");

    Part glock(file, "Glockenspiel", 6, gm::kGlockenspiel, 90, 24, 80);
    glock.velocity = 100;
    glock.line(bar(4), crown);

    Part timpani(file, "Timpani", 7, gm::kTimpani, 100, 64, 50);
    timpani.gate = 1.0;
    for (int b = 0; b < 7; ++b)
        timpani.note(bar(b), kQuarter, bass_note(chord_at(chords, bar(b)), pitch("F2")), 96);
    timpani.roll(bar(7), close, pitch("C3"), kSixteenth, 40, 110);
    timpani.note(close, kQuarter, pitch("F2"), 116);

    Part drums = drum_kit(file, 90);
    drums.velocity = 80;
    groove(drums, bar(0), 7, {"X.......x.......", "", ""});
    drums.roll(bar(7) + 2 * kQuarter, close, gm::kSnare, kSixteenth, 40, 110);
    for (int b : {0, 4})
        drums.pattern(bar(b), gm::kCrash, "X");
    button(drums, close);

    ring_out(file, close + 2 * kQuarter);
    return file;
}

} // namespace music
