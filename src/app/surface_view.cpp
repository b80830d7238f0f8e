#include "app/surface_view.h"

#include <QImage>
#include <QPainter>
#include <QScreen>
#include <cmath>

namespace popchan {

SurfaceView::SurfaceView(std::function<const Surface&()> surface, QWidget* parent)
    : QWidget(parent), surface_(std::move(surface)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    frame_.setSingleShot(true);
    frame_.setTimerType(Qt::PreciseTimer);
    // What changed during the frame is shown at its end.
    connect(&frame_, &QTimer::timeout, this, [this] { refresh(); });
}

void SurfaceView::refresh() {
    const std::uint64_t revision = surface_().revision();
    if (revision == asked_ || frame_.isActive()) return;
    asked_ = revision;
    update();
    const double hz = screen()->refreshRate() > 0 ? screen()->refreshRate() : 60;
    frame_.start(int(std::ceil(1000 / hz)));
}

void SurfaceView::paintEvent(QPaintEvent*) {
    const Surface& surface = surface_();
    // The image only wraps the surface's pixels. On a screen of more device
    // pixels than logical ones it is scaled up by whole pixels, sharp, as
    // the painter does without a smoothing hint.
    const QImage image(reinterpret_cast<const uchar*>(surface.data()), surface.width(),
                       surface.height(), surface.width() * 4, QImage::Format_ARGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

} // namespace popchan
