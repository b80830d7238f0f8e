// Every menu caption shows whole: the text the style paints is the caption
// with its access-key marks taken out, and it lies inside its item.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEngine>
#include <QTextItem>
#include <algorithm>
#include <gtest/gtest.h>

#include "menu_bar.h"
#include <map>
#include <vector>

#include "app/formdigi.h"
#include "core/fakes.h"

using namespace popchan;
using popchan::testing::ScriptedDialogs;

namespace {

// A paint device that keeps the texts drawn on it, with where they went.
class TextRecorder : public QPaintDevice {
  public:
    struct Run {
        QPointF at; // left end of the base line
        qreal width;
        QString text;
        QFont font;
    };
    explicit TextRecorder(QSize size) : size_(size), engine_(runs) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    std::vector<Run> runs;

  protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

  private:
    class Engine : public QPaintEngine {
      public:
        explicit Engine(std::vector<Run>& runs) : QPaintEngine(AllFeatures), runs_(runs) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            const QPointF at = painter()->transform().map(p);
            runs_.push_back({at, item.width(), item.text(), item.font()});
        }
        Type type() const override { return User; }

      private:
        std::vector<Run>& runs_;
    };
    QSize size_;
    mutable Engine engine_;
};

// The captions of the menu tree, as stored, and the submenus with their
// entries, from the one table of the menu bar.
const std::map<std::string, std::string> kCaptions = popchan::testing::entry_captions();
const std::map<std::string, std::vector<std::string>> kMenus = popchan::testing::submenus();

// What a caption shows: every "&" marks the next character as an access key
// and is not drawn itself.
std::string shown(const QString& caption) {
    QString s = caption;
    return s.remove('&').toStdString();
}

// The text drawn on the top line inside `area`, joined from left to right. (A
// disabled item may be drawn twice, its etching one pixel lower.)
struct Drawn {
    std::string text;
    qreal left = 1e9, right = -1e9;
};
Drawn drawn_in(const std::vector<TextRecorder::Run>& runs, const QRect& area) {
    qreal top = 1e9;
    for (const auto& r : runs)
        if (area.contains(r.at.toPoint())) top = std::min(top, r.at.y());
    std::vector<TextRecorder::Run> inside;
    for (const auto& r : runs)
        if (area.contains(r.at.toPoint()) && r.at.y() == top) inside.push_back(r);
    std::sort(inside.begin(), inside.end(),
              [](const auto& a, const auto& b) { return a.at.x() < b.at.x(); });
    Drawn d;
    for (const auto& r : inside) {
        d.text += r.text.toStdString();
        d.left = std::min(d.left, r.at.x());
        d.right = std::max(d.right, r.at.x() + r.width);
    }
    return d;
}

struct Window {
    ScriptedDialogs dialogs;
    FormDigi window{&dialogs};
    Window() { window.show(); }
};

} // namespace

TEST(MenuCaptions, EveryItemCarriesItsCaption) {
    Window w;
    for (const auto& [name, caption] : kCaptions)
        EXPECT_EQ(w.window.menu(name)->text(), QString::fromStdString(caption)) << name;
    std::vector<std::string> titles;
    for (QAction* a : w.window.menuBar()->actions())
        titles.push_back(a->text().toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"実行(&G&ｷ)", "ｵﾌﾟｼｮﾝ(&O&ﾗ)", "ﾍﾙﾌﾟ(&H&ｸ)"}));
}

TEST(MenuCaptions, EveryMenuShowsItsCaptionsWhole) {
    Window w;
    int menus = 0;
    std::vector<QMenu*> open;
    for (QAction* a : w.window.menuBar()->actions())
        open.push_back(a->menu());
    while (!open.empty()) {
        QMenu* menu = open.back();
        open.pop_back();
        for (QAction* a : menu->actions())
            if (a->menu()) open.push_back(a->menu());
        const std::string title = menu->title().toStdString();
        ASSERT_TRUE(kMenus.count(title)) << title;
        menu->popup(QPoint(0, 0));
        QApplication::processEvents();
        TextRecorder page(menu->size());
        menu->render(&page);
        std::vector<std::string> items;
        const QFontMetricsF fm(menu->font());
        const std::vector<std::string>& captions = kMenus.at(title);
        for (QAction* a : menu->actions()) {
            items.push_back(a->isSeparator() ? "-" : a->text().toStdString());
            if (a->isSeparator() || items.size() > captions.size()) continue;
            const QString caption = QString::fromStdString(captions[items.size() - 1]);
            const QRect item = menu->actionGeometry(a);
            const Drawn d = drawn_in(page.runs, item);
            // Drawn whole: not elided, not cut at the item's right edge; a
            // shortcut (its keys checked where the item is) to its right.
            EXPECT_EQ(d.text, shown(caption) +
                                  a->shortcut().toString(QKeySequence::NativeText).toStdString())
                << title << " / " << caption.toStdString();
            EXPECT_LE(d.right, item.right() + 1) << caption.toStdString();
            EXPECT_GE(d.left, item.left()) << caption.toStdString();
            // The item has room for the whole shown text besides its margins.
            EXPECT_GE(item.width(), fm.horizontalAdvance(QString::fromStdString(shown(caption))) +
                                        (d.left - item.left()))
                << caption.toStdString();
        }
        EXPECT_EQ(items, captions) << title;
        menu->hide();
        ++menus;
    }
    EXPECT_EQ(menus, 8);
}

TEST(MenuCaptions, TheMenuBarShowsItsTitlesWhole) {
    Window w;
    QMenuBar* bar = w.window.menuBar();
    TextRecorder page(bar->size());
    bar->render(&page);
    for (QAction* a : bar->actions()) {
        const QRect item = bar->actionGeometry(a);
        const Drawn d = drawn_in(page.runs, item);
        EXPECT_EQ(d.text, shown(a->text()));
        EXPECT_LE(d.right, item.right() + 1) << a->text().toStdString();
    }
}
