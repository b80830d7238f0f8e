// The spin lottery: decides one whole spin before the display shows it.
#pragma once

#include "common/random.h"
#include "machine/spin_state.h"
#include "premises/premises.h"

namespace popchan {

// One lottery tick. Acts only when spin_phase is 0 and hands over with
// spin_phase 1. `renchan` is the chain length the accounting left.
void Timer1_Timer(SpinState& s, Single renchan, const Premises& z, Random& rng);
// The same with the machine's own generator, without a virtual call per draw.
void Timer1_Timer(SpinState& s, Single renchan, const Premises& z, MachineRandom& rng);

} // namespace popchan
