// Pictures drawn as they are, without a mask: the display at rest, the dollar
// box, the two plates, the premises dialog's picture and the program's icon.
#include "figure.h"
#include "paint.h"
#include "pictures.h"
#include "props.h"
#include "symbols.h"

#include <QPainter>
#include <QRadialGradient>

namespace pictures {

namespace {

const QColor window_grey(0xEF, 0xEF, 0xEF);

// ---- startup: the display before the first spin ---------------------------

QImage startup() {
    QImage img = solid_canvas(115, 96, Qt::white);
    QPainter p(&img);
    smooth(p);
    p.fillRect(img.rect(), vertical(img.rect(), QColor(128, 255, 255), QColor(200, 240, 255)));
    const QPointF stars[] = {{9, 9}, {106, 9}, {12, 62}, {103, 62}, {24, 86}, {91, 86}};
    for (int i = 0; i < 6; ++i)
        star(p, stars[i], i < 2 ? 6 : 4.5, i % 3 ? QColor(255, 210, 40) : QColor(255, 128, 170));
    const QPainterPath cr = centred_text("ＣＲ", ipa_font("IPAGothic", 40), QRectF(40, 5, 35, 14));
    outlined_path(p, cr, QColor(255, 255, 255), QColor(40, 80, 200), 4);
    const QPainterPath name =
        centred_text("ぽぷちゃん", ipa_font("IPAGothic", 40), QRectF(5, 23, 105, 22));
    outlined_path(p, name,
                  vertical(name.boundingRect(), QColor(255, 140, 190), QColor(235, 60, 130)),
                  QColor(120, 20, 70), 5.5, QColor(255, 255, 255), 3.0);
    Pose pose;
    pose.hip = {57.5, 80};
    pose.scale = 0.62;
    pose.face = Face::Joy;
    pose.look = 0;
    pose.left_arm = {-115, -30};
    pose.right_arm = {115, 30};
    Figure(popchan_look(), pose).draw(p);
    return img;
}

// ---- dorubako: a dollar box heaped with balls -----------------------------

void silver_ball(QPainter& p, QPointF c, double r) {
    QRadialGradient g(c, r * 1.2, c + QPointF(-r * 0.4, -r * 0.45));
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(0.45, QColor(190, 196, 206));
    g.setColorAt(1, QColor(90, 96, 110));
    p.setPen(QPen(QColor(70, 74, 86), 0.5));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

QImage dollar_box() {
    QImage img = solid_canvas(32, 32, window_grey);
    QPainter p(&img);
    smooth(p);
    QPainterPath front(QPointF(2.5, 17));
    front.lineTo(29.5, 17);
    front.lineTo(28, 30);
    front.lineTo(4, 30);
    front.closeSubpath();
    QPainterPath rim;
    rim.addRoundedRect(QRectF(2, 13, 28, 6), 2, 2);
    outlined_path(p, rim, QColor(120, 20, 30), QColor(60, 10, 20), 1.0);
    // The heap, from its back rows to its front row.
    const int rows[][2] = {{3, 7}, {5, 10}, {7, 13}, {8, 16}};
    for (const auto& row : rows) {
        const int count = row[0];
        const double y = row[1], step = 3.4;
        const double left = 16 - (count - 1) * step / 2;
        for (int i = 0; i < count; ++i)
            silver_ball(p, {left + i * step, y}, 2.0);
    }
    outlined_path(p, front, vertical({0, 17, 32, 13}, QColor(230, 60, 60), QColor(150, 20, 30)),
                  QColor(70, 10, 20), 1.0);
    p.strokePath(segment({4.5, 19.5}, {27.5, 19.5}), round_pen(QColor(255, 150, 150), 0.9));
    return img;
}

// ---- fuda0, fuda1: the plates hung on a machine ---------------------------

// A plate with a picture in its upper half and three crisp characters under it.
QImage plate(const QColor& colour, const QString& text, void (*emblem)(QPainter&)) {
    QImage img = solid_canvas(32, 32, window_grey);
    QPainter p(&img);
    smooth(p);
    QPainterPath board;
    board.addRoundedRect(QRectF(0.5, 0.5, 31, 31), 3, 3);
    outlined_path(p, board, vertical({0, 0, 32, 32}, colour.lighter(125), colour),
                  colour.darker(200), 1.0);
    p.fillRect(QRectF(1.5, 19, 29, 11.5), QColor(255, 255, 250));
    emblem(p);
    QFont font("IPAGothic");
    font.setPixelSize(10);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font);
    p.setPen(QColor(20, 20, 40));
    p.drawText(QRect(0, 19, 32, 12), Qt::AlignCenter, text);
    return img;
}

void infinity(QPainter& p) {
    QPainterPath loop(QPointF(16, 10));
    loop.cubicTo(20, 4, 27, 5, 27, 10);
    loop.cubicTo(27, 15, 20, 16, 16, 10);
    loop.cubicTo(12, 4, 5, 5, 5, 10);
    loop.cubicTo(5, 15, 12, 16, 16, 10);
    p.strokePath(loop, round_pen(QColor(60, 20, 20), 4.0));
    p.strokePath(loop, round_pen(QColor(255, 230, 90), 2.0));
}

void kept_balls(QPainter& p) {
    for (QPointF c : {QPointF(11, 12.5), QPointF(16, 12.5), QPointF(21, 12.5), QPointF(13.5, 7.5),
                      QPointF(18.5, 7.5)})
        silver_ball(p, c, 2.6);
}

// ---- zentei: ぽぷちゃん checking the premises ------------------------------

QImage premises() {
    QImage img = solid_canvas(120, 120, window_grey);
    QPainter p(&img);
    smooth(p);
    Pose pose;
    pose.hip = {58, 88};
    pose.scale = 1.65;
    pose.face = Face::Wink;
    pose.look = 0.2;
    pose.left_arm = {40, 60};
    pose.right_arm = {20, 110};
    pose.left_leg = {-6, 0};
    pose.right_leg = {10, -6};
    const Figure girl(popchan_look(), pose);
    girl.draw(p);
    girl.within(p, Frame::Upper, [&] { clipboard(p, QRectF(-2, -15, 15, 19)); });
    girl.draw_hands(p);
    sparkle(p, {100, 22}, 7, QColor(255, 214, 40));
    sparkle(p, {16, 30}, 5, QColor(255, 140, 190));
    return img;
}

} // namespace

// ---- icon: the machine's display showing 7 7 7 ----------------------------

// Drawn on a 128-pixel grid and scaled as a whole, so every size is drawn
// afresh rather than blown up from the 128-pixel file.
QImage icon(int size) {
    QImage img = solid_canvas(size, size, QColor(40, 20, 80));
    QPainter p(&img);
    smooth(p);
    p.scale(size / 128.0, size / 128.0);
    p.fillRect(img.rect(), vertical(img.rect(), QColor(90, 40, 150), QColor(30, 10, 60)));
    Pose pose;
    pose.hip = {64, 68};
    pose.scale = 1.25;
    pose.face = Face::Joy;
    pose.look = 0;
    pose.left_arm = {-100, -30};
    pose.right_arm = {100, 30};
    const Figure girl(popchan_look(), pose);
    girl.draw(p);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(3, 48, 122, 66), 10, 10);
    outlined_path(p, frame, vertical({0, 48, 128, 66}, QColor(255, 236, 120), QColor(220, 140, 0)),
                  QColor(110, 50, 0), 2.5);
    const QRectF screen(8, 54, 112, 54);
    p.fillRect(screen, QColor(128, 255, 255));
    for (int i = 0; i < 3; ++i)
        p.drawImage(QPointF(9.5 + i * 37, 57), symbol_art(7));
    girl.draw_hands(p);
    for (int i = 0; i < 6; ++i)
        star(p, QPointF(12 + i * 20.8, 121), 3.5,
             i % 2 ? QColor(255, 120, 180) : QColor(255, 220, 60));
    return img;
}

Pictures plain_pictures() {
    return {
        {"startup", startup()},
        {"dorubako", dollar_box()},
        {"fuda0", plate(QColor(60, 110, 220), "無制限", infinity)},
        {"fuda1", plate(QColor(230, 120, 30), "持ち玉", kept_balls)},
        {"zentei", premises()},
        {"icon", icon(128)},
    };
}

} // namespace pictures
