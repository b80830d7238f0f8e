#include "parlour/graph.h"

#include <algorithm>

namespace popchan {

namespace {
// A point far right of the picture, as a day much shorter than its spins
// places it, is held at the edge of the 16-bit range: drawing clips it.
int px(Single twips, int per_px) {
    return to_int16(std::min(double(twips / per_px), 32767.0));
}
} // namespace

void BalanceGraph::clear(int tx, int ty) {
    lines_.clear();
    lines_.push_back({0, 1500, 5200, 1500, rgb(0, 0, 0)});
    twips_x_ = tx, twips_y_ = ty;
    drawn_ = 0;
    blank_ = true;
    pen_x_ = 0, pen_y_ = 0;
}

void BalanceGraph::plot(Single zentei_jikan, Single keika_byo, Single shushi) {
    const Single x = 5200 / (zentei_jikan * 60 * 60) * keika_byo;
    Single y = 1500 - shushi * (1500.0f / 100000);
    if (y > 3000) y = 3000;
    if (y < 50) y = 50;
    lines_.push_back({pen_x_, pen_y_, x, y, rgb(0, 0, 255)});
    pen_x_ = x, pen_y_ = y;
}

const Surface& BalanceGraph::surface() const {
    if (blank_) {
        area_.fill_box(0, 0, px(5295, twips_x_), px(3135, twips_y_), rgb(255, 255, 255));
        blank_ = false;
    }
    for (; drawn_ < lines_.size(); ++drawn_) {
        const Line& l = lines_[drawn_];
        area_.line(px(l.x1, twips_x_), px(l.y1, twips_y_), px(l.x2, twips_x_), px(l.y2, twips_y_),
                   l.colour);
    }
    return area_;
}

} // namespace popchan
