#include "machine/rules.h"

namespace popchan {

Int16 KakuhenHantei(Int16 egara) {
    static constexpr std::array<int, 15> table = {0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 1, 0};
    if (egara < 0 || egara > 14) return 1;
    return table[egara];
}

Int16 Reach_Hantei(Int16 atari_flag, Random& rng) {
    return reach_kind(atari_flag, rng);
}

} // namespace popchan
