// What one spin takes at a spin rate of k spins per 1,000 yen: 250 balls are
// 1,000 yen, and a spin without reach in the normal state fires 250 / k + 6
// balls at 0.6 s each.
#pragma once

#include "common/numbers.h"

namespace popchan {

Single normal_spin_seconds(Single k); // a spin without reach, normal state
Single balls_per_spin(Single k);      // whole balls, half up
Single yen_per_spin(Single k);        // whole yen, half up, with no balls held

// Whether a day can hold spins at rate k: its cost in yen (also as balls
// bought at 4 yen when the balls run short) and its seconds are whole numbers
// that single precision holds exactly, so every sum of the day stays exact
// to the yen and the second and never becomes infinite.
bool spin_rate_fits(Single k);

} // namespace popchan
