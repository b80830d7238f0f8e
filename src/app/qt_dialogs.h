// Message boxes of the program, shown with Qt over the main window.
#pragma once

#include "app/modal.h"
#include "common/dialogs.h"

class QWidget;

namespace popchan {

class QtDialogs : public Dialogs {
  public:
    QtDialogs(ModalTracker& modal, QWidget* parent) : modal_(modal), parent_(parent) {}
    void message(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool ask_yes_no(const std::string& text, const std::string& title, MessageIcon icon) override;

  private:
    ModalTracker& modal_;
    QWidget* parent_;
};

} // namespace popchan
