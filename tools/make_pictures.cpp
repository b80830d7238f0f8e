// Draws the program's pictures into assets/pictures. Run it after changing a
// picture here: `make pictures`. The PNG files it writes are committed.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

namespace {

void star(QPainter& p, QPointF c, double r, const QColor& color) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double rr = i % 2 ? r * 0.45 : r;
        const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
        i ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    p.fillPath(path, color);
}

void outlined_text(QPainter& p, const QString& text, const QFont& font, QPointF at,
                   const QColor& fill, const QColor& edge, double edge_width) {
    QPainterPath path;
    path.addText(at, font, text);
    p.strokePath(path, QPen(edge, edge_width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path, fill);
}

// The display at rest before the first spin: the machine's name on its colours.
QImage startup() {
    QImage img(115, 96, QImage::Format_ARGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 96);
    sky.setColorAt(0, QColor(128, 255, 255));
    sky.setColorAt(1, QColor(200, 240, 255));
    p.fillRect(img.rect(), sky);
    for (int i = 0; i < 7; ++i)
        star(p, QPointF(10 + i * 16, i % 2 ? 84 : 12), i % 2 ? 4 : 5,
             i % 3 ? QColor(255, 210, 40) : QColor(255, 128, 170));
    QFont big("IPAGothic");
    big.setPixelSize(20);
    big.setBold(true);
    outlined_text(p, "ＣＲ", big, QPointF(37, 36), QColor(255, 255, 255), QColor(40, 80, 200), 4);
    QFont name("IPAGothic");
    name.setPixelSize(21);
    name.setBold(true);
    outlined_text(p, "ぽぷちゃん", name, QPointF(5, 64), QColor(255, 110, 160),
                  QColor(255, 255, 255), 5);
    return img;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? argv[1] : "assets/pictures";
    QDir().mkpath(dir);
    const bool ok = startup().save(dir + "/startup.png");
    std::printf("%s %s/startup.png\n", ok ? "wrote" : "FAILED", qPrintable(dir));
    return ok ? 0 : 1;
}
