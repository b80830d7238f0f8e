#include "shell/zenteif.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "common/dialogs.h"
#include "premises/dialog.h"
#include "widgets/keys.h"
#include "widgets/layout.h"
#include "widgets/qt_dialogs.h"

namespace popchan {

Zenteif::Zenteif(Premises& record, Dialogs* dialogs, ModalTracker& modal, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), record_(record),
      own_dialogs_(dialogs ? nullptr : std::make_unique<QtDialogs>(modal, this)),
      dialogs_(dialogs ? *dialogs : *own_dialogs_) {
    setObjectName("zenteif");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kZenteiTitle);
    setFont(QFont("ＭＳ Ｐゴシック", kZenteiFont));

    auto* picture1 = new PictureBox(this, true);
    picture1->setObjectName("Picture1");
    const Place& panel = kZenteiPanel;
    Place_Picture(picture1, panel.width, panel.height, panel.left, panel.top);
    const PremiseTexts texts = start_texts();
    for (int row = 0; row < kPremiseRows; ++row) {
        const PremiseRowFace& face = premise_rows()[row];
        auto* label = new QLabel(face.label, picture1);
        label->setObjectName(QString("labelzentei_%1").arg(row));
        const Place& l = face.label_place;
        Place_Text(label, kZenteiRowFont, l.width, l.height, l.left, l.top);

        auto* combo = new QComboBox(picture1);
        combo->setObjectName(face.name);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr); // the list offers values; it never rewrites what is typed
        for (const std::string& item : list_items(PremiseRow(row)))
            combo->addItem(QString::fromStdString(item));
        combo->setEditText(QString::fromStdString(texts[row]));
        const Place& p = face.list_place;
        Place_Combo(combo, kZenteiRowFont, p.width, p.left, p.top);
        // The last label reaches under its list box; its text ends before it.
        fit_text(label, {label->text()}, std::min(label->width(), combo->x() - label->x()));
        combos_[row] = combo;
    }
    auto* image1 = new PixelPicture(QString(":/pictures/%1.png").arg(kZenteiPictureName), picture1,
                                    QSize(32, 32));
    image1->setObjectName("Image1");
    const Place& i = kZenteiPicture;
    Place_Picture(image1, i.width, i.height, i.left, i.top);

    auto* ok = new QPushButton(kZenteiOk, picture1);
    ok->setObjectName("okbutton");
    const Place& o = kZenteiOkPlace;
    Place_Text(ok, kZenteiOkFont, o.width, o.height, o.left, o.top);
    connect(ok, &QPushButton::clicked, this, [this] { okbutton_Click(); });
    // Enter answers OK; Esc closes the dialog and commits nothing.
    on_key(this, QKeySequence(Qt::Key_Return), [this] { okbutton_Click(); });
    on_key(this, QKeySequence(Qt::Key_Enter), [this] { okbutton_Click(); });
    close_on_escape(this);

    apply_window_rule(this, this, kZenteiClient.width, kZenteiClient.height);
}

void Zenteif::okbutton_Click() {
    PremiseTexts texts;
    for (int row = 0; row < kPremiseRows; ++row)
        texts[row] = combos_[row]->currentText().toStdString();
    const PremiseTexts typed = texts;
    const bool accepted = premises_ok(texts, record_, dialogs_, [&] {
        for (int row = 0; row < kPremiseRows; ++row)
            if (texts[row] != typed[row])
                combos_[row]->setEditText(QString::fromStdString(texts[row]));
    });
    if (accepted) close();
}

} // namespace popchan
