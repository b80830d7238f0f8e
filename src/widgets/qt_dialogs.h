// Message boxes of the program, shown with Qt over the window that opens them.
#pragma once

#include <functional>

#include "common/dialogs.h"
#include "widgets/modal.h"

class QWidget;

namespace popchan {

// Real boxes, owned by `owner`: each stays above the window that opened it,
// and above every window of the program that is kept on top.
class QtDialogs : public Dialogs {
  public:
    QtDialogs(ModalTracker& modal, QWidget* owner) : modal_(modal), owner_(owner) {}
    void message(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool ask_yes_no(const std::string& text, const std::string& title, MessageIcon icon) override;

  private:
    ModalTracker& modal_;
    QWidget* owner_;
};

// Brings the window up to date before any box opens, so a box opened in the
// middle of a handler stands over the figures of that moment.
class CurrentFiguresFirst : public Dialogs {
  public:
    CurrentFiguresFirst(Dialogs& boxes, std::function<void()> refresh)
        : boxes_(boxes), refresh_(std::move(refresh)) {}
    void message(const std::string& text, const std::string& title, MessageIcon icon) override {
        refresh_();
        boxes_.message(text, title, icon);
    }
    bool ask_yes_no(const std::string& text, const std::string& title, MessageIcon icon) override {
        refresh_();
        return boxes_.ask_yes_no(text, title, icon);
    }

  private:
    Dialogs& boxes_;
    std::function<void()> refresh_;
};

} // namespace popchan
