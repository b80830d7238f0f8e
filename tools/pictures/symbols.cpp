// digipat0.png, the reel strip: 18 cells of 48 rows, cell j showing symbol
// (13 - j) mod 14, so from the top 13, 12, ..., 0 and again 13, 12, 11, 10.
// digipat1.png is its mask. The seven probability-up symbols are hot-coloured
// numerals on a burst of their own; the seven others share one tile.
#include "symbols.h"

#include "masking.h"
#include "paint.h"
#include "pictures.h"

#include <QPainterPathStroker>
#include <array>

namespace pictures {

namespace {

constexpr int strip_cells = 18;

struct Hot {
    QColor top, bottom; // the numeral's gradient
    QColor burst;       // the shape behind it
    int points;         // of that shape
    double inner;       // its inner radius, relative
};

// The colours of the calm numerals 0, 1, 2, 4, 6, 8, 9 (by symbol; hot ones unused).
const std::array<QColor, symbol_count> calm_colours = {QColor(30, 120, 240), QColor(20, 150, 60),
                                                       QColor(130, 50, 210), {},
                                                       QColor(0, 140, 150),  {},
                                                       QColor(30, 40, 150),  {},
                                                       QColor(100, 160, 10), QColor(150, 70, 180)};

Hot hot_style(int symbol) {
    switch (symbol) {
    case 3:
        return {QColor(255, 140, 60), QColor(220, 30, 0), QColor(255, 220, 50), 6, 0.55};
    case 5:
        return {QColor(255, 250, 150), QColor(240, 160, 0), QColor(255, 90, 60), 12, 0.75};
    case 7:
        return {QColor(255, 90, 90), QColor(200, 0, 20), QColor(255, 215, 40), 5, 0.5};
    case 10:
        return {QColor(255, 120, 230), QColor(200, 0, 140), QColor(255, 230, 90), 4, 0.62};
    case 11:
        return {QColor(255, 230, 80), QColor(250, 110, 0), QColor(230, 20, 60), 8, 0.6};
    case 12:
        return {QColor(255, 100, 150), QColor(220, 0, 70), QColor(255, 200, 40), 10, 0.7};
    default:
        return {QColor(255, 240, 120), QColor(220, 100, 0), QColor(200, 30, 160), 7, 0.58};
    }
}

const QRectF tile_rect(2.5, 3.5, 32, 41);
constexpr double tile_edge = 2.0;

QPainterPath bold(const QPainterPath& path, double extra) {
    QPainterPathStroker stroker;
    stroker.setWidth(extra);
    stroker.setJoinStyle(Qt::RoundJoin);
    return path.united(stroker.createStroke(path)).simplified();
}

// The numeral's outline fitted to a box (two digits squeezed side by side).
QPainterPath numeral(int symbol, const QRectF& box) {
    const QString text = QString::number(symbol);
    const double w = text.size() == 1 ? box.width() * 0.72 : box.width();
    const QRectF fit(box.center().x() - w / 2, box.top(), w, box.height());
    return bold(fitted_text(text, ipa_font("IPAPGothic", 64, false), fit), 2.2);
}

QPainterPath tile_path() {
    QPainterPath path;
    path.addRoundedRect(tile_rect, 6, 6);
    return path;
}

void draw_calm(QPainter& p, int symbol) {
    outlined_path(p, tile_path(), vertical(tile_rect, QColor(255, 255, 255), QColor(214, 224, 244)),
                  QColor(60, 80, 130), tile_edge);
    const QColor c = calm_colours[std::size_t(symbol)];
    const QPainterPath digit = numeral(symbol, tile_rect.adjusted(4, 5, -4, -5));
    outlined_path(p, digit, vertical(digit.boundingRect(), c.lighter(150), c.darker(110)),
                  c.darker(220), 1.6);
}

void draw_hot(QPainter& p, int symbol) {
    const Hot h = hot_style(symbol);
    const QPointF c(symbol_w / 2.0, symbol_h / 2.0);
    outlined_path(p, star_path(c, 19.5, h.inner, h.points, symbol * 7),
                  vertical({0, 3, 37, 42}, h.burst.lighter(130), h.burst), h.burst.darker(190),
                  1.6);
    const bool wide = symbol >= 10;
    const QPainterPath digit = numeral(symbol, wide ? QRectF(6, 11, 25, 26) : QRectF(3, 9, 31, 30));
    outlined_path(p, digit, vertical(digit.boundingRect(), h.top, h.bottom), QColor(70, 0, 20), 6.0,
                  QColor(255, 255, 255), 3.2);
    sparkle(p, {30, 9}, 6, QColor(255, 255, 210));
}

// The one tile all calm symbols stand on.
QImage tile_silhouette() {
    QImage img = transparent_canvas(symbol_w, symbol_h);
    QPainter p(&img);
    smooth(p);
    outlined_path(p, tile_path(), Qt::black, Qt::black, tile_edge);
    return img;
}

Masked symbol_cell(int symbol) {
    const QImage art = symbol_art(symbol);
    return probability_up(symbol) ? cut_out(art) : cut_out(art, tile_silhouette());
}

} // namespace

bool probability_up(int symbol) {
    switch (symbol) {
    case 3:
    case 5:
    case 7:
    case 10:
    case 11:
    case 12:
    case 13:
        return true;
    default:
        return false;
    }
}

QImage symbol_art(int symbol) {
    QImage img = transparent_canvas(symbol_w, symbol_h);
    QPainter p(&img);
    smooth(p);
    probability_up(symbol) ? draw_hot(p, symbol) : draw_calm(p, symbol);
    return img;
}

Pictures symbol_pictures() {
    QImage strip(symbol_w, symbol_h * strip_cells, QImage::Format_ARGB32);
    QImage mask(strip.size(), QImage::Format_ARGB32);
    for (int j = 0; j < strip_cells; ++j) {
        const Masked cell = symbol_cell((13 - j + symbol_count) % symbol_count);
        const QPoint at(0, j * symbol_h);
        place(strip, cell.sprite, at);
        place(mask, cell.mask, at);
    }
    return {{"digipat0", strip}, {"digipat1", mask}};
}

} // namespace pictures
