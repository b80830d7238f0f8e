#include "app/surface_view.h"

#include <QImage>
#include <QPainter>

namespace popchan {

SurfaceView::SurfaceView(std::function<const Surface&()> surface, QWidget* parent)
    : QWidget(parent), surface_(std::move(surface)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceView::refresh() {
    if (surface_().revision() != painted_) update();
}

void SurfaceView::paintEvent(QPaintEvent*) {
    const Surface& surface = surface_();
    painted_ = surface.revision();
    // The image only wraps the surface's pixels.
    const QImage image(reinterpret_cast<const uchar*>(surface.data()), surface.width(),
                       surface.height(), surface.width() * 4, QImage::Format_ARGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

} // namespace popchan
