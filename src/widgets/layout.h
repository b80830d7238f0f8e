// Placing controls in pixels, as every window of the program lays itself out.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QStringList>

class QAbstractScrollArea;

namespace popchan {

// A picture box: a container with an optional sunken border; children are
// placed inside the border.
class PictureBox : public QFrame {
  public:
    PictureBox(QWidget* parent, bool border, const QColor& back = QColor());
};

// A picture of whole pixels (a dollar box, a plate) at the top left. Where a
// logical pixel is several device pixels it is scaled up sharp, each pixel a
// block of one colour, as the display is; a plain label would smooth it.
// A larger drawing is first made `size` pixels, once.
class PixelPicture : public QLabel {
  public:
    PixelPicture(const QString& path, QWidget* parent, QSize size = QSize());

  protected:
    void paintEvent(QPaintEvent*) override;
};

// Position and size, relative to the container's inside.
void Place_Picture(QWidget* control, int width, int height, int left, int top);
// The same with a font of the nominal size, scaled to the screen.
void Place_Text(QWidget* control, int font_size, int width, int height, int left, int top);
// Combo boxes keep their own height.
void Place_Combo(QWidget* control, int font_size, int width, int left, int top);
// Both fit their texts to the room the layout gives them (fit_text): a label
// its one line, a combo box every item of its list.

// The fonts here run wider than those the layout was drawn for: a control's
// font is narrowed (never widened) just enough that the widest of `texts`
// takes at most `room` pixels.
void fit_text(QWidget* control, const QStringList& texts, int room);
// A list box's font, fitted so that each of `lines` shows whole beside the
// list's scroll bar.
void fit_list(QAbstractScrollArea* list, const QStringList& lines);

// The screen's twips per pixel (1440 / logical dots per inch), as measured at start-up.
int twips_per_px_x();
int twips_per_px_y();
void set_twips_per_px(int x, int y);

// A window's client area becomes exactly width × height pixels, fixed, and
// the window, with its outer frame, is centred on the screen.
void apply_window_rule(QWidget* window, QWidget* client, int width, int height);
// Only the first half of that: the client area's size.
void apply_client_size(QWidget* window, QWidget* client, int width, int height);
// The second half: centres a window's outer frame on its screen, at once and
// again when the window manager first frames it.
void centre_window(QWidget* window);

} // namespace popchan
