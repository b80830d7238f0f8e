#include "app/surface_view.h"

#include <QImage>
#include <QPainter>

namespace popchan {

SurfaceView::SurfaceView(const Surface& surface, QWidget* parent)
    : QWidget(parent), surface_(surface) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceView::refresh() {
    if (surface_.revision() != painted_) update();
}

void SurfaceView::paintEvent(QPaintEvent*) {
    painted_ = surface_.revision();
    // The image only wraps the surface's pixels.
    const QImage image(reinterpret_cast<const uchar*>(surface_.data()), surface_.width(),
                       surface_.height(), surface_.width() * 4, QImage::Format_ARGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

} // namespace popchan
