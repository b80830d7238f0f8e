// The 理論値 section of the summary: the exact figures, and beside them a
// run's estimates with their 95 % intervals, as text.
#pragma once

#include <string>

#include "analysis/exact.h"

namespace popchan::batch {

using namespace popchan::analysis;

// What an interval's place shows when there are too few days for one.
std::string too_few_days();

// The 理論値 section of the summary; with a run's measurements, each figure
// beside its estimate and 95 % interval. Where days of the run ended at the
// give-up (`giveup_days`), the run's chains and pace are not those of days
// that end at their hours: they are shown on rows of their own.
std::string exact_section(const ExactFigures& e, const Measured* m, std::int64_t giveup_days);

} // namespace popchan::batch
