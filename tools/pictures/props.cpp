#include "props.h"

#include "figure.h"
#include "paint.h"

#include <QPainterPath>
#include <QRadialGradient>

namespace pictures {

namespace {

// A teardrop from the origin along +y, `length` long and `width` wide.
QPainterPath petal(double length, double width) {
    QPainterPath path(QPointF(0, 0));
    path.cubicTo(-width, length * 0.3, -width * 0.8, length, 0, length);
    path.cubicTo(width * 0.8, length, width, length * 0.3, 0, 0);
    return path;
}

// Runs `draw` with the origin at `root` and +y pointing along `direction`.
template <class Draw> void along(QPainter& p, QPointF root, double direction, Draw draw) {
    p.save();
    p.translate(root);
    p.rotate(-direction);
    draw();
    p.restore();
}

void string_to(QPainter& p, QPointF from, QPointF to) {
    QPainterPath s(from);
    const QPointF mid = (from + to) / 2;
    s.cubicTo(mid + QPointF(3, -2), mid + QPointF(-3, 2), to);
    p.strokePath(s, round_pen(QColor(70, 70, 80), 0.9));
}

QPainterPath balloon_body(QPointF c, double r) {
    QPainterPath body;
    body.addEllipse(c, r, r * 1.15);
    QPainterPath knot(c + QPointF(0, r * 1.1));
    knot.lineTo(c + QPointF(-1.6, r * 1.15 + 2.2));
    knot.lineTo(c + QPointF(1.6, r * 1.15 + 2.2));
    knot.closeSubpath();
    return body.united(knot);
}

QBrush shiny(QPointF c, double r, const QColor& colour) {
    QRadialGradient g(c, r * 1.3, c + QPointF(-r * 0.4, -r * 0.5));
    g.setColorAt(0, colour.lighter(160));
    g.setColorAt(0.6, colour);
    g.setColorAt(1, colour.darker(130));
    return g;
}

} // namespace

void crate(QPainter& p, const QRectF& box) {
    const QColor wood(214, 150, 78), dark(120, 70, 30);
    QPainterPath outline;
    outline.addRect(box);
    outlined_path(p, outline, vertical(box, wood.lighter(110), wood.darker(115)), ink(), 1.6);
    const QRectF inner = box.adjusted(2.2, 2.2, -2.2, -2.2);
    QPainterPath brace(inner.topLeft());
    brace.lineTo(inner.bottomRight());
    brace.moveTo(inner.bottomLeft());
    brace.lineTo(inner.topRight());
    p.strokePath(brace, round_pen(dark, 2.6));
    p.strokePath(brace, round_pen(wood.lighter(115), 1.2));
    p.setPen(round_pen(dark, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inner);
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    for (QPointF c : {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight()})
        p.drawEllipse(c, 0.8, 0.8);
}

void balloon(QPainter& p, QPointF c, double r, QPointF string_end, const QColor& colour) {
    string_to(p, c + QPointF(0, r * 1.15 + 2), string_end);
    outlined_path(p, balloon_body(c, r), shiny(c, r, colour), colour.darker(200), 1.4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(c + QPointF(-r * 0.42, -r * 0.5), r * 0.18, r * 0.3);
}

void burst_balloon(QPainter& p, QPointF c, double r, QPointF string_end, const QColor& colour) {
    string_to(p, c + QPointF(2, r * 0.9), string_end);
    outlined_path(p, star_path(c, r * 1.2, 0.5, 9, 10), QColor(255, 250, 170), QColor(240, 140, 20),
                  1.4);
    const QPointF shreds[] = {{-1, -0.2}, {0.9, -0.5}, {1.0, 0.7}, {-0.9, 0.8}};
    for (QPointF s : shreds) {
        QPainterPath bit = star_path(c + s * r * 1.25, r * 0.32, 0.4, 3, s.x() * 40);
        outlined_path(p, bit, colour, colour.darker(200), 1.0);
    }
}

void limp_balloon(QPainter& p, QPointF c, double r, QPointF string_end, const QColor& colour) {
    string_to(p, c + QPointF(-r, 0), string_end);
    p.save();
    p.translate(c);
    p.rotate(-20);
    QPainterPath body(QPointF(-r, 0));
    body.cubicTo(-r * 0.5, -r * 0.9, r * 1.2, -r * 0.8, r * 1.1, 0);
    body.cubicTo(r * 1.0, r * 0.6, -r * 0.4, r * 0.7, -r, 0);
    outlined_path(p, body, colour.darker(120), colour.darker(230), 1.3);
    for (double x : {-0.1, 0.45}) {
        QPainterPath crease(QPointF(r * x, -r * 0.45));
        crease.quadTo(r * (x + 0.2), 0, r * x, r * 0.4);
        p.strokePath(crease, round_pen(colour.darker(180), 0.8));
    }
    p.restore();
}

void flag(QPainter& p, QPointF hand, double pole, const QString& text) {
    const QPointF top = hand + QPointF(-1, -pole);
    const QPainterPath stick = segment(hand + QPointF(0.4, 3), top);
    p.strokePath(stick, round_pen(ink(), 2.4));
    p.strokePath(stick, round_pen(QColor(230, 190, 120), 1.1));
    QPainterPath cloth(top + QPointF(0, 1));
    cloth.cubicTo(top + QPointF(-8, -1), top + QPointF(-12, 3), top + QPointF(-20, 1));
    cloth.lineTo(top + QPointF(-20, 14));
    cloth.cubicTo(top + QPointF(-12, 16), top + QPointF(-8, 12), top + QPointF(0, 14));
    cloth.closeSubpath();
    outlined_path(p, cloth, vertical(cloth.boundingRect(), QColor(255, 60, 70), QColor(200, 0, 40)),
                  QColor(150, 90, 0), 1.6);
    const QRectF area(top.x() - 18.5, top.y() + 2.8, 17, 9);
    p.fillPath(centred_text(text, ipa_font("IPAGothic", 20), area), QColor(255, 255, 255));
    p.setPen(round_pen(ink(), 0.8));
    p.setBrush(QColor(255, 215, 60));
    p.drawEllipse(top, 1.6, 1.6);
}

void wand(QPainter& p, QPointF hand, double direction, double length) {
    const QPointF tip = hand + length * limb_direction(direction);
    QPainterPath stick(hand - 2 * limb_direction(direction));
    stick.lineTo(tip);
    p.strokePath(stick, round_pen(ink(), 2.6));
    p.strokePath(stick, round_pen(QColor(255, 150, 220), 1.3));
    star(p, tip, 4.2, QColor(255, 225, 60));
}

void rope(QPainter& p, QPointF a, QPointF b, double sag) {
    QPainterPath r(a);
    const QPointF third = (b - a) / 3;
    r.cubicTo(a + third + QPointF(0, sag), a + 2 * third + QPointF(0, sag), b);
    p.strokePath(r, round_pen(ink(), 3.0));
    p.strokePath(r, round_pen(QColor(225, 185, 110), 1.7));
    p.strokePath(r, QPen(QColor(170, 120, 60), 1.7, Qt::DotLine, Qt::FlatCap));
}

void clipboard(QPainter& p, const QRectF& box) {
    QPainterPath board;
    board.addRoundedRect(box, 1.5, 1.5);
    outlined_path(p, board, QColor(190, 130, 70), ink(), 1.4);
    const QRectF sheet = box.adjusted(2, 3.5, -2, -2);
    p.setPen(QPen(QColor(150, 150, 160), 0.6));
    p.setBrush(QColor(255, 255, 250));
    p.drawRect(sheet);
    const double step = sheet.height() / 4;
    for (int i = 0; i < 3; ++i) {
        const double y = sheet.top() + step * (i + 1);
        p.setPen(round_pen(QColor(230, 40, 60), 0.9));
        p.drawPolyline(QPolygonF(
            {{sheet.left() + 1.2, y - 1}, {sheet.left() + 2.2, y}, {sheet.left() + 3.8, y - 2.2}}));
        p.setPen(QPen(QColor(90, 110, 160), 0.8));
        p.drawLine(QPointF(sheet.left() + 5, y - 0.5), QPointF(sheet.right() - 1.2, y - 0.5));
    }
    QPainterPath clip;
    clip.addRoundedRect(QRectF(box.center().x() - 3.5, box.top() - 1.2, 7, 3.6), 1, 1);
    outlined_path(p, clip, QColor(200, 205, 215), ink(), 1.0);
}

void fairy_wings(QPainter& p, QPointF root, double lift) {
    const double upper = 100 + 26 * lift, lower = upper - 48 + 8 * lift;
    for (double side : {-1.0, 1.0}) {
        along(p, root, side * lower, [&] {
            outlined_path(p, petal(15, 7), QColor(255, 200, 235), QColor(180, 70, 150), 1.3);
        });
        along(p, root, side * upper, [&] {
            QLinearGradient g(0, 0, 0, 24);
            g.setColorAt(0, QColor(210, 255, 245));
            g.setColorAt(1, QColor(150, 210, 255));
            outlined_path(p, petal(24, 9), g, QColor(40, 130, 170), 1.3);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 170, 220));
            p.drawEllipse(QPointF(0, 16), 2.8, 2.8);
        });
    }
}

void angel_wings(QPainter& p, QPointF root, double lift) {
    const double main = 98 + 30 * lift;
    const double lengths[] = {30, 25, 20, 15};
    for (double side : {-1.0, 1.0}) {
        for (int i = 0; i < 4; ++i) {
            along(p, root + QPointF(side * 3, 0), side * (main - 15 * i), [&] {
                outlined_path(
                    p, petal(lengths[i], 5.5),
                    vertical({-4, 0, 8, lengths[i]}, QColor(255, 255, 255), QColor(232, 232, 242)),
                    QColor(190, 140, 20), 1.5);
            });
        }
        along(p, root + QPointF(side * 3, 0), side * (main - 10), [&] {
            QPainterPath covert;
            covert.addEllipse(QPointF(0, 8), 4.5, 8.5);
            outlined_path(p, covert, QColor(255, 246, 205), QColor(190, 140, 20), 1.2);
        });
    }
}

void exclamation(QPainter& p, QPointF c, double r) {
    QPainterPath bubble;
    bubble.addEllipse(c, r, r);
    QPainterPath tail(c + QPointF(-r * 0.6, r * 0.5));
    tail.lineTo(c + QPointF(-r * 1.25, r * 1.35));
    tail.lineTo(c + QPointF(-r * 0.05, r * 0.85));
    tail.closeSubpath();
    outlined_path(p, bubble.united(tail), QColor(255, 250, 200), QColor(220, 20, 40), r * 0.32);
    QPainterPath mark(c + QPointF(-r * 0.26, -r * 0.68));
    mark.lineTo(c + QPointF(r * 0.26, -r * 0.68));
    mark.lineTo(c + QPointF(r * 0.1, r * 0.22));
    mark.lineTo(c + QPointF(-r * 0.1, r * 0.22));
    mark.closeSubpath();
    mark.addEllipse(c + QPointF(0, r * 0.52), r * 0.17, r * 0.17);
    outlined_path(p, mark, QColor(230, 20, 40), QColor(230, 20, 40), r * 0.12);
}

void drop(QPainter& p, QPointF c, double size, const QColor& colour) {
    QPainterPath d(c);
    d.cubicTo(c + QPointF(size, size * 1.2), c + QPointF(size * 0.7, size * 2),
              c + QPointF(0, size * 2));
    d.cubicTo(c + QPointF(-size * 0.7, size * 2), c + QPointF(-size, size * 1.2), c);
    outlined_path(p, d, colour, colour.darker(180), 1.0);
}

void gloom(QPainter& p, const QRectF& area) {
    for (int i = 0; i < 4; ++i) {
        const double x = area.left() + area.width() * i / 3.0;
        const double top = area.top() + (i % 2) * area.height() * 0.25;
        p.strokePath(segment({x, top}, {x, area.bottom()}), round_pen(QColor(70, 60, 140), 1.3));
    }
}

void speed_lines(QPainter& p, QPointF at, double length, int count) {
    for (int i = 0; i < count; ++i) {
        const double y = at.y() + (i - (count - 1) / 2.0) * 5;
        const double l = length * (i % 2 ? 0.65 : 1.0);
        p.strokePath(segment({at.x() - l, y}, {at.x(), y}), round_pen(QColor(90, 110, 200), 1.4));
    }
}

} // namespace pictures
