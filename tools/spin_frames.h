// Decided spins played on the display with the program's pictures, as images:
// for contact sheets and for golden-frame tests.
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "parlour/decided_spins.h"

namespace popchan {

// The core's golden frames of the spin (see golden_frames) as images.
std::vector<QImage> golden_images(const DecidedSpin& spin, bool presentation, int count);

// Frames laid out in one labelled row per spin at `scale` times their size.
QImage contact_sheet(const std::vector<std::pair<std::string, std::vector<QImage>>>& rows,
                     int scale);

} // namespace popchan
