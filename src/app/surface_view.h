// Shows one of the core's pixel surfaces, without copying its pixels.
#pragma once

#include <QWidget>
#include <functional>

#include "display/surface.h"

namespace popchan {

class SurfaceView : public QWidget {
  public:
    // `surface` gives the surface, brought up to date.
    SurfaceView(std::function<const Surface&()> surface, QWidget* parent);
    // Repaints when the surface changed since the last paint.
    void refresh();

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    std::function<const Surface&()> surface_;
    std::uint64_t painted_ = ~std::uint64_t{0};
};

} // namespace popchan
