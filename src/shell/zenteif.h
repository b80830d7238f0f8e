// The premises dialog 前提入力: eleven editable lists and the OK button that
// converts and checks them, and commits them into the premises record when
// every check passes.
#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "premises/validation.h"
#include "widgets/modal.h"

class QComboBox;

namespace popchan {

class Dialogs;

class Zenteif : public QWidget {
  public:
    // OK writes into `record` only when every check passes; input errors are
    // shown through `dialogs`, or without them in boxes of this dialog's own,
    // which stay above it.
    Zenteif(Premises& record, Dialogs* dialogs, ModalTracker& modal, QWidget* parent);

    QComboBox* combo(PremiseRow row) const { return combos_[row]; }
    // The OK button's handler.
    void okbutton_Click();

  private:
    Premises& record_;
    std::unique_ptr<Dialogs> own_dialogs_;
    Dialogs& dialogs_;
    std::array<QComboBox*, kPremiseRows> combos_{};
};

} // namespace popchan
