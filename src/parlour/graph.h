// The balance graph: the day's balance against the clock, drawn segment by
// segment into the plot area. Coordinates are kept in twips and turned into
// pixels with the screen's twips per pixel when drawn.
#pragma once

#include "common/numbers.h"
#include "display/surface.h"

namespace popchan {

class BalanceGraph {
  public:
    static constexpr int kWidth = 353, kHeight = 209; // plot area in pixels

    // Clears the chart: white area, black zero line, pen at (0, 0).
    void clear(int twips_x, int twips_y);
    // The pen at the zero-balance point of the opening.
    void start_pen() { pen_x_ = 0, pen_y_ = 1500; }
    // One blue segment from the pen to the balance at the elapsed time.
    void plot(Single zentei_jikan, Single keika_byo, Single shushi, int twips_x, int twips_y);

    const Surface& surface() const { return area_; }
    Single pen_x() const { return pen_x_; }
    Single pen_y() const { return pen_y_; }

  private:
    Surface area_{kWidth, kHeight};
    Single pen_x_ = 0, pen_y_ = 0;
};

} // namespace popchan
