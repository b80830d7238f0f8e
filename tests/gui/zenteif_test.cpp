#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/formdigi.h"
#include "core/fakes.h"
#include "gui/program.h"
#include "widgets/layout.h"

using namespace popchan;

namespace {

struct PremisesProgram : popchan::testing::TestProgram {
    PremisesProgram() : TestProgram(1) {}
    Zenteif* open() {
        window.menu("a2")->trigger();
        return window.zenteif();
    }
    void set(PremiseRow row, const char* text) {
        window.zenteif()->combo(row)->setEditText(QString::fromUtf8(text));
    }
    void ok() {
        window.zenteif()->findChild<QPushButton*>("okbutton")->click();
        QApplication::processEvents(); // a closed dialog is deleted
    }
    std::vector<std::string> box_texts() const {
        std::vector<std::string> texts;
        for (const auto& b : dialogs.boxes)
            texts.push_back(b.text);
        return texts;
    }
};

} // namespace

TEST(PremisesDialog, OpensWithItsLayoutAndStartTexts) {
    PremisesProgram p;
    Zenteif* z = p.open();
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(z->windowTitle(), "前提入力");
    EXPECT_EQ(z->size(), QSize(433, 416));
    EXPECT_TRUE(z->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(z->isVisible());
    const PremiseTexts start = start_texts();
    for (int row = 0; row < kPremiseRows; ++row)
        EXPECT_EQ(z->combo(PremiseRow(row))->currentText().toStdString(), start[row]) << row;
    EXPECT_EQ(z->combo(kRowKaiten)->count(), 41);
    EXPECT_EQ(z->combo(kRowKaiten)->itemText(40), "   50");
    EXPECT_EQ(z->combo(kRowHakokisei)->itemText(1), " ３箱");
    EXPECT_EQ(z->findChild<QWidget*>("Picture1")->geometry(), QRect(24, 16, 385, 377));
    // Inside the frame's 2-pixel border.
    EXPECT_EQ(z->combo(kRowEigyo)->geometry().x(), 104 + 2);
    EXPECT_EQ(z->combo(kRowEigyo)->width(), 152);
    EXPECT_EQ(z->combo(kRowHakokisei)->geometry().y(), 344 + 2);
    EXPECT_EQ(z->findChild<QLabel*>("labelzentei_9")->width(), 97);
    EXPECT_EQ(z->findChild<QLabel*>("labelzentei_3")->text(), "最高継続回数（リミッター）");
    EXPECT_EQ(z->findChild<QPushButton*>("okbutton")->text(), "ＯＫ！");
    EXPECT_EQ(z->findChild<QPushButton*>("okbutton")->font().pointSize(), 14);
    EXPECT_EQ(z->combo(kRowKakuritu)->font().pointSize(), 10);
    // Opening it again brings the same dialog to the front.
    EXPECT_EQ(p.open(), z);
    // Before a day, opening it enables Start and disables Reset.
    EXPECT_TRUE(p.window.menu("a3")->isEnabled());
    EXPECT_FALSE(p.window.menu("a4")->isEnabled());
}

TEST(PremisesDialog, UntouchedOkCommitsTheStartValuesAndCloses) {
    PremisesProgram p;
    p.window.model().premises.zentei_kakuritu = 99;
    p.open();
    p.ok();
    EXPECT_TRUE(p.dialogs.boxes.empty());
    EXPECT_EQ(p.window.zenteif(), nullptr);
    EXPECT_EQ(p.window.model().premises.zentei_kakuritu, 310);
    EXPECT_EQ(p.window.model().premises.zentei_kankin, 2.22f);
}

TEST(PremisesDialog, FailedChecksShowTheirBoxesInOrderAndKeepTheDialog) {
    PremisesProgram p;
    p.open();
    p.set(kRowHakokisei, "３箱");
    p.set(kRowKakuritu, "310abc");
    p.set(kRowGiveup, "無制限");
    p.set(kRowLimiter, "abc");
    p.ok();
    EXPECT_EQ(p.box_texts(),
              (std::vector<std::string>{
                  "大当り確率は数字を入力して下さい。", "最高継続回数入力エラーです。",
                  "最高継続回数は数字又は無制限を入力して下さい。", "ドル箱規制選択エラー"}));
    for (const auto& box : p.dialogs.boxes)
        EXPECT_EQ(box.title, "入力エラー");
    ASSERT_NE(p.window.zenteif(), nullptr);
    EXPECT_EQ(p.window.zenteif()->combo(kRowGiveup)->currentText(), "9999999");
    // Nothing of a refused press is committed.
    EXPECT_EQ(p.window.model().premises.zentei_giveup, 30000);
    EXPECT_EQ(p.window.model().premises.zentei_limiter, 999);
}

namespace {

// The eleven fields of a record, in the dialog's order.
std::vector<float> fields(const Premises& z) {
    return {z.zentei_kakuritu,        z.zentei_dedama,
            z.zentei_kakuhenritu,     z.zentei_limiter,
            z.zentei_kaiten,          z.zentei_jikan,
            z.zentei_kankin,          z.zentei_giveup,
            float(z.zentei_eigyo),    float(z.zentei_timeservice),
            float(z.zentei_hakokisei)};
}

} // namespace

TEST(PremisesDialog, ARefusedOkLeavesTheRecordAsItWasAndAnAcceptedOneWritesIt) {
    // Every field differs from the record, so any field written would show.
    const char* const changed[kPremiseRows] = {
        "320", "2200", "3", "5", "25", "12", "2.50", "無制限", "オール無制限", "なし", " ４箱"};
    const std::vector<float> start = {310, 2100, 2, 999, 30, 10, 2.22f, 30000, 3, 2, 1};
    const struct {
        PremiseRow row;
        const char* text;
        const char* message;
    } refusals[] = {
        {kRowKaiten, "0", "回転率入力エラーです。"},
        {kRowKakuritu, "320abc", "大当り確率は数字を入力して下さい。"},
        {kRowHakokisei, "４箱", "ドル箱規制選択エラー"},
    };
    PremisesProgram p;
    p.open();
    const auto ok_with = [&p, &changed](PremiseRow row, const char* text) {
        for (int r = 0; r < kPremiseRows; ++r)
            p.set(PremiseRow(r), changed[r]);
        p.set(row, text);
        p.dialogs.boxes.clear();
        p.ok();
    };
    // Refused before the day: Start then plays with the record as it was.
    ok_with(kRowKaiten, "0");
    p.window.menu("a3")->trigger(); // Start stays enabled while the dialog is open
    EXPECT_TRUE(p.window.pump_running());
    EXPECT_EQ(p.window.findChild<QLabel*>("zentei_4")->text(), "30");
    // Refused while the day runs: the day goes on with the record as it was.
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.text);
        ok_with(r.row, r.text);
        EXPECT_EQ(p.box_texts(), std::vector<std::string>{r.message});
        ASSERT_NE(p.window.zenteif(), nullptr);
        EXPECT_EQ(fields(p.window.model().premises), start);
        // The dialog still shows what OK made of the texts.
        EXPECT_EQ(p.window.zenteif()->combo(kRowGiveup)->currentText(), "9999999");
    }
    ok_with(kRowKaiten, "25");
    EXPECT_TRUE(p.dialogs.boxes.empty());
    EXPECT_EQ(p.window.zenteif(), nullptr);
    EXPECT_EQ(fields(p.window.model().premises),
              (std::vector<float>{320, 2200, 3, 5, 25, 12, 2.5f, 9999999, 2, 1, 3}));
    p.window.menu("a4")->trigger();
}

TEST(PremisesDialog, ReopeningShowsTheStartTextsAgain) {
    PremisesProgram p;
    p.open();
    p.set(kRowKakuritu, "320");
    p.ok();
    EXPECT_EQ(p.window.model().premises.zentei_kakuritu, 320);
    Zenteif* again = p.open();
    EXPECT_EQ(again->combo(kRowKakuritu)->currentText(), "  310");
    p.window.menu("a3")->trigger(); // the record keeps what OK committed
    EXPECT_EQ(p.window.findChild<QLabel*>("zentei_0")->text(), "320");
    p.window.menu("a4")->trigger();
}

TEST(PremisesDialog, SmallFontsScreen) {
    const int saved_x = twips_per_px_x(), saved_y = twips_per_px_y();
    set_twips_per_px(12, 12);
    {
        PremisesProgram p;
        Zenteif* z = p.open();
        EXPECT_EQ(z->combo(kRowKakuritu)->font().pointSize(), 8);
        EXPECT_EQ(z->findChild<QPushButton*>("okbutton")->font().pointSize(), 11);
        EXPECT_EQ(z->size(), QSize(433, 416));
    }
    set_twips_per_px(saved_x, saved_y);
}
