#include "widgets/layout.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QStyleOption>
#include <QWindow>
#include <algorithm>

#include "parlour/formdigi_model.h"

namespace popchan {

namespace {
int g_twips_x = 15, g_twips_y = 15;

// Narrower than this a font gets hard to read.
constexpr int kNarrowestStretch = 75;

int inner_offset(QWidget* control) {
    auto* frame = qobject_cast<QFrame*>(control->parentWidget());
    return frame ? frame->frameWidth() : 0;
}

// A scrolling text placed wider or taller than the inside of its container
// (the "how to" text overhangs its frame) draws its border and scroll bars
// within that inside, where they can be seen and reached. The frame is set
// again whenever the style may have set it afresh.
constexpr const char* kKeepInside = "keep_scroll_bars_inside";
class KeepScrollBarsInside : public QObject {
  public:
    explicit KeepScrollBarsInside(QAbstractScrollArea* area) : QObject(area), area_(area) {
        setObjectName(kKeepInside);
        area->installEventFilter(this);
        apply();
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::StyleChange:
        case QEvent::FontChange:
            apply();
            break;
        default:
            break;
        }
        return false;
    }

  private:
    void apply() {
        const auto* frame = qobject_cast<const QFrame*>(area_->parentWidget());
        if (!frame) return;
        const QRect inside = frame->contentsRect();
        const QRect placed = area_->geometry();
        const QRect wanted =
            area_->rect().adjusted(0, 0, std::min(0, inside.right() - placed.right()),
                                   std::min(0, inside.bottom() - placed.bottom()));
        if (area_->frameRect() != wanted) area_->setFrameRect(wanted);
    }
    QAbstractScrollArea* area_;
};

void keep_scroll_bars_inside(QWidget* control) {
    auto* area = qobject_cast<QAbstractScrollArea*>(control);
    if (area && !area->findChild<QObject*>(kKeepInside, Qt::FindDirectChildrenOnly))
        new KeepScrollBarsInside(area);
}

// The margins of a window's outer frame, as the window manager last gave
// them: none before it has framed the window. They are asked of the window
// system, because the widget's frame geometry learns them only when the
// window moves, and a window made before it was placed (a message box) is
// framed where it stands and does not move.
QMargins frame_margins(const QWidget* window) {
    const QWindow* made = window->windowHandle();
    return made ? made->frameMargins() : QMargins();
}

// Centres a window's outer frame on its screen.
void centre_frame(QWidget* window) {
    const QRect screen = window->screen()->geometry();
    const QMargins frame = frame_margins(window);
    const QSize outer = window->size().grownBy(frame);
    const QPoint corner(screen.x() + (screen.width() - outer.width()) / 2,
                        screen.y() + (screen.height() - outer.height()) / 2);
    window->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window->size()));
}

// Centres a window again, once, as soon as it has its outer frame: at the
// first move, resize or paint after the window manager has framed it.
class CentreWhenFramed : public QObject {
  public:
    explicit CentreWhenFramed(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Paint:
            if (!frame_margins(window_).isNull()) {
                window_->removeEventFilter(this);
                centre_frame(window_);
                deleteLater();
            }
            break;
        default:
            break;
        }
        return false;
    }

  private:
    QWidget* window_;
};

// The room a combo box's text field leaves for its text.
int text_field_width(const QComboBox* combo) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    return combo->style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
        .width();
}
} // namespace

PixelPicture::PixelPicture(const QString& path, QWidget* parent, QSize size) : QLabel(parent) {
    const QPixmap picture(path);
    setPixmap(size.isValid() ? picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             : picture);
}

void PixelPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, pixmap());
}

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
    keep_scroll_bars_inside(control);
}

void Place_Text(QWidget* control, int font_size, int width, int height, int left, int top) {
    QFont f = control->font();
    f.setPointSize(scaled_font_size(font_size, g_twips_x));
    control->setFont(f);
    Place_Picture(control, width, height, left, top);
    if (auto* label = qobject_cast<QLabel*>(control); label && !label->wordWrap())
        fit_text(label, {label->text()}, label->contentsRect().width());
}

void Place_Combo(QWidget* control, int font_size, int width, int left, int top) {
    QFont f = control->font();
    f.setPointSize(scaled_font_size(font_size, g_twips_x));
    control->setFont(f);
    const int off = inner_offset(control);
    control->setGeometry(left + off, top + off, width, control->sizeHint().height());
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QStringList texts{combo->currentText()};
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        fit_text(combo, texts, text_field_width(combo));
    }
}

void fit_text(QWidget* control, const QStringList& texts, int room) {
    QFont f = control->font();
    const auto widest = [&f, &texts] {
        const QFontMetrics fm(f);
        int w = 0;
        for (const QString& t : texts)
            w = std::max(w, fm.horizontalAdvance(t));
        return w;
    };
    int stretch = f.stretch() == QFont::AnyStretch ? int(QFont::Unstretched) : f.stretch();
    while (widest() > room && stretch > kNarrowestStretch)
        f.setStretch(--stretch);
    control->setFont(f);
}

void fit_list(QAbstractScrollArea* list, const QStringList& lines) {
    const QStyle* style = list->style();
    // An item's text keeps a margin on either side.
    const int margins = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    const int room = list->width() - 2 * list->frameWidth() -
                     style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list) - margins;
    fit_text(list, lines, room);
}

void apply_client_size(QWidget* window, QWidget* client, int width, int height) {
    client->setFixedSize(width, height);
    if (window != client && window->layout())
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    window->adjustSize();
}

void apply_window_rule(QWidget* window, QWidget* client, int width, int height) {
    apply_client_size(window, client, width, height);
    centre_window(window);
}

void centre_window(QWidget* window) {
    centre_frame(window);
    // Until the window manager has framed the shown window its outer frame is
    // its client's size; the first time the frame shows, centre it again.
    if (frame_margins(window).isNull()) new CentreWhenFramed(window);
}

} // namespace popchan
