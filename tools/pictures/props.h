// Things the girls carry, ride and wave: all drawn in the figure's own frame.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace pictures {

// A wooden crate with two planks and a cross brace.
void crate(QPainter& p, const QRectF& box);
// A balloon of radius r centred at c on a string down to `string_end`.
void balloon(QPainter& p, QPointF c, double r, QPointF string_end, const QColor& colour);
// What is left of a balloon that burst at c: shreds and a bang star.
void burst_balloon(QPainter& p, QPointF c, double r, QPointF string_end, const QColor& colour);
// A limp, half-empty balloon hanging down from c.
void limp_balloon(QPainter& p, QPointF c, double r, QPointF string_end, const QColor& colour);
// A small flag on a pole `pole` long held at `hand`, the cloth trailing to the left.
void flag(QPainter& p, QPointF hand, double pole, const QString& text);
// A wand from `hand` in a direction (degrees from straight down), a star on its tip.
void wand(QPainter& p, QPointF hand, double direction, double length);
// A rope from a to b sagging by `sag`.
void rope(QPainter& p, QPointF a, QPointF b, double sag);
// A clipboard with a sheet and check marks.
void clipboard(QPainter& p, const QRectF& box);
// A butterfly's pair of wings at the back: `lift` 1 = raised, 0 = level, -1 = lowered.
void fairy_wings(QPainter& p, QPointF root, double lift);
// A pair of white feathered wings with gold edges; `lift` as for the fairy's.
void angel_wings(QPainter& p, QPointF root, double lift);
// A round speech mark holding a "!".
void exclamation(QPainter& p, QPointF c, double r);
// A drop of sweat (or of water) hanging from c.
void drop(QPainter& p, QPointF c, double size, const QColor& colour);
// Dark vertical lines of gloom over an area.
void gloom(QPainter& p, const QRectF& area);
// Short speed lines behind something moving right, at the left of `at`.
void speed_lines(QPainter& p, QPointF at, double length, int count);

} // namespace pictures
