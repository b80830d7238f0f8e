// The pictures laid over the whole display: the scrolling notice overlay (pat6),
// the notice band (pat8) and the jackpot fanfare (patbox0..4 and their common
// mask patbox5).
#include "masking.h"
#include "paint.h"
#include "pictures.h"

#include <QPainter>
#include <cstdint>
#include <utility>

namespace pictures {

namespace {

constexpr int display_w = 115, display_h = 96;

// A small fixed-seed generator so that every run draws the same confetti.
class Dice {
  public:
    explicit Dice(std::uint32_t seed) : state_(seed) {}
    double next() { // 0 .. 1
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / double(1u << 24);
    }
    double between(double lo, double hi) { return lo + (hi - lo) * next(); }

  private:
    std::uint32_t state_;
};

// ---- pat6: the notice overlay ---------------------------------------------
// The display reads the sprite from columns j..j+114 and the mask from columns
// j+115..j+229 (j is 3 or 4), rows y..y+95 with y scrolling from 96 to 0, so the
// 96-row design is repeated twice and kept clear of the 5 columns at each side.

enum class Bit { Sparkle, Star, Note };

struct Falling {
    Bit kind;
    QPointF at;
    double size;
    QColor colour;
};

const Falling rain[] = {
    {Bit::Sparkle, {14, 8}, 5, QColor(255, 240, 120)},
    {Bit::Note, {40, 20}, 3.4, QColor(255, 110, 180)},
    {Bit::Star, {78, 6}, 4.5, QColor(255, 210, 40)},
    {Bit::Sparkle, {100, 30}, 4, QColor(255, 255, 200)},
    {Bit::Star, {24, 44}, 3.5, QColor(255, 130, 200)},
    {Bit::Sparkle, {62, 40}, 6, QColor(255, 230, 90)},
    {Bit::Note, {92, 58}, 3.6, QColor(120, 150, 255)},
    {Bit::Sparkle, {10, 70}, 3.5, QColor(255, 255, 200)},
    {Bit::Star, {50, 74}, 4.5, QColor(255, 210, 40)},
    {Bit::Note, {30, 90}, 3.2, QColor(255, 150, 60)},
    {Bit::Sparkle, {84, 86}, 5, QColor(255, 240, 120)},
    {Bit::Star, {104, 76}, 3.2, QColor(255, 120, 150)},
};

void draw_bit(QPainter& p, const Falling& bit, QPointF at) {
    switch (bit.kind) {
    case Bit::Sparkle:
        sparkle(p, at, bit.size, bit.colour);
        break;
    case Bit::Star:
        star(p, at, bit.size, bit.colour);
        break;
    case Bit::Note:
        music_note(p, at, bit.size, bit.colour);
        break;
    }
}

Masked notice_tile() {
    QImage art = transparent_canvas(display_w, display_h);
    QPainter p(&art);
    smooth(p);
    p.setClipRect(5, 0, display_w - 10, display_h);
    for (const Falling& bit : rain) {
        for (int wrap : {-display_h, 0, display_h})
            draw_bit(p, bit, bit.at + QPointF(0, wrap));
    }
    p.end();
    return cut_out(art);
}

QImage notice_overlay() {
    QImage sheet = solid_canvas(240, 2 * display_h, Qt::white);
    const Masked tile = notice_tile();
    for (int y : {0, display_h})
        paste(sheet, tile, {0, y}, {display_w, y});
    return sheet;
}

// ---- pat8: the notice band ------------------------------------------------

QImage notice_band() {
    QImage art = transparent_canvas(display_w, 30);
    QPainter p(&art);
    smooth(p);
    QPainterPath band(QPointF(1, 3));
    band.lineTo(114, 3);
    band.lineTo(108, 15);
    band.lineTo(114, 27);
    band.lineTo(1, 27);
    band.lineTo(7, 15);
    band.closeSubpath();
    outlined_path(p, band, vertical({0, 3, 115, 24}, QColor(255, 70, 60), QColor(170, 0, 20)),
                  QColor(110, 40, 0), 2.6, QColor(255, 210, 50), 1.2);
    const QPainterPath text =
        centred_text("激アツ!!", ipa_font("IPAGothic", 40), QRectF(14, 5.5, 87, 19));
    outlined_path(p, text, vertical({0, 5, 115, 20}, QColor(255, 255, 200), QColor(255, 200, 30)),
                  QColor(80, 0, 0), 3.4);
    p.end();
    return stacked(cut_out(art));
}

// ---- patbox0..5: the jackpot fanfare --------------------------------------

const QPointF centre(display_w / 2.0, display_h / 2.0);

QPainterPath fanfare_shape() {
    return star_path(centre, 68, 0.78, 22, 4);
}

QImage fanfare_silhouette() {
    QImage img = transparent_canvas(display_w, display_h);
    QPainter p(&img);
    smooth(p);
    p.fillPath(fanfare_shape(), Qt::black);
    return img;
}

void rays(QPainter& p, double glow) {
    QRadialGradient sky(centre, 70);
    sky.setColorAt(0, QColor(255, 255, 200 + int(55 * glow)));
    sky.setColorAt(0.35 - 0.15 * (1 - glow), QColor(255, 200, 40));
    sky.setColorAt(1, QColor(220, 20, 40));
    p.fillPath(fanfare_shape(), sky);
    p.save();
    p.setClipPath(fanfare_shape());
    for (int i = 0; i < 16; i += 2) {
        QPainterPath wedge(centre);
        wedge.arcTo(QRectF(centre - QPointF(90, 90), QSizeF(180, 180)), i * 22.5, 22.5);
        wedge.closeSubpath();
        p.fillPath(wedge, QColor(255, 255, 255, 60));
    }
    p.restore();
    p.strokePath(fanfare_shape(), round_pen(QColor(255, 230, 80), 2.0));
}

void headline(QPainter& p, const QString& text, const QRectF& box) {
    const QPainterPath path = centred_text(text, ipa_font("IPAGothic", 64), box);
    outlined_path(p, path, vertical(box, QColor(255, 255, 255), QColor(255, 240, 150)),
                  QColor(150, 0, 20), 6.0, QColor(255, 210, 40), 2.6);
}

void firework(QPainter& p, QPointF c, double r, const QColor& colour) {
    for (int i = 0; i < 12; ++i) {
        const QPointF d = limb_direction(i * 30);
        p.strokePath(segment(c + d * r * 0.35, c + d * r), round_pen(colour, 1.6));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 230));
        p.drawEllipse(c + d * r, 1.1, 1.1);
    }
}

