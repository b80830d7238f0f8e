#include "machine/rules.h"

namespace popchan {

Int16 KakuhenHantei(Int16 egara) {
    static constexpr std::array<int, 15> table = {0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 1, 0};
    if (egara < 0 || egara > 14) return 1;
    return table[egara];
}

namespace {
template <std::size_t N> Int16 band_of(const std::array<ReachBand, N>& table, int v) {
    for (const ReachBand& band : table)
        if (v < band.below) return band.kind;
    throw RuntimeError(kSubscriptOutOfRange); // v beyond the last band
}
} // namespace

namespace {
template <class R> Int16 reach_kind(Int16 atari_flag, R& rng) {
    if (atari_flag == 1) return band_of(kAtariReachTable, rnd_below(rng, kAtariDraw));
    return band_of(kHazureReachTable, rnd_below(rng, kHazureDraw));
}

} // namespace

Int16 Reach_Hantei(Int16 atari_flag, Random& rng) {
    return reach_kind(atari_flag, rng);
}
Int16 Reach_Hantei(Int16 atari_flag, MachineRandom& rng) {
    return reach_kind(atari_flag, rng);
}

} // namespace popchan
