#include "masking.h"

#include <QPainter>

namespace pictures {

namespace {

constexpr QRgb white = 0xFFFFFFFFu;
constexpr QRgb black = 0xFF000000u;

bool covered(QRgb pixel) {
    return qAlpha(pixel) >= 128;
}

// The colour of a (not premultiplied) pixel at full strength.
QRgb full_strength(QRgb pixel) {
    return qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

} // namespace

Masked cut_out(const QImage& drawing) {
    return cut_out(drawing, drawing);
}

Masked cut_out(const QImage& drawing, const QImage& silhouette) {
    const QImage art = drawing.convertToFormat(QImage::Format_ARGB32);
    const QImage shape = silhouette.convertToFormat(QImage::Format_ARGB32);
    Masked m{QImage(art.size(), QImage::Format_ARGB32), QImage(art.size(), QImage::Format_ARGB32)};
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            const bool opaque = covered(shape.pixel(x, y));
            m.mask.setPixel(x, y, opaque ? black : white);
            m.sprite.setPixel(x, y, opaque ? full_strength(art.pixel(x, y)) : white);
        }
    }
    return m;
}

QImage stacked(const Masked& m) {
    QImage sheet(m.sprite.width(), 2 * m.sprite.height(), QImage::Format_ARGB32);
    paste(sheet, m, QPoint(0, 0), QPoint(0, m.sprite.height()));
    return sheet;
}

void place(QImage& dest, const QImage& src, QPoint at) {
    QPainter p(&dest);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(at, src);
}

void paste(QImage& sheet, const Masked& m, QPoint at, QPoint mask_at) {
    place(sheet, m.sprite, at);
    place(sheet, m.mask, mask_at);
}

void masked_draw(QImage& dest, QPoint at, const QImage& sprite, const QImage& mask,
                 const QRect& from, QPoint mask_from) {
    for (int y = 0; y < from.height(); ++y) {
        for (int x = 0; x < from.width(); ++x) {
            const QPoint d(at.x() + x, at.y() + y);
            if (!dest.rect().contains(d)) continue;
            const QRgb under = dest.pixel(d) & 0xFFFFFFu;
            const QRgb m = mask.pixel(mask_from.x() + x, mask_from.y() + y) & 0xFFFFFFu;
            const QRgb s = sprite.pixel(from.x() + x, from.y() + y) & 0xFFFFFFu;
            const QRgb erased = m & ~under;
            dest.setPixel(d, 0xFF000000u | ((s ^ erased) & 0xFFFFFFu));
        }
    }
}

QString mask_fault(const QImage& sprite, const QImage& mask) {
    if (sprite.size() != mask.size()) return "sizes differ";
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            const QRgb m = mask.pixel(x, y);
            const QString at = QString(" at %1,%2").arg(x).arg(y);
            if (m != white && m != black) return "mask not two-colour" + at;
            if (m == white && sprite.pixel(x, y) != white) return "sprite not white" + at;
            if (qAlpha(sprite.pixel(x, y)) != 255) return "sprite not opaque" + at;
        }
    }
    return {};
}

} // namespace pictures
