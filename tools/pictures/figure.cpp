#include "figure.h"

#include "paint.h"

#include <QPainterPath>

namespace pictures {

namespace {

// Body measurements in figure units (one unit is one pixel at scale 1).
constexpr double hip_x = 3.0, thigh = 7.0, shin = 7.5;
constexpr double shoulder_x = 5.6, shoulder_y = -12.5, upper_arm = 6.3, forearm = 6.0;
constexpr double neck_y = -14.0, eye_y = -23.0, mouth_y = -17.5;

void inked(QPainter& p, const QPainterPath& path, const QBrush& fill, double edge = 1.2) {
    outlined_path(p, path, fill, ink(), edge);
}

double sign(Side side) {
    return side == Side::Left ? -1.0 : 1.0;
}

struct Joints {
    QPointF root, middle, end;
};

Joints bend_limb(QPointF root, const Limb& limb, double first, double second) {
    const QPointF middle = root + first * limb_direction(limb.swing);
    return {root, middle, middle + second * limb_direction(limb.swing + limb.bend)};
}

QPainterPath polyline(const Joints& j) {
    QPainterPath path(j.root);
    path.lineTo(j.middle);
    path.lineTo(j.end);
    return path;
}

QPainterPath dress_outline() {
    QPainterPath d(QPointF(-3.5, -14.8));
    d.lineTo(3.5, -14.8);
    d.quadTo(6.6, -14.2, 6.8, -11);
    d.lineTo(5.0, -5);
    d.quadTo(8.0, -1, 10.5, 3.5);
    d.quadTo(0, 6.5, -10.5, 3.5);
    d.quadTo(-8.0, -1, -5.0, -5);
    d.lineTo(-6.8, -11);
    d.quadTo(-6.6, -14.2, -3.5, -14.8);
    return d;
}

QPainterPath twin_tail(double sx, double flow) {
    const QPointF back(-14 * flow, 7 * flow);
    QPainterPath t(QPointF(sx * 10, -34));
    t.cubicTo(QPointF(sx * 22, -34) + back * 0.3, QPointF(sx * 22, -20) + back * 0.8,
              QPointF(sx * 17, -9) + back);
    t.quadTo(QPointF(sx * 17, -20) + back * 0.6, QPointF(sx * 11, -25));
    t.closeSubpath();
    return t;
}

QPainterPath long_hair() {
    QPainterPath h(QPointF(-12, -32));
    h.cubicTo(-17, -20, -17, -10, -13, -6);
    h.lineTo(13, -6);
    h.cubicTo(17, -10, 17, -20, 12, -32);
    h.closeSubpath();
    return h;
}

QPainterPath fringe(double shift) {
    QPainterPath f(QPointF(-13, -24));
    f.cubicTo(-14, -42, 14, -42, 13, -24);
    const QPointF tips[] = {{10, -29},     {7.5, -26.5}, {4.5, -30.5}, {1.5, -27.5},
                            {-1.5, -30.5}, {-4.5, -27},  {-7.5, -30},  {-10, -27}};
    for (QPointF t : tips)
        f.lineTo(t + QPointF(shift, 0));
    f.closeSubpath();
    return f;
}

QPainterPath cat_ear(double sx) {
    QPainterPath e(QPointF(sx * 12, -31));
    e.lineTo(sx * 14, -45);
    e.lineTo(sx * 3, -38);
    e.closeSubpath();
    return e;
}

QPainterPath bow_lobes(QPointF knot, double w, double h) {
    QPainterPath b(knot);
    b.lineTo(knot + QPointF(-w, -h));
    b.lineTo(knot + QPointF(-w, h));
    b.closeSubpath();
    b.moveTo(knot);
    b.lineTo(knot + QPointF(w, -h));
    b.lineTo(knot + QPointF(w, h));
    b.closeSubpath();
    return b;
}

void bow(QPainter& p, QPointF knot, double w, double h, const QColor& colour) {
    inked(p, bow_lobes(knot, w, h), colour, 0.9);
    p.setPen(QPen(ink(), 0.5));
    p.setBrush(colour.lighter(120));
    p.drawEllipse(knot, w * 0.35, w * 0.35);
}

const QColor iris(60, 30, 90);

void open_eye(QPainter& p, QPointF c, double rx, double ry) {
    p.setPen(Qt::NoPen);
    p.setBrush(iris);
    p.drawEllipse(c, rx, ry);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(c + QPointF(-0.4, -0.8), rx * 0.45, rx * 0.45);
}

// A closed eye: an arc bulging up (bulge < 0, smiling) or down (crying).
void arc_eye(QPainter& p, QPointF c, double bulge) {
    const double ends = -bulge * 0.3;
    QPainterPath arc(c + QPointF(-1.9, ends));
    arc.quadTo(c + QPointF(0, bulge), c + QPointF(1.9, ends));
    p.strokePath(arc, round_pen(ink(), 1.0));
}

void round_eye(QPainter& p, QPointF c) {
    p.setPen(QPen(ink(), 0.7));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(c, 2.1, 2.6);
    p.setBrush(iris);
    p.drawEllipse(c, 0.9, 1.1);
}

// A ">" (towards +1) or "<" (towards -1) of a tightly shut eye.
void squeezed_eye(QPainter& p, QPointF c, double towards) {
    QPainterPath v(c + QPointF(-1.6 * towards, -1.7));
    v.lineTo(c + QPointF(1.4 * towards, 0));
    v.lineTo(c + QPointF(-1.6 * towards, 1.7));
    p.strokePath(v, round_pen(ink(), 1.0));
}

// Brows raised at their inner ends.
void worried_brows(QPainter& p, QPointF left, QPointF right) {
    p.strokePath(segment(left + QPointF(-2.2, -2.6), left + QPointF(2.0, -4.3)),
                 round_pen(ink(), 0.9));
    p.strokePath(segment(right + QPointF(2.2, -2.6), right + QPointF(-2.0, -4.3)),
                 round_pen(ink(), 0.9));
}

} // namespace

QColor ink() {
    return {80, 36, 52};
}
QColor skin() {
    return {255, 226, 200};
}

Look popchan_look() {
    return {.hair = QColor(255, 122, 172),
            .dress = QColor(255, 196, 48),
            .trim = QColor(230, 30, 60),
            .shoes = QColor(220, 40, 60),
            .socks = QColor(255, 255, 255),
            .style = Hair::TwinTails,
            .hat = Hat::Ribbon};
}

Look fairy_look() {
    return {.hair = QColor(120, 215, 90),
            .dress = QColor(255, 160, 205),
            .trim = QColor(70, 170, 60),
            .shoes = QColor(70, 170, 60),
            .socks = QColor(255, 245, 250),
            .style = Hair::Bob,
            .hat = Hat::Flower};
}

Look angel_look() {
    return {.hair = QColor(255, 216, 80),
            .dress = QColor(252, 252, 255),
            .trim = QColor(232, 170, 20),
            .shoes = QColor(232, 170, 20),
            .socks = QColor(255, 255, 255),
            .style = Hair::Long,
            .hat = Hat::Halo};
}

Look neko_look() {
    return {.hair = QColor(190, 120, 60),
            .dress = QColor(150, 90, 220),
            .trim = QColor(255, 220, 60),
            .shoes = QColor(90, 50, 150),
            .socks = QColor(40, 30, 50),
            .style = Hair::Bob,
            .hat = Hat::None,
            .cat = true};
}

QTransform Figure::transform(Frame frame) const {
    QTransform t;
    t.translate(pose_.hip.x(), pose_.hip.y());
    t.rotate(pose_.tilt);
    t.scale(pose_.scale, pose_.scale);
    if (frame == Frame::Upper) t.rotate(pose_.lean);
    return t;
}

void Figure::within(QPainter& p, Frame frame, const std::function<void()>& draw) const {
    p.save();
    p.setTransform(transform(frame), true);
    draw();
    p.restore();
}

QPointF Figure::in_picture(Frame frame, QPointF point) const {
    return transform(frame).map(point);
}

QPointF Figure::hand(Side side) const {
    const Limb& arm = side == Side::Left ? pose_.left_arm : pose_.right_arm;
    return bend_limb({sign(side) * shoulder_x, shoulder_y}, arm, upper_arm, forearm).end;
}

void Figure::draw(QPainter& p) const {
    within(p, Frame::Body, [&] {
        if (look_.cat) draw_tail(p);
    });
    within(p, Frame::Upper, [&] { draw_hair_back(p); });
    within(p, Frame::Body, [&] {
        draw_leg(p, Side::Left);
        draw_leg(p, Side::Right);
    });
    within(p, Frame::Upper, [&] {
        draw_arm(p, Side::Left);
        draw_dress(p);
        draw_head(p);
        draw_arm(p, Side::Right);
    });
}

void Figure::draw_tail(QPainter& p) const {
    QPainterPath tail(QPointF(-3, 1));
    tail.cubicTo(-14, 6, -20, -2, -16, -12);
    tail.quadTo(-15, -15, -12, -14);
    p.strokePath(tail, round_pen(ink(), 4.4));
    p.strokePath(tail, round_pen(look_.hair, 2.6));
}

void Figure::draw_leg(QPainter& p, Side side) const {
    const Limb& leg = side == Side::Left ? pose_.left_leg : pose_.right_leg;
    const Joints j = bend_limb({sign(side) * hip_x, 0}, leg, thigh, shin);
    p.strokePath(polyline(j), round_pen(ink(), 4.6));
    p.strokePath(segment(j.root, j.middle), round_pen(skin(), 3.0));
    p.strokePath(segment(j.middle, j.end), round_pen(look_.socks, 3.0));
    p.save();
    p.translate(j.end);
    p.rotate(-(leg.swing + leg.bend));
    QPainterPath shoe;
    shoe.addEllipse(QPointF(1.4, 1.0), 3.6, 2.1);
    inked(p, shoe, look_.shoes, 1.0);
    p.restore();
}

void Figure::draw_arm(QPainter& p, Side side) const {
    const Limb& arm = side == Side::Left ? pose_.left_arm : pose_.right_arm;
    const Joints j = bend_limb({sign(side) * shoulder_x, shoulder_y}, arm, upper_arm, forearm);
    p.strokePath(polyline(j), round_pen(ink(), 4.2));
    p.strokePath(polyline(j), round_pen(skin(), 2.6));
    QPainterPath sleeve;
    sleeve.addEllipse(j.root + 1.6 * limb_direction(arm.swing), 3.0, 3.0);
    inked(p, sleeve, look_.dress, 1.0);
    draw_hand(p, side);
}

void Figure::draw_hand(QPainter& p, Side side) const {
    QPainterPath h;
    h.addEllipse(hand(side), 2.0, 2.0);
    inked(p, h, skin(), 0.9);
}

void Figure::draw_hands(QPainter& p) const {
    within(p, Frame::Upper, [&] {
        draw_hand(p, Side::Left);
        draw_hand(p, Side::Right);
    });
}

void Figure::draw_dress(QPainter& p) const {
    const QPainterPath d = dress_outline();
    inked(p, d, vertical(d.boundingRect(), look_.dress.lighter(115), look_.dress.darker(112)));
    QPainterPath hem;
    hem.moveTo(-9.4, 2.2);
    hem.quadTo(0, 5.2, 9.4, 2.2);
    p.strokePath(hem, round_pen(QColor(255, 255, 255), 1.2));
    QPainterPath collar(QPointF(-4, -14.6));
    collar.lineTo(0, -11.2);
    collar.lineTo(4, -14.6);
    collar.closeSubpath();
    inked(p, collar, QColor(255, 255, 255), 0.6);
    p.strokePath(segment({-5, -5.5}, {5, -5.5}), round_pen(look_.trim, 1.1));
    bow(p, {0, -12.6}, 2.6, 1.6, look_.trim);
}

void Figure::turn_head(QPainter& p) const {
    p.translate(0, neck_y);
    p.rotate(pose_.nod);
    p.translate(0, -neck_y);
}

void Figure::draw_head(QPainter& p) const {
    p.save();
    turn_head(p);
    QPainterPath face;
    face.addEllipse(QPointF(0, -24), 11, 10);
    inked(p, face, skin());
    draw_fringe(p);
    draw_face(p);
    draw_headwear(p);
    p.restore();
}

void Figure::draw_hair_back(QPainter& p) const {
    p.save();
    turn_head(p);
    const QRectF area(-20, -46, 40, 40);
    const QBrush hair = vertical(area, look_.hair.lighter(112), look_.hair.darker(115));
    if (look_.style == Hair::TwinTails) {
        for (double sx : {-1.0, 1.0})
            inked(p, twin_tail(sx, pose_.flow), hair);
    }
    if (look_.style == Hair::Long) inked(p, long_hair(), hair);
    if (look_.cat) {
        for (double sx : {-1.0, 1.0}) {
            inked(p, cat_ear(sx), hair);
            p.fillPath(star_path({sx * 11.5, -38.5}, 3.2, 0.9, 3), QColor(255, 160, 190));
        }
    }
    QPainterPath back;
    back.addEllipse(QPointF(0, -27), 13.5, 13);
    inked(p, back, hair);
    if (look_.style == Hair::TwinTails) {
        for (double sx : {-1.0, 1.0})
            bow(p, {sx * 11.5, -33.5}, 2.2, 1.8, look_.trim);
    }
    p.restore();
}

void Figure::draw_fringe(QPainter& p) const {
    const QPainterPath f = fringe(pose_.look * 1.2);
    inked(p, f, vertical(f.boundingRect(), look_.hair.lighter(115), look_.hair));
    QPainterPath shine(QPointF(-8, -33.5));
    shine.quadTo(-4, -36.5, 1, -36.2);
    p.strokePath(shine, round_pen(look_.hair.lighter(150), 1.3));
}

void Figure::draw_headwear(QPainter& p) const {
    switch (look_.hat) {
    case Hat::None:
        return;
    case Hat::Ribbon:
        bow(p, {7, -37.5}, 4.6, 3.2, look_.trim);
        return;
    case Hat::Flower: {
        const QPointF c(7, -36.5);
        for (int i = 0; i < 5; ++i) {
            QPainterPath petal;
            petal.addEllipse(c + 2.6 * limb_direction(i * 72 + 180), 2.2, 2.2);
            inked(p, petal, QColor(255, 255, 255), 0.8);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 200, 40));
        p.drawEllipse(c, 1.8, 1.8);
        return;
    }
    case Hat::Halo: {
        QPainterPath ring;
        ring.addEllipse(QPointF(0, -45), 8.5, 2.6);
        p.strokePath(ring, round_pen(QColor(150, 100, 0), 3.2));
        p.strokePath(ring, round_pen(QColor(255, 220, 60), 1.7));
        return;
    }
    }
}

