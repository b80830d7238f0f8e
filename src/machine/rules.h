// The machine's small rules: which symbols are probability-up symbols, and
// which reach kind a spin gets.
#pragma once

#include <array>

#include "common/numbers.h"
#include "common/random.h"

namespace popchan {

// 1 for the probability-up symbols 3, 5, 7, 10, 11, 12, 13 and for anything
// outside 0..14; 0 for the others and for 14 (standing for symbol 0).
Int16 KakuhenHantei(Int16 egara);

// The reach kind of a spin: 1..11 from the jackpot table when atari_flag is 1,
// else 1..10 from the miss table.
Int16 Reach_Hantei(Int16 atari_flag, Random& rng);
// The same with the machine's own generator, inline (below).
inline Int16 Reach_Hantei(Int16 atari_flag, MachineRandom& rng);

// The two symbol tables of the lottery, indexed by Int(Rnd × 7).
inline constexpr std::array<int, 7> kOtherSymbols = {0, 1, 2, 8, 4, 9, 6};
inline constexpr std::array<int, 7> kKakuhenSymbols = {3, 5, 7, 10, 11, 12, 13};

// A band of a weighted table: draws below `below` (and at or above the band
// before) give `kind`.
struct ReachBand {
    int below;
    int kind;
};

inline constexpr int kAtariDraw = 103;
inline constexpr std::array<ReachBand, 11> kAtariReachTable = {{
    {1, 1},
    {3, 2},
    {13, 3},
    {15, 4},
    {25, 5},
    {28, 6},
    {48, 7},
    {53, 8},
    {63, 9},
    {83, 10},
    {103, 11},
}};

// One miss in kHazureReachOneIn gets a reach from the miss table.
inline constexpr int kHazureReachOneIn = 14;

// In the probability-up state a miss keeps only the stronger reaches (3, 5,
// 7, 9 and 10); any other kind is shown as no reach there.
inline bool kakuhen_keeps_miss_reach(Int16 reach_kind) {
    switch (reach_kind) {
    case 3:
    case 5:
    case 7:
    case 9:
    case 10:
        return true;
    default:
        return false;
    }
}

inline constexpr int kHazureDraw = 2172;
inline constexpr std::array<ReachBand, 10> kHazureReachTable = {{
    {799, 1},
    {1197, 2},
    {1237, 3},
    {1635, 4},
    {1665, 5},
    {2062, 6},
    {2092, 7},
    {2137, 8},
    {2167, 9},
    {2172, 10},
}};

namespace rules_detail {
template <std::size_t N> Int16 band_of(const std::array<ReachBand, N>& table, int v) {
    for (const ReachBand& band : table)
        if (v < band.below) return band.kind;
    raise_error(kSubscriptOutOfRange); // v beyond the last band
}
} // namespace rules_detail

template <class R> Int16 reach_kind(Int16 atari_flag, R& rng) {
    if (atari_flag == 1) return rules_detail::band_of(kAtariReachTable, rnd_below(rng, kAtariDraw));
    return rules_detail::band_of(kHazureReachTable, rnd_below(rng, kHazureDraw));
}

inline Int16 Reach_Hantei(Int16 atari_flag, MachineRandom& rng) {
    return reach_kind(atari_flag, rng);
}
// A lottery's draws hand the generator over for the table.
inline Int16 Reach_Hantei(Int16 atari_flag, LotteryDraws& d) {
    return d.with_generator([&](MachineRandom& rng) { return Reach_Hantei(atari_flag, rng); });
}

} // namespace popchan
