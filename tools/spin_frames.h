// Plays decided spins on the display with the program's pictures and keeps
// every frame: for contact sheets and for golden-frame tests.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

#include "machine/spin_state.h"

namespace popchan {

// One spin as the lottery would have left it.
struct DecidedSpin {
    std::string name;
    int atari_flag = 0, atari_egara = 0, shoukaku_egara = 0, reach_kind = 0;
    int suberi_flag = 0, yokoku_chara = 0, yokoku_level = 0, kakuhen_flag = 0;
};

// The outcomes worth looking at: a loss, reaches, jackpots with promotion
// and fanfare, and one of each presented reach kind.
std::vector<DecidedSpin> sample_spins();

// One of each presented reach kind.
std::vector<DecidedSpin> reach_spins();

// Every presented reach kind with both outcomes (the angel only wins):
// reach_spins() first, then the outcomes it leaves out.
std::vector<DecidedSpin> every_reach_outcome();

struct PlayedSpin {
    std::vector<QImage> frames;         // every frame the display showed, in order
    std::size_t presentation_start = 0; // the first frame of the reach presentation
};

// Plays the spin; the display's own draws come from a generator seeded with `seed`.
PlayedSpin play(const DecidedSpin& spin, std::uint64_t seed);

// `count` frames spread over the presentation and what follows it.
std::vector<QImage> presentation_frames(const PlayedSpin& spin, int count);

// Frames picked evenly across a spin, laid out in one labelled row per spin
// at `scale` times their size.
QImage contact_sheet(const std::vector<std::pair<std::string, std::vector<QImage>>>& rows,
                     int scale);

// `count` frames spread evenly over the whole spin.
std::vector<QImage> pick_frames(const std::vector<QImage>& frames, int count);

} // namespace popchan
