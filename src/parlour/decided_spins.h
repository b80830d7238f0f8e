// Spins as the lottery would have left them, played on the display tick by
// tick: for contact sheets and for the golden frames that both front ends'
// tests compare their displays with.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/digi.h"

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

struct SpinLength {
    std::size_t frames = 0;             // frames the display showed
    std::size_t presentation_start = 0; // the first frame of the reach presentation
};

// Plays the spin on a display with `pictures`, handing each frame it shows to
// `frame` in order; the display's own draws come from a generator seeded with
// `seed`.
SpinLength play(const DecidedSpin& spin, const Pictures& pictures, std::uint64_t seed,
                const std::function<void(const Surface&)>& frame);

// `count` indices spread evenly over `frames` frames, first and last included.
std::vector<std::size_t> pick_evenly(std::size_t frames, int count);

// The golden frames: of the sample spins (`presentation` false) `count`
// frames spread over the whole spin, of every reach outcome `count` frames
// spread over the presentation and what follows it.
std::vector<Surface> golden_frames(const DecidedSpin& spin, bool presentation,
                                   const Pictures& pictures, int count);

} // namespace popchan
