#include "widgets/layout.h"

#include <QLayout>
#include <QScreen>

#include "parlour/formdigi_model.h"

namespace popchan {

namespace {
int g_twips_x = 15, g_twips_y = 15;

int inner_offset(QWidget* control) {
    auto* frame = qobject_cast<QFrame*>(control->parentWidget());
    return frame ? frame->frameWidth() : 0;
}
} // namespace

PictureBox::PictureBox(QWidget* parent, bool border, const QColor& back) : QFrame(parent) {
    if (border) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(2);
    }
    if (back.isValid()) {
        QPalette p = palette();
        p.setColor(QPalette::Window, back);
        setPalette(p);
        setAutoFillBackground(true);
    }
}

int twips_per_px_x() {
    return g_twips_x;
}
int twips_per_px_y() {
    return g_twips_y;
}
void set_twips_per_px(int x, int y) {
    g_twips_x = x, g_twips_y = y;
}

void Place_Picture(QWidget* control, int width, int height, int left, int top) {
    const int off = inner_offset(control);
    control->setGeometry(left + off, top + off, width, height);
}

void Place_Text(QWidget* control, int font_size, int width, int height, int left, int top) {
    QFont f = control->font();
    f.setPointSize(scaled_font_size(font_size, g_twips_x));
    control->setFont(f);
    Place_Picture(control, width, height, left, top);
}

void Place_Combo(QWidget* control, int font_size, int width, int left, int top) {
    QFont f = control->font();
    f.setPointSize(scaled_font_size(font_size, g_twips_x));
    control->setFont(f);
    const int off = inner_offset(control);
    control->setGeometry(left + off, top + off, width, control->sizeHint().height());
}

void apply_client_size(QWidget* window, QWidget* client, int width, int height) {
    client->setFixedSize(width, height);
    if (window != client && window->layout())
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    window->adjustSize();
}

void apply_window_rule(QWidget* window, QWidget* client, int width, int height) {
    apply_client_size(window, client, width, height);
    const QRect screen = window->screen()->geometry();
    const QSize outer = window->frameGeometry().size();
    window->move(screen.x() + (screen.width() - outer.width()) / 2,
                 screen.y() + (screen.height() - outer.height()) / 2);
}

} // namespace popchan
