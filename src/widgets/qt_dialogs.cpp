#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <algorithm>

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

// A window kept on top would cover a box that is not.
bool any_window_on_top() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* w) {
        return w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    });
}

int run(ModalTracker& modal, QMessageBox& box) {
    if (any_window_on_top()) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    modal.enter();
    const int answer = box.exec();
    modal.leave();
    return answer;
}

} // namespace

void QtDialogs::message(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(to_qt(icon), QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, owner_);
    run(modal_, box);
}

bool QtDialogs::ask_yes_no(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(to_qt(icon), QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::No);
    return run(modal_, box) == QMessageBox::Yes;
}

} // namespace popchan
