// The fourteen reel symbols, the numbers 0 to 13.
#pragma once

#include <QImage>

namespace pictures {

constexpr int symbol_w = 37, symbol_h = 48, symbol_count = 14;

// Whether a symbol is one of the seven that turn a jackpot into probability-up.
bool probability_up(int symbol);
// A symbol drawn on a transparent 37 × 48 canvas.
QImage symbol_art(int symbol);

} // namespace pictures
