#include "parlour/graph.h"

namespace popchan {

namespace {
int px(Single twips, int per_px) { return to_int16(twips / per_px); }
} // namespace

void BalanceGraph::clear(int tx, int ty) {
    area_.fill_box(0, 0, px(5295, tx), px(3135, ty), rgb(255, 255, 255));
    area_.line(0, px(1500, ty), px(5200, tx), px(1500, ty), rgb(0, 0, 0));
    pen_x_ = 0, pen_y_ = 0;
}

void BalanceGraph::plot(Single zentei_jikan, Single keika_byo, Single shushi, int tx, int ty) {
    const Single x = 5200 / (zentei_jikan * 60 * 60) * keika_byo;
    Single y = 1500 - shushi * (1500.0f / 100000);
    if (y > 3000) y = 3000;
    if (y < 50) y = 50;
    area_.line(px(pen_x_, tx), px(pen_y_, ty), px(x, tx), px(y, ty), rgb(0, 0, 255));
    pen_x_ = x, pen_y_ = y;
}

} // namespace popchan
