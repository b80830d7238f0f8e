// Sprite sheets of 64 × 72 cells side by side, each sprite above its mask.
#pragma once

#include <QImage>
#include <QPainter>
#include <functional>
#include <vector>

namespace pictures {

constexpr int cell_w = 64, cell_h = 72;

using CellArt = std::function<void(QPainter&)>;

// Draws each cell on a transparent canvas and cuts it out along its silhouette.
QImage sprite_sheet(const std::vector<CellArt>& cells);

} // namespace pictures
