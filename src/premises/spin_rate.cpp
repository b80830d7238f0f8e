#include "premises/spin_rate.h"

namespace popchan {

Single normal_spin_seconds(Single k) {
    // 0.6 s for each of the 250 / k + 6 balls of a spin, at least 10 s.
    const Single x = Single((k * 6 + 250) * 0.6 / k);
    return x < 10 ? 10 : Single(vb_int(x + 0.5));
}

Single balls_per_spin(Single k) {
    return Single(vb_int(250 / k + 0.5));
}
Single yen_per_spin(Single k) {
    return Single(vb_int(1000 / k + 0.5));
}

bool spin_rate_fits(Single k) {
    constexpr double kExact = 16777216; // 2^24, the last of the unbroken whole singles
    return k > 0 && yen_per_spin(k) <= kExact && balls_per_spin(k) * 4.0 <= kExact &&
           normal_spin_seconds(k) <= kExact;
}

} // namespace popchan
