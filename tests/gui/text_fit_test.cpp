// Every text of the windows fits the box the layout gives it: labels, button
// captions, the premises lists, the lines of the list boxes; and the scroll
// bar of a scrolling text lies wholly inside its window.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOption>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/formdigi.h"
#include "core/fakes.h"
#include "parlour/face.h"

using namespace popchan;
using popchan::testing::ScriptedDialogs;

namespace {

// Lets the windows lay themselves out (lists place their scroll bars late).
void settle() {
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
}

std::string name_of(const QWidget* w) {
    return w->objectName().toStdString();
}

// A label's text on one line, or wrapped within the label if it wraps.
void expect_labels_fit(const QWidget* window) {
    int seen = 0;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue; // pictures
        ++seen;
        const QFontMetrics fm(label->font());
        const QRect inside = label->contentsRect();
        if (label->wordWrap()) {
            const QRect used =
                fm.boundingRect(inside, Qt::TextWordWrap | label->alignment(), label->text());
            EXPECT_TRUE(inside.contains(used))
                << name_of(label) << " needs " << used.width() << " × " << used.height() << " in "
                << inside.width() << " × " << inside.height();
        } else {
            EXPECT_LE(fm.horizontalAdvance(label->text()), inside.width())
                << name_of(label) << " \"" << label->text().toStdString() << "\"";
        }
    }
    EXPECT_GT(seen, 0);
}

// A button's caption within the part of the button the style leaves for it.
void expect_buttons_fit(const QWidget* window) {
    for (const QPushButton* button : window->findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()), room.width())
            << name_of(button);
    }
}

// Every item of a drop-down list, and the text it shows, within its text field.
void expect_combos_fit(const QWidget* window) {
    for (const QComboBox* combo : window->findChildren<QComboBox*>()) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        const QFontMetrics fm(combo->font());
        for (int i = 0; i < combo->count(); ++i)
            EXPECT_LE(fm.horizontalAdvance(combo->itemText(i)), field.width())
                << name_of(combo) << " \"" << combo->itemText(i).toStdString() << "\"";
        EXPECT_LE(fm.horizontalAdvance(combo->currentText()), field.width()) << name_of(combo);
    }
}

// Every line of a list within the list's visible width, beside the margins
// the style keeps on either side of an item's text.
void expect_list_lines_fit(const QListWidget* list, int at_least) {
    ASSERT_GE(list->count(), at_least) << name_of(list);
    const QFontMetrics fm(list->font());
    const int margins =
        2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    for (int i = 0; i < list->count(); ++i)
        EXPECT_LE(fm.horizontalAdvance(list->item(i)->text()) + margins, list->viewport()->width())
            << name_of(list) << " line " << i << " \"" << list->item(i)->text().toStdString()
            << "\"";
}

// The scroll bar where the user can reach it: not clipped by any container.
void expect_scroll_bar_inside(const QWidget* window, const QScrollBar* bar) {
    ASSERT_TRUE(bar->isVisible());
    const QRect rect(bar->mapTo(window, QPoint(0, 0)), bar->size());
    EXPECT_TRUE(window->rect().contains(rect)) << "scroll bar at " << rect.x() << ", " << rect.y()
                                               << " " << rect.width() << " × " << rect.height();
    // Each container on the way clips its children to its inside.
    for (const QWidget* w = bar->parentWidget(); w && w != window; w = w->parentWidget()) {
        const QWidget* container = w->parentWidget();
        if (!container) break;
        const QRect in_container(bar->mapTo(container, QPoint(0, 0)), bar->size());
        QRect inside = container->rect();
        if (const auto* frame = qobject_cast<const QFrame*>(container))
            inside = frame->contentsRect();
        EXPECT_TRUE(inside.contains(in_container))
            << "scroll bar cut by " << name_of(container) << ": " << in_container.x() << ".."
            << in_container.right() << " in " << inside.x() << ".." << inside.right();
    }
}

} // namespace

