#include "shell/zenteif.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "common/dialogs.h"
#include "widgets/keys.h"
#include "widgets/layout.h"
#include "widgets/qt_dialogs.h"

namespace popchan {

namespace {

constexpr std::array<const char*, kPremiseRows> kLabels = {"大当たり確率 (1/?)",
                                                           "大当たり出玉",
                                                           "確変・時短率 (1/?)",
                                                           "最高継続回数（リミッター）",
                                                           "千円あたり回転率",
                                                           "一日あたりﾌﾟﾚｲ時間",
                                                           "換金率（円／個）",
                                                           "ｷﾞﾌﾞｱｯﾌﾟ金額",
                                                           "営業形態",
                                                           "ﾗｯｷｰﾀｲﾑｻｰﾋﾞｽ",
                                                           "ﾄﾞﾙ箱規制（2,500個/箱）"};

constexpr std::array<const char*, kPremiseRows> kComboNames = {
    "entkakuritu", "entdedama", "entkakuhenritu", "entlimiter",     "entkaiten",   "entjikan",
    "entkankin",   "entgiveup", "enteigyo",       "enttimeservice", "enthakokisei"};

struct ComboPlace {
    int left, width, top;
};
constexpr std::array<ComboPlace, kPremiseRows> kComboPlaces = {{{191, 65, 24},
                                                                {191, 65, 56},
                                                                {191, 65, 88},
                                                                {191, 65, 120},
                                                                {191, 65, 152},
                                                                {191, 65, 184},
                                                                {191, 65, 216},
                                                                {191, 65, 248},
                                                                {104, 152, 280},
                                                                {136, 121, 312},
                                                                {176, 81, 344}}};

// The label widths that leave room for the wider lists of the last three rows.
int label_width(int row) {
    switch (row) {
    case kRowEigyo:
        return 65;
    case kRowTimeService:
        return 97;
    case kRowHakokisei:
        return 145;
    default:
        return 153;
    }
}

} // namespace

Zenteif::Zenteif(Premises& record, Dialogs* dialogs, ModalTracker& modal, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), record_(record),
      own_dialogs_(dialogs ? nullptr : std::make_unique<QtDialogs>(modal, this)),
      dialogs_(dialogs ? *dialogs : *own_dialogs_) {
    setObjectName("zenteif");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("前提入力");
    setFont(QFont("ＭＳ Ｐゴシック", 9));

    auto* picture1 = new PictureBox(this, true);
    picture1->setObjectName("Picture1");
    Place_Picture(picture1, 385, 377, 24, 16);
    const PremiseTexts texts = start_texts();
    for (int row = 0; row < kPremiseRows; ++row) {
        auto* label = new QLabel(kLabels[row], picture1);
        label->setObjectName(QString("labelzentei_%1").arg(row));
        Place_Text(label, 10, label_width(row), 21, 40, 24 + 32 * row);

        auto* combo = new QComboBox(picture1);
        combo->setObjectName(kComboNames[row]);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr); // the list offers values; it never rewrites what is typed
        for (const std::string& item : list_items(PremiseRow(row)))
            combo->addItem(QString::fromStdString(item));
        combo->setEditText(QString::fromStdString(texts[row]));
        const ComboPlace& p = kComboPlaces[row];
        Place_Combo(combo, 10, p.width, p.left, p.top);
        // The last label reaches under its list box; its text ends before it.
        fit_text(label, {label->text()}, std::min(label->width(), combo->x() - label->x()));
        combos_[row] = combo;
    }
    auto* image1 = new PixelPicture(":/pictures/zentei.png", picture1, QSize(32, 32));
    image1->setObjectName("Image1");
    Place_Picture(image1, 32, 32, 312, 24);

    auto* ok = new QPushButton("ＯＫ！", picture1);
    ok->setObjectName("okbutton");
    Place_Text(ok, 14, 73, 33, 288, 320);
    connect(ok, &QPushButton::clicked, this, [this] { okbutton_Click(); });
    // Enter answers OK; Esc closes the dialog and commits nothing.
    on_key(this, QKeySequence(Qt::Key_Return), [this] { okbutton_Click(); });
    on_key(this, QKeySequence(Qt::Key_Enter), [this] { okbutton_Click(); });
    close_on_escape(this);

    apply_window_rule(this, this, 433, 416);
}

void Zenteif::okbutton_Click() {
    PremiseTexts texts;
    for (int row = 0; row < kPremiseRows; ++row)
        texts[row] = combos_[row]->currentText().toStdString();
    const Commit commit = convert_and_check(texts);
    for (int row = 0; row < kPremiseRows; ++row)
        if (commit.texts[row] != texts[row])
            combos_[row]->setEditText(QString::fromStdString(commit.texts[row]));
    for (int n : commit.failed)
        dialogs_.message(std::string(check_message(n)), kInputErrorTitle, MessageIcon::Warning);
    // A refused press changes nothing: a day that runs meanwhile, or one
    // started next, plays with the premises last accepted.
    if (!commit.failed.empty()) return;
    record_ = commit.record;
    close();
}

} // namespace popchan
