#include "parlour/graph.h"

namespace popchan {

namespace {
int px(Single twips, int per_px) {
    return to_int16(twips / per_px);
}
} // namespace

void BalanceGraph::clear(int tx, int ty) {
    lines_.clear();
    lines_.push_back({0, px(1500, ty), px(5200, tx), px(1500, ty), rgb(0, 0, 0)});
    blank_extent_ = {px(5295, tx), px(3135, ty)};
    drawn_ = 0;
    blank_ = true;
    pen_x_ = 0, pen_y_ = 0;
}

void BalanceGraph::plot(Single zentei_jikan, Single keika_byo, Single shushi, int tx, int ty) {
    const Single x = 5200 / (zentei_jikan * 60 * 60) * keika_byo;
    Single y = 1500 - shushi * (1500.0f / 100000);
    if (y > 3000) y = 3000;
    if (y < 50) y = 50;
    lines_.push_back({px(pen_x_, tx), px(pen_y_, ty), px(x, tx), px(y, ty), rgb(0, 0, 255)});
    pen_x_ = x, pen_y_ = y;
}

const Surface& BalanceGraph::surface() const {
    if (blank_) {
        area_.fill_box(0, 0, blank_extent_.first, blank_extent_.second, rgb(255, 255, 255));
        blank_ = false;
    }
    for (; drawn_ < lines_.size(); ++drawn_) {
        const Line& l = lines_[drawn_];
        area_.line(l.x1, l.y1, l.x2, l.y2, l.colour);
    }
    return area_;
}

} // namespace popchan
