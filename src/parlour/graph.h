// The balance graph: the day's balance against the clock, drawn segment by
// segment into the plot area. Coordinates are kept in twips and turned into
// pixels with the screen's twips per pixel. The pixels are drawn when someone
// looks at them, so a day played unseen costs no drawing.
#pragma once

#include <utility>
#include <vector>

#include "common/numbers.h"
#include "display/surface.h"

namespace popchan {

class BalanceGraph {
  public:
    static constexpr int kWidth = 353, kHeight = 209; // plot area in pixels

    // Clears the chart: white area, black zero line, pen at (0, 0). The
    // screen's twips per pixel turn the chart's twips into pixels.
    void clear(int twips_x, int twips_y);
    // The pen at the zero-balance point of the opening.
    void start_pen() { pen_x_ = 0, pen_y_ = 1500; }
    // One blue segment from the pen to the balance at the elapsed time.
    void plot(Single zentei_jikan, Single keika_byo, Single shushi);

    // The plot area with everything drawn so far.
    const Surface& surface() const;
    Single pen_x() const { return pen_x_; }
    Single pen_y() const { return pen_y_; }

  private:
    // In twips; turned into pixels when drawn.
    struct Line {
        Single x1, y1, x2, y2;
        Pixel colour;
    };
    Single pen_x_ = 0, pen_y_ = 0;
    std::vector<Line> lines_; // since the last clear, the zero line first
    mutable Surface area_{kWidth, kHeight};
    mutable std::size_t drawn_ = 0;   // lines already in area_
    mutable bool blank_ = false;      // area_ still to be cleared
    int twips_x_ = 15, twips_y_ = 15; // of the screen the lines are drawn for
};

} // namespace popchan
