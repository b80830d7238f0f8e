#include "paint.h"

#include <QTransform>
#include <cmath>
#include <numbers>

namespace pictures {

namespace {

double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

} // namespace

QImage transparent_canvas(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage solid_canvas(int w, int h, const QColor& colour) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(colour.rgb());
    return img;
}

void smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QPointF limb_direction(double degrees) {
    const double a = radians(degrees);
    return {std::sin(a), std::cos(a)};
}

QPainterPath segment(QPointF a, QPointF b) {
    QPainterPath path(a);
    path.lineTo(b);
    return path;
}

QPen round_pen(const QColor& colour, double width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath star_path(QPointF c, double r, double inner, int points, double turn) {
    QPainterPath path;
    for (int i = 0; i < 2 * points; ++i) {
        const double a = radians(turn) - std::numbers::pi / 2 + i * std::numbers::pi / points;
        const double rr = i % 2 ? r * inner : r;
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
        i ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    return path;
}

void star(QPainter& p, QPointF c, double r, const QColor& fill) {
    const QPainterPath path = star_path(c, r);
    p.strokePath(path, QPen(fill.darker(150), std::max(0.8, r * 0.18), Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
    p.fillPath(path, fill);
}

void sparkle(QPainter& p, QPointF c, double r, const QColor& colour) {
    const QPainterPath path = star_path(c, r, 0.22, 4);
    p.strokePath(path, QPen(colour.darker(140), std::max(0.7, r * 0.12)));
    p.fillPath(path, colour);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 230));
    p.drawEllipse(c, r * 0.22, r * 0.22);
}

void music_note(QPainter& p, QPointF c, double size, const QColor& colour) {
    const double stem_x = c.x() + size * 0.42;
    QPainterPath note;
    note.addEllipse(c, size * 0.5, size * 0.36);
    QPainterPath stem;
    stem.moveTo(stem_x, c.y());
    stem.lineTo(stem_x, c.y() - size * 1.5);
    stem.quadTo(stem_x + size * 0.9, c.y() - size * 1.1, stem_x + size * 0.6, c.y() - size * 0.6);
    QPen edge(colour.darker(170), size * 0.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.strokePath(stem, edge);
    p.strokePath(note, edge);
    p.fillPath(note, colour);
    p.strokePath(stem, QPen(colour, size * 0.22, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

QFont ipa_font(const char* family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

QPainterPath fitted_text(const QString& text, const QFont& font, const QRectF& box) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    QTransform t;
    t.translate(box.left(), box.top());
    t.scale(box.width() / b.width(), box.height() / b.height());
    t.translate(-b.left(), -b.top());
    return t.map(path);
}

QPainterPath centred_text(const QString& text, const QFont& font, const QRectF& box) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    const double s = std::min(box.width() / b.width(), box.height() / b.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(s, s);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(path);
}

void outlined_path(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& edge,
                   double edge_width, const QColor& inner, double inner_width) {
    p.strokePath(path, round_pen(edge, edge_width));
    if (inner_width > 0) p.strokePath(path, round_pen(inner, inner_width));
    p.fillPath(path, fill);
}

QLinearGradient vertical(const QRectF& box, const QColor& top, const QColor& bottom) {
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

} // namespace pictures
