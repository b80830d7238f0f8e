// Shows one of the core's pixel surfaces, without copying its pixels.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

#include "display/surface.h"

namespace popchan {

class SurfaceView : public QWidget {
  public:
    // `surface` gives the surface, brought up to date.
    SurfaceView(std::function<const Surface&()> surface, QWidget* parent);
    // Repaints when the surface changed since the last repaint, at most once
    // a frame of the screen: the changes of one frame are shown together
    // (at a high play speed the display changes far more often than that).
    void refresh();

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    std::function<const Surface&()> surface_;
    std::uint64_t asked_ = ~std::uint64_t{0}; // the revision last asked to be shown
    QTimer frame_;                            // runs for one frame after each repaint
};

} // namespace popchan