void confetti(QPainter& p, int count) {
    Dice dice(20240611u);
    const QColor colours[] = {QColor(255, 80, 120), QColor(80, 180, 255), QColor(120, 230, 90),
                              QColor(255, 240, 90), QColor(200, 120, 255)};
    for (int i = 0; i < count; ++i) {
        p.save();
        p.translate(dice.between(6, 109), dice.between(4, 92));
        p.rotate(dice.between(0, 180));
        p.fillRect(QRectF(-1.6, -0.9, 3.2, 1.8), colours[i % 5]);
        p.restore();
    }
}

void fanfare_frame(QPainter& p, int frame) {
    rays(p, frame == 0 ? 1.0 : 0.4);
    switch (frame) {
    case 0:
        for (int i = 0; i < 6; ++i)
            sparkle(p, centre + limb_direction(i * 60 + 30) * 28, 7, QColor(255, 255, 210));
        sparkle(p, centre, 16, QColor(255, 255, 230));
        break;
    case 1:
        headline(p, "大", QRectF(29, 18, 57, 60));
        break;
    case 2:
        headline(p, "大当", QRectF(12, 22, 91, 52));
        break;
    case 3:
        headline(p, "大当り", QRectF(6, 28, 103, 40));
        break;
    default:
        confetti(p, 40);
        firework(p, {24, 20}, 13, QColor(255, 255, 120));
        firework(p, {92, 18}, 11, QColor(150, 230, 255));
        firework(p, {86, 80}, 10, QColor(255, 160, 220));
        headline(p, "大当り!!", QRectF(5, 30, 105, 36));
        break;
    }
}

Pictures fanfare() {
    const QImage silhouette = fanfare_silhouette();
    Pictures frames;
    for (int frame = 0; frame < 5; ++frame) {
        QImage art = transparent_canvas(display_w, display_h);
        {
            QPainter p(&art);
            smooth(p);
            fanfare_frame(p, frame);
        }
        frames.push_back({QString("patbox%1").arg(frame), cut_out(art, silhouette).sprite});
    }
    frames.push_back({"patbox5", cut_out(silhouette).mask});
    return frames;
}

} // namespace

Pictures overlay_pictures() {
    Pictures all{{"pat6", notice_overlay()}, {"pat8", notice_band()}};
    for (auto& frame : fanfare())
        all.push_back(std::move(frame));
    return all;
}

} // namespace pictures