TEST(TextFit, MainWindowAfterADayWithJackpots) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs, nullptr, std::make_unique<MachineRandom>(5, false));
    w.show();
    // Only jackpots shown, so days run fast. Days are played until the list
    // holds more hits than it shows at once (its scroll bar takes room) and
    // one of them came after a thousand spins or more (the widest line).
    w.model().premises.zentei_jikan = 14;
    w.model().premises.zentei_giveup = 9999999;
    w.menu("b4_2")->trigger();
    auto* rireki = w.findChild<QListWidget*>("rireki");
    const auto long_run = [rireki] {
        for (int i = 0; i < rireki->count(); ++i)
            if (rireki->item(i)->text().contains(QRegularExpression("\\d{4}"))) return true;
        return false;
    };
    for (int day = 0; day < 40 && !(rireki->count() >= 12 && long_run()); ++day) {
        dialogs.boxes.clear();
        w.menu("a3")->trigger();
        while (dialogs.boxes.empty() && !(rireki->count() >= 12 && long_run())) {
            w.model().advance(1000);
            w.refresh();
        }
    }
    settle();
    expect_labels_fit(&w);
    ASSERT_TRUE(long_run());
    expect_list_lines_fit(rireki, 12);
    expect_list_lines_fit(w.findChild<QListWidget*>("ListReach"), 3);
    w.menu("a4")->trigger();
}

TEST(TextFit, PremisesDialog) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.show();
    w.menu("a2")->trigger();
    QApplication::processEvents();
    Zenteif* z = w.zenteif();
    ASSERT_NE(z, nullptr);
    expect_labels_fit(z);
    expect_buttons_fit(z);
    expect_combos_fit(z);
    // Each row's label ends before the drop-down list beside it begins.
    const char* const combos[11] = {"entkakuritu", "entdedama",      "entkakuhenritu", "entlimiter",
                                    "entkaiten",   "entjikan",       "entkankin",      "entgiveup",
                                    "enteigyo",    "enttimeservice", "enthakokisei"};
    for (int row = 0; row < 11; ++row) {
        const auto* label = z->findChild<QLabel*>(QString("labelzentei_%1").arg(row));
        const auto* combo = z->findChild<QComboBox*>(combos[row]);
        ASSERT_TRUE(label && combo) << row;
        const int text_right = label->geometry().left() + label->contentsRect().left() +
                               QFontMetrics(label->font()).horizontalAdvance(label->text());
        EXPECT_LE(text_right, combo->geometry().left()) << "labelzentei_" << row;
    }
}

TEST(TextFit, InformationWindows) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.show();
    w.menu("d3")->trigger();
    w.menu("d4")->trigger();
    QApplication::processEvents();
    for (QWidget* info : {static_cast<QWidget*>(w.siyouf()), static_cast<QWidget*>(w.setumeif())}) {
        ASSERT_NE(info, nullptr);
        SCOPED_TRACE(name_of(info));
        expect_buttons_fit(info);
        auto* text = info->findChild<QPlainTextEdit*>("TextInformation");
        ASSERT_NE(text, nullptr);
        expect_scroll_bar_inside(info, text->verticalScrollBar());
    }
}

// A wrapped label breaks its lines where the core's table says the desktop
// breaks them (the page sets them so, whatever its engine would do).
TEST(TextFit, WrappedLabelsBreakWhereTheTableSays) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    int wrapped = 0;
    for (const Part& part : main_window_parts()) {
        if (!part.wrap) continue;
        ++wrapped;
        const QLabel* label = w.findChild<QLabel*>(QString::fromStdString(part.name));
        ASSERT_NE(label, nullptr) << part.name;
        QTextLayout layout(label->text(), label->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        std::vector<int> lengths;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(label->contentsRect().width());
            const QString text = label->text().mid(line.textStart(), line.textLength());
            lengths.push_back(int(text.toStdU32String().size()));
        }
        layout.endLayout();
        lengths.pop_back(); // the last line takes the rest
        EXPECT_EQ(lengths, part.line_lengths) << part.name;
    }
    EXPECT_EQ(wrapped, 1);
}