void Figure::draw_face(QPainter& p) const {
    const double dx = pose_.look * 2.0;
    const QPointF left(-4.3 + dx, eye_y), right(4.3 + dx, eye_y);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 120, 150, 150));
    p.drawEllipse(QPointF(-7.2 + dx, -19.3), 2.0, 1.1);
    p.drawEllipse(QPointF(7.2 + dx, -19.3), 2.0, 1.1);
    draw_eyes(p, left, right);
    draw_mouth(p, {dx, mouth_y});
    if (!pose_.tear) return;
    for (double sx : {-1.0, 1.0}) {
        QPainterPath drop(QPointF(sx * 6.0 + dx, -21.5));
        drop.quadTo(sx * 8.5 + dx, -16.5, sx * 6.6 + dx, -15.6);
        drop.quadTo(sx * 4.8 + dx, -16.5, sx * 6.0 + dx, -21.5);
        outlined_path(p, drop, QColor(130, 200, 255), QColor(40, 110, 210), 0.9);
    }
}

void Figure::draw_eyes(QPainter& p, QPointF left, QPointF right) const {
    switch (pose_.face) {
    case Face::Smile:
        open_eye(p, left, 1.6, 2.3);
        open_eye(p, right, 1.6, 2.3);
        break;
    case Face::Joy:
        arc_eye(p, left, -2.6);
        arc_eye(p, right, -2.6);
        break;
    case Face::Wink:
        open_eye(p, left, 1.6, 2.3);
        arc_eye(p, right, -2.6);
        break;
    case Face::Surprise:
        round_eye(p, left);
        round_eye(p, right);
        break;
    case Face::Sad:
        open_eye(p, left, 1.4, 1.8);
        open_eye(p, right, 1.4, 1.8);
        worried_brows(p, left, right);
        break;
    case Face::Cry:
        arc_eye(p, left, 2.2);
        arc_eye(p, right, 2.2);
        worried_brows(p, left, right);
        break;
    case Face::Effort:
        squeezed_eye(p, left, 1);
        squeezed_eye(p, right, -1);
        break;
    }
}

