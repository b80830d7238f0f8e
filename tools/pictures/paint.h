// Small drawing helpers shared by all the pictures: canvases, stars, sparkles,
// notes and outlined text in the IPA fonts.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace pictures {

// A fully transparent canvas to draw a sprite on (its silhouette becomes the mask).
QImage transparent_canvas(int w, int h);
// An opaque canvas filled with one colour.
QImage solid_canvas(int w, int h, const QColor& colour);

// A painter with anti-aliasing on.
void smooth(QPainter& p);

// The unit vector of an angle in degrees measured from straight down, growing
// towards +x (0 = down, 90 = right, 180 = up).
QPointF limb_direction(double degrees);

// A straight path from a to b, and a round-capped pen.
QPainterPath segment(QPointF a, QPointF b);
QPen round_pen(const QColor& colour, double width);

// An n-pointed star around c with outer radius r and inner radius r * inner.
QPainterPath star_path(QPointF c, double r, double inner = 0.45, int points = 5, double turn = 0);
// A filled star with a thin darker rim.
void star(QPainter& p, QPointF c, double r, const QColor& fill);
// A four-pointed twinkle with a bright centre.
void sparkle(QPainter& p, QPointF c, double r, const QColor& colour);
// An eighth note (one stem, one flag) whose head sits at c.
void music_note(QPainter& p, QPointF c, double size, const QColor& colour);

// A font of the installed IPA families at a pixel size.
QFont ipa_font(const char* family, int pixels, bool bold = true);
// The outline of a text scaled (unevenly if need be) to fill a box.
QPainterPath fitted_text(const QString& text, const QFont& font, const QRectF& box);
// The outline of a text scaled evenly to fit a box, centred in it.
QPainterPath centred_text(const QString& text, const QFont& font, const QRectF& box);
// Fills a path over a round-joined outline: the outer edge first, then an
// optional inner edge, then the fill.
void outlined_path(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& edge,
                   double edge_width, const QColor& inner = Qt::transparent,
                   double inner_width = 0);
// A vertical gradient over a box.
QLinearGradient vertical(const QRectF& box, const QColor& top, const QColor& bottom);

} // namespace pictures
