#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>
#include <algorithm>

#include "widgets/layout.h"

namespace popchan {

namespace {

QMessageBox::Icon to_qt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A box stands centred on the screen with its frame, as every window of the
// program does, not over the window that opened it.
class Box : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event); // sizes the box to its text
        centre_window(this);
    }
};

bool kept_on_top(const QWidget* w) {
    return w && w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// The window a box stands over. A window manager keeps a box above the
// window it is for, but lifts it no higher than that window's layer: a box
// for a window of the normal layer stays under the windows kept on top, even
// when it is kept on top itself. So while a window of the program is kept on
// top, a box is for that one (the active one, if it is), whichever window
// owns it.
QWidget* stand_over(QWidget* owner) {
    if (QWidget* active = QApplication::activeWindow(); kept_on_top(active)) return active;
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto on_top = std::find_if(windows.begin(), windows.end(), kept_on_top);
    return on_top != windows.end() ? *on_top : owner;
}

int run(ModalTracker& modal, QMessageBox& box, QWidget* owner) {
    QWidget* over = stand_over(owner);
    if (kept_on_top(over)) {
        // A window kept on top would cover a box that is not.
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        box.winId(); // creates its native window, to be told whose box it is
        box.windowHandle()->setTransientParent(over->windowHandle());
    }
    modal.enter();
    const int answer = box.exec();
    modal.leave();
    return answer;
}

} // namespace

void QtDialogs::message(const std::string& text, const std::string& title, MessageIcon icon) {
    Box box(to_qt(icon), QString::fromStdString(title), QString::fromStdString(text),
            QMessageBox::Ok, owner_);
    box.button(QMessageBox::Ok)->setText(QString::fromUtf8(kBoxOk));
    run(modal_, box, owner_);
}

bool QtDialogs::ask_yes_no(const std::string& text, const std::string& title, MessageIcon icon) {
    Box box(to_qt(icon), QString::fromStdString(title), QString::fromStdString(text),
            QMessageBox::Yes | QMessageBox::No, owner_);
    box.button(QMessageBox::Yes)->setText(QString::fromUtf8(kBoxYes));
    box.button(QMessageBox::No)->setText(QString::fromUtf8(kBoxNo));
    box.setDefaultButton(QMessageBox::No);
    return run(modal_, box, owner_) == QMessageBox::Yes;
}

} // namespace popchan
