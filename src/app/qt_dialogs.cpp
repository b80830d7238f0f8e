#include "app/qt_dialogs.h"

#include <QMessageBox>

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

int run(ModalTracker& modal, QMessageBox& box) {
    modal.enter();
    const int answer = box.exec();
    modal.leave();
    return answer;
}

} // namespace

void QtDialogs::message(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(to_qt(icon), QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    run(modal_, box);
}

bool QtDialogs::ask_yes_no(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(to_qt(icon), QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::No);
    return run(modal_, box) == QMessageBox::Yes;
}

} // namespace popchan