void Figure::draw_mouth(QPainter& p, QPointF at) const {
    QPainterPath m;
    switch (pose_.face) {
    case Face::Smile:
        m.moveTo(at + QPointF(-2, -0.4));
        m.quadTo(at + QPointF(0, 1.8), at + QPointF(2, -0.4));
        p.strokePath(m, round_pen(ink(), 0.9));
        return;
    case Face::Joy:
    case Face::Wink:
        m.moveTo(at + QPointF(-2.6, -0.9));
        m.lineTo(at + QPointF(2.6, -0.9));
        m.quadTo(at + QPointF(2.2, 3.2), at);
        m.quadTo(at + QPointF(-2.2, 3.2), at + QPointF(-2.6, -0.9));
        outlined_path(p, m, QColor(220, 50, 70), ink(), 1.0);
        return;
    case Face::Surprise:
        m.addEllipse(at + QPointF(0, 0.5), 1.4, 1.9);
        outlined_path(p, m, QColor(170, 30, 50), ink(), 1.0);
        return;
    case Face::Sad:
    case Face::Cry:
        m.moveTo(at + QPointF(-2, 1));
        m.quadTo(at + QPointF(0, -1.4), at + QPointF(2, 1));
        p.strokePath(m, round_pen(ink(), 0.9));
        return;
    case Face::Effort:
        m.addRoundedRect(QRectF(at + QPointF(-2.4, -0.8), QSizeF(4.8, 2.2)), 0.8, 0.8);
        outlined_path(p, m, QColor(255, 255, 255), ink(), 1.0);
        return;
    }
}

} // namespace pictures
