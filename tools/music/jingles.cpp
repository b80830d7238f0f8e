// The one-shot pieces: roulette, jackpot fanfare, the reach's stop and its miss.
#include <string_view>

#include "gm.h"
#include "pieces.h"

namespace music {

// C major: a roulette wheel of sixteenth-note arpeggios through C, Am, F and G
// that slows from 180 to 132 bpm over one bar (about 1.5 s), then the stop hit
// and a flourish at 150 bpm.
MidiFile chusen() {
    MidiFile file = start_piece("Popchan - Roulette", 180, bar(2) + kQuarter);
    file.tempo(2 * kQuarter, 160);
    file.tempo(3 * kQuarter, 132);
    file.tempo(bar(1), 150);
    const auto wheel = progression(bar(0), "C Am F G");
    const std::string_view flourish = "C6/4> r/8 G5/16 A5 C6/2>";

    Part box(file, "Music box", 0, gm::kMusicBox, 92, 40, 50);
    box.velocity = 100;
    arpeggio(box, wheel, pitch("C5"), 1, kSixteenth);

    Part lead(file, "Lead", 1, gm::kSquareLead, 64, 88, 45);
    lead.gate = 0.6;
    lead.velocity = 90;
    arpeggio(lead, wheel, pitch("C5"), 1, kSixteenth);
    lead.gate = 0.9;
    lead.line(bar(1), flourish);

    Part glock(file, "Glockenspiel", 2, gm::kGlockenspiel, 90, 30, 60);
    glock.velocity = 100;
    glock.line(bar(1), flourish);

    Part brass(file, "Brass stabs", 3, gm::kSynthBrass, 56, 50, 40);
    brass.spread = 4;
    brass.line(bar(1), "C4+E4+G4+C5/8> r/8 r/4 E4+G4+C5+E5/2");

    Part low(file, "Bass", 4, gm::kSynthBass, 100, 64, 15);
    low.line(bar(1), "C2/4 r/4 C2/2");

    Part hit(file, "Hit", 5, gm::kOrchestraHit, 72, 64, 50);
    Part drums = drum_kit(file, 96);
    drums.velocity = 84;
    drums.pattern(bar(0), gm::kHighWoodBlock, "XxxxXxxxXxxxXxxx");
    stop_hit(hit, drums, bar(1));
    drums.pattern(bar(1) + 2 * kQuarter, gm::kSplash, "x");
    ring_out(file, bar(2));
    return file;
}

// C major, 132 bpm, 5 bars: a trumpet fanfare on the call with triplet pickups,
// brass and strings below, timpani rolling into the final chord.
MidiFile atari() {
    MidiFile file = start_piece("Popchan - Jackpot", 132, bar(5) + 2 * kQuarter);
    const std::string_view changes = "C | F G | Am F | Dm7 G7 | C";
    const auto chords = progression(bar(0), changes);
    const std::string_view fanfare = "G4/8t C5 E5 G5/2.> | A5/8t G5 F5 A5/4 B5/8t A5 G5 B5/4 | "
                                     "C6/4. B5/8 A5/4 E5/8t F5 G5 | A5/4. G5/8 F5/4 G5/8t G5 G5 | "
                                     "C6/1>";

    Part trumpet(file, "Trumpet", 0, gm::kTrumpet, 100, 64, 55);
    trumpet.velocity = 104;
    trumpet.line(bar(0), fanfare);

    Part glock(file, "Glockenspiel", 1, gm::kGlockenspiel, 90, 90, 60);
    glock.velocity = 100;
    glock.line(bar(0), fanfare);

    Part brass(file, "Brass", 2, gm::kBrassSection, 88, 44, 55);
    brass.gate = 0.95;
    brass.velocity = 86;
    pad(brass, chords, pitch("G3"));

    Part strings(file, "Strings", 3, gm::kSlowStrings, 84, 84, 65);
    strings.gate = 1.0;
    strings.velocity = 74;
    pad(strings, chords, pitch("C3"));
    strings.line(bar(3) + 2 * kQuarter, "C5/16 D5 E5 F5 G5 A5 B5 C6");

    Part low(file, "Bass", 4, gm::kSynthBass, 96, 64, 20);
    low.gate = 0.8;
    bass(low, progression(bar(0), changes, bar(4)), pitch("F1"), "x-o-x-o-");
    low.line(bar(4), "C2/1");

    Part timpani(file, "Timpani", 5, gm::kTimpani, 100, 64, 45);
    timpani.gate = 1.0;
    timpani.roll(kQuarter, bar(1), pitch("C3"), kSixteenth, 50, 100);
    for (int b = 1; b < 4; ++b)
        timpani.note(bar(b), kQuarter, bass_note(chord_at(chords, bar(b)), pitch("F2")), 100);
    timpani.roll(bar(4), bar(5), pitch("C3"), kSixteenth, 70, 120);

    Part drums = drum_kit(file, 96);
    drums.velocity = 88;
    groove(drums, bar(0), 4, {"X.......X.......", "", ""});
    drums.pattern(bar(3) + 3 * kQuarter, gm::kSnare, "xxX", kQuarter / 3);
    drums.pattern(bar(0), gm::kCrash, "X");
    button(drums, bar(4));
    ring_out(file, bar(5));
    return file;
}

// C major, 150 bpm, six beats: the stop hit, then the call's head thrown up to G6.
MidiFile teishi() {
    MidiFile file = start_piece("Popchan - Stop", 150, 6 * kQuarter);
    const std::string_view tune = "C6/8> r/8 G5/16 C6 E6 A6 G6/2.>";

    Part lead(file, "Lead", 0, gm::kSquareLead, 64, 64, 45);
    Part vibes(file, "Vibraphone", 5, gm::kVibraphone, 110, 72, 50);
    Part glock(file, "Glockenspiel", 1, gm::kGlockenspiel, 90, 90, 60);
    glock.velocity = 100;
    for (Part* part : {&lead, &vibes, &glock})
        part->line(0, tune);

    Part brass(file, "Brass stabs", 2, gm::kSynthBrass, 56, 40, 40);
    brass.spread = 4;
    brass.line(0, "C5+E5+G5/8> r/8 r/4 C5+E5+G5+C6/2.>");

    Part low(file, "Bass", 3, gm::kSynthBass, 100, 64, 15);
    low.line(0, "C2/8 r/8 r/4 C2/2.");

    Part hit(file, "Hit", 4, gm::kOrchestraHit, 72, 64, 50);
    Part drums = drum_kit(file, 96);
    drums.velocity = 88;
    stop_hit(hit, drums, 0);
    drums.pattern(0, gm::kTambourine, "....xxxx");
    button(drums, 2 * kQuarter);
    ring_out(file, 5 * kQuarter);
    return file;
}

// 120 bpm, five beats: the call tumbles down the scale on muted trumpet, bassoon
// and tuba, lands a semitone wrong and sags a whole tone on its last note.
MidiFile hazure() {
    MidiFile file = start_piece("Popchan - Miss", 120, bar(1) + kQuarter);
    const std::string_view fall = "G5/16 E5 C5/8 F5/16 D5 B4/8 Ab4/8 G4/4.";
    const Tick last_note = 2 * kQuarter + kEighth;

    Part trumpet(file, "Muted trumpet", 0, gm::kMutedTrumpet, 120, 56, 40);
    Part bassoon(file, "Bassoon", 1, gm::kBassoon, 120, 72, 40);
    bassoon.transpose = -12;
    Part tuba(file, "Tuba", 2, gm::kTuba, 90, 64, 30);
    trumpet.line(0, fall);
    bassoon.line(0, fall);
    tuba.line(0, "C3/4 G2/4 Db3/8 C3/4.");
    for (Part* part : {&trumpet, &bassoon, &tuba}) {
        part->sweep(last_note + kSixteenth, bar(1) - kSixteenth, Part::kPitchBend, 0, -8192);
        part->set(file.length(), Part::kPitchBend, 0);
    }

    Part xylophone(file, "Xylophone", 3, gm::kXylophone, 127, 90, 40);
    xylophone.velocity = 110;
    xylophone.transpose = 12;
    xylophone.line(0, "G5/16 E5 C5/8 F5/16 D5 B4/8");

    Part drums = drum_kit(file, 90);
    drums.velocity = 80;
    tom_fill(drums, 0, kSixteenth);
    drums.pattern(last_note, gm::kVibraslap, "x");
    ring_out(file, bar(1));
    return file;
}

} // namespace music
