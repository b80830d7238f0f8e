// The windows as their layout tables draw them: every control of the main
// window in its place, with its font and its text; the five display-screen
// sizes; the two text windows with their texts; every window and message
// box centred on the screen.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/formdigi.h"
#include "core/fakes.h"
#include "gui/program.h"
#include "shell/zenteif.h"

using namespace popchan;
using popchan::testing::ScriptedDialogs;
using popchan::testing::text_of;

namespace {

struct Place {
    const char* name;
    const char* in; // the container; "" for the window's client area
    int left, top, width, height;
    int font; // nominal size, 0 for none
};

// Controls of the main window: position inside their container, size, font.
const Place kMainWindow[] = {
    {"PictureDigi", "", 8, 8, 137, 177, 0},
    {"PictureWaku", "PictureDigi", 10, 6, 115, 96, 0},
    {"LabelReach", "PictureDigi", 10, 108, 115, 17, 8},
    {"ListReach", "PictureDigi", 10, 120, 115, 48, 8},
    {"picrireki", "", 152, 8, 163, 177, 0},
    {"picjikan_0", "picrireki", 8, 8, 147, 17, 0},
    {"jikan_0", "picjikan_0", 0, 0, 41, 15, 8},
    {"jikan_1", "picjikan_0", 80, 0, 17, 15, 8},
    {"jikan_2", "picjikan_0", 104, 0, 17, 15, 8},
    {"jikanmei_0", "picjikan_0", 48, 0, 25, 17, 8},
    {"jikanmei_2", "picjikan_0", 96, 0, 25, 17, 8},
    {"rirekimei", "picrireki", 8, 32, 143, 17, 8},
    {"rireki", "picrireki", 8, 45, 143, 125, 8},
    {"pictennai", "", 320, 8, 137, 177, 0},
    {"Label2", "pictennai", 0, 8, 89, 17, 8},
    {"PicTimeService", "pictennai", 5, 27, 125, 17, 0},
    {"Label4", "PicTimeService", 8, 0, 97, 25, 9},
    {"Pichakokisei", "pictennai", 40, 48, 89, 73, 0},
    {"Label3", "Pichakokisei", 0, 0, 81, 73, 10},
    {"Labelhakokiseisu", "Pichakokisei", 59, 26, 25, 17, 10},
    {"picdorubako_0", "pictennai", 0, 24, 33, 153, 0},
    {"picdorubako_1", "pictennai", 32, 24, 33, 153, 0},
    {"picdorubako_2", "pictennai", 64, 24, 33, 153, 0},
    {"picdorubako_3", "pictennai", 96, 24, 33, 153, 0},
    {"fuda_0", "pictennai", 88, 0, 32, 32, 0},
    {"fuda_1", "pictennai", 88, 0, 32, 32, 0},
    {"piczentei", "", 463, 8, 160, 178, 0},
    {"Picture3", "piczentei", 8, 8, 142, 161, 0},
    {"zenteimei_9", "Picture3", 0, 0, 140, 16, 8},
    {"zentei_8", "Picture3", 32, 144, 101, 16, 8},
    {"pichyouji", "", 464, 192, 161, 225, 0},
    {"Picture4", "pichyouji", 8, 8, 142, 201, 0},
    {"hyoujimei_13", "Picture4", 0, 0, 142, 15, 8},
    {"picgraph_0", "", 8, 193, 448, 226, 0},
    {"picgraph_1", "picgraph_0", 80, 8, 353, 209, 0},
    {"graphmei_1", "picgraph_0", 8, 8, 49, 17, 10},
    {"graphmei_0", "picgraph_0", 8, 104, 49, 17, 10},
    {"graphmei_2", "picgraph_0", 8, 200, 49, 17, 10},
};

const char* const kPremiseNames[9] = {"大当り確率(1/?)", "大当り出玉",      "確変率(1/?)",
                                      "最高継続回数",    "回転率(回/千円)", "換金率(¥/個)",
                                      "プレイ時間(h)",   "ｷﾞﾌﾞｱｯﾌﾟ金額(¥)", "営業"};
const char* const kFigureNames[11] = {"回転数(通常)", "当り数", "初当り数",   "はまり数",
                                      "最大はまり",   "連荘数", "最大連荘数", "持ち玉数",
                                      "換金額",       "支出額", "収支"};

// Where a control stands inside its container's inside (within any border).
QRect placed(const QWidget* control) {
    const QWidget* parent = control->parentWidget();
    return control->geometry().translated(-parent->contentsRect().topLeft());
}

void expect_place(const QWidget* root, const Place& p) {
    SCOPED_TRACE(p.name);
    const auto* control = root->findChild<QWidget*>(p.name);
    ASSERT_NE(control, nullptr);
    if (*p.in) {
        ASSERT_NE(control->parentWidget(), nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), p.in);
    }
    EXPECT_EQ(placed(control), QRect(p.left, p.top, p.width, p.height));
    if (p.font) {
        EXPECT_EQ(control->font().pointSize(), p.font);
    }
}

} // namespace

TEST(MainWindowLayout, EveryControlInItsPlaceWithItsFont) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.show();
    EXPECT_EQ(w.client()->size(), QSize(632, 430));
    for (const Place& p : kMainWindow)
        expect_place(&w, p);
    for (int i = 0; i < 9; ++i) {
        const std::string name = "zenteimei_" + std::to_string(i);
        expect_place(&w, {name.c_str(), "Picture3", 0, 16 * i + 16, 81, 16, 8});
    }
    for (int i = 0; i < 8; ++i) {
        const std::string name = "zentei_" + std::to_string(i);
        expect_place(&w, {name.c_str(), "Picture3", 80, 16 * i + 16, 53, 16, 8});
    }
    for (int i = 0; i < 11; ++i) {
        const std::string names = "hyoujimei_" + std::to_string(i);
        const std::string values = "hyouji_" + std::to_string(i);
        expect_place(&w, {names.c_str(), "Picture4", 0, 16 * i + 16, 65, 17, 8});
        expect_place(&w, {values.c_str(), "Picture4", 64, 16 * i + 16, 70, 17, 8});
    }
    // The dollar boxes stack upwards, ten to a column.
    for (int i = 0; i < 4; ++i) {
        for (int k = 1; k <= 10; ++k) {
            const std::string name = "imgdorubako_" + std::to_string(10 * i + k);
            const std::string column = "picdorubako_" + std::to_string(i);
            expect_place(&w, {name.c_str(), column.c_str(), 0, 120 - 12 * (k - 1), 32, 32, 0});
        }
    }
}

TEST(MainWindowLayout, CaptionsAndNames) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    EXPECT_EQ(w.windowTitle(), "ＣＲぽぷちゃんシミュレーション");
    const std::pair<const char*, const char*> texts[] = {
        {"LabelReach", "種類 … 当り / ﾘｰﾁ"},
        {"jikanmei_0", "日目"},
        {"jikanmei_2", "："},
        {"rirekimei", "  NO.  時間   回転   絵柄"},
        {"Label2", "（持ち玉状況等）"},
        {"Label4", "ﾗｯｷｰﾀｲﾑｻｰﾋﾞｽ中"},
        {"Label3", "組合の申し合せによりドル箱積上げは、　　までとなっています。"},
        {"Labelhakokiseisu", "５箱"},
        {"zenteimei_9", "（前　　提）"},
        {"hyoujimei_13", "（当日成績）"},
        {"graphmei_1", "+10万円"},
        {"graphmei_0", "収支"},
        {"graphmei_2", "-10万円"},
    };
    for (const auto& [name, text] : texts)
        EXPECT_EQ(text_of(w, name), text) << name;
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(text_of(w, QString("zenteimei_%1").arg(i)), kPremiseNames[i]) << i;
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(text_of(w, QString("hyoujimei_%1").arg(i)), kFigureNames[i]) << i;
}

TEST(MainWindowLayout, TheFiveDisplayScreensAndBackToStandard) {
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.show();
    const QSize sizes[5] = {{632, 430}, {152, 192}, {320, 192}, {462, 192}, {462, 430}};
    for (int i : {1, 2, 3, 4, 0}) {
        w.menu("g2_" + std::to_string(i))->trigger();
        QApplication::processEvents();
        EXPECT_EQ(w.client()->size(), sizes[i]) << i;
        // No panel moves: the standard grid is cropped.
        EXPECT_EQ(placed(w.findChild<QWidget*>("pichyouji")), QRect(464, 192, 161, 225)) << i;
    }
}

namespace {

struct TextWindowLayout {
    const char* item;
    const char* caption;
    QSize client;
    QRect frame, text, button;
    QPoint image;
    const char* button_caption;
    int text_font, button_font;
};

QStringList lines_of(const QPlainTextEdit* text) {
    return text->toPlainText().split('\n');
}

} // namespace

TEST(TextWindows, LayoutCaptionsAndButtons) {
    const TextWindowLayout windows[] = {
        {"d4",
         "ＣＲぽぷちゃんについて",
         {523, 346},
         {24, 24, 473, 297},
         {0, 0, 473, 233},
         {376, 248, 73, 33},
         {16, 248},
         "ＯＫ！",
         10,
         12},
        {"d3",
         "ＣＲぽぷちゃんシミュレーションの使い方",
         {570, 388},
         {16, 16, 530, 353},
         {0, 0, 537, 290},
         {430, 296, 65, 33},
         {32, 296},
         "OK!",
         10,
         14},
    };
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    for (const TextWindowLayout& l : windows) {
        SCOPED_TRACE(l.item);
        w.menu(l.item)->trigger();
        QApplication::processEvents();
        InfoWindow* win = std::string(l.item) == "d4" ? w.setumeif() : w.siyouf();
        ASSERT_NE(win, nullptr);
        EXPECT_EQ(win->windowTitle(), l.caption);
        EXPECT_EQ(win->size(), l.client);
        const auto* frame = win->findChild<QWidget*>("Picture1");
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(placed(frame), l.frame);
        EXPECT_EQ(placed(win->text()).size(), l.text.size());
        EXPECT_EQ(placed(win->text()).topLeft(), l.text.topLeft());
        EXPECT_EQ(win->text()->font().pointSize(), l.text_font);
        EXPECT_EQ(placed(win->findChild<QWidget*>("Image1")).topLeft(), l.image);
        auto* ok = win->findChild<QPushButton*>("okbutton");
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(placed(ok), l.button);
        EXPECT_EQ(ok->text(), l.button_caption);
        EXPECT_EQ(ok->font().pointSize(), l.button_font);
        EXPECT_TRUE(win->text()->isReadOnly());
        ok->click();
        QApplication::processEvents();
    }
    EXPECT_EQ(w.setumeif(), nullptr);
    EXPECT_EQ(w.siyouf(), nullptr);
}

TEST(TextWindows, TheHowToTextLineByLine) {
    const char* const lines[] = {
        "１．メニュー構成",
        "　実行(G)　ﾀｲﾌﾟ(T)､前提(Z)､ｽﾀｰﾄ(S)､ﾘｾｯﾄ(R)､終了(Q)",
        "　表示(H)　ﾃﾞｼﾞﾀﾙ(D)…表示(O)､非表示(C)､ﾘｰﾁ以外(R)",
        "　　　　　 表示画面(G)",
        "　　　　　 　　…標準(S)､ﾃﾞｼﾞﾀﾙのみ(D)、〃+履歴(R)､〃+状況(J)､〃+ｸﾞﾗﾌ(G)",
        "　　　　　 常に前面に表示(A)",
        "　ｻｳﾝﾄﾞ(S) あり(O)､なし(C)",
        "　ﾍﾙﾌﾟ(H)  ﾍﾙﾌﾟ(H) ､使い方(T)､CRぽぷちゃんについて(P)､作者ｿﾌﾄ紹介(E)、",
        "　　　　　 ﾊﾞｰｼﾞｮﾝ情報(A)",
        "２．実行方法",
        "　前提入力後、スタートでシミュレーションが開始されます。",
        "　デジタル画面下のグラフは一日の収支状況を現します。",
        "　最初からやり直す場合は実行メニューのリセットをクリックします。",
        "　終了する場合は実行メニューの終了をクリックします。",
        "３．デジタル表示",
        "　デジタル表示を非表示にすると、選択した場合以外のデジタル表示が停止します。",
        "　リーチ以外及び大当たり以外非表示の２通りが選択出来ます。",
        "　標準は表示になっています。",
        "４．サウンド",
        "　サウンドの有無を選択出来ます。",
        "　標準はありになっています。",
        "", // the last line ends with a line break
    };
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.menu("d3")->trigger();
    ASSERT_NE(w.siyouf(), nullptr);
    const QStringList shown = lines_of(w.siyouf()->text());
    ASSERT_EQ(shown.size(), int(std::size(lines)));
    for (int i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i].toStdString(), lines[i]) << "line " << i + 1;
}

TEST(TextWindows, TheAboutTextBeginsWithTheMachine) {
    const char* const lines[] = {
        "■ＣＲぽぷちゃんについて",
        "　ぽぷちゃんキャラクターを使った架空のＣＲデジパチ",
        "■基本仕様",
        "　大当たり確率…通常　３１０分の１、確変　６２分の１",
        "　賞球数…………６＆１５",
        "　大当り出玉……２，１００個",
        "　確変突入率……１４分の７（３、５、７、１０～１３絵柄で突入）",
        "　確変継続回数…１回継続タイプ（ノンリミッター）",
    };
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.menu("d4")->trigger();
    ASSERT_NE(w.setumeif(), nullptr);
    const QStringList shown = lines_of(w.setumeif()->text());
    ASSERT_GT(shown.size(), int(std::size(lines)));
    for (int i = 0; i < int(std::size(lines)); ++i)
        EXPECT_EQ(shown[i].toStdString(), lines[i]) << "line " << i + 1;
    // Then the credits and a rights notice.
    EXPECT_TRUE(w.setumeif()->text()->toPlainText().contains("著作"));
}

namespace {

// The shown window of the program with this caption.
QWidget* window_titled(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title) return w;
    return nullptr;
}

// Left = (screen width − window width) / 2, top likewise, with the outer frame.
void expect_centred(const QWidget* w) {
    const QRect screen = w->screen()->geometry();
    const QRect frame = w->frameGeometry();
    EXPECT_EQ(frame.left(), screen.left() + (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.top(), screen.top() + (screen.height() - frame.height()) / 2);
}

} // namespace

TEST(Placement, EveryWindowOpensCentredOnTheScreen) {
    const std::pair<const char*, const char*> windows[] = {
        {"a2", "前提入力"},
        {"d3", "ＣＲぽぷちゃんシミュレーションの使い方"},
        {"d4", "ＣＲぽぷちゃんについて"},
        {"d7", "作者ｿﾌﾄ紹介"},
        {"d2", "ＣＲぽぷちゃんシミュレーション ヘルプ"},
    };
    ScriptedDialogs dialogs;
    FormDigi w(&dialogs);
    w.show();
    QApplication::processEvents();
    expect_centred(&w);
    for (const auto& [item, title] : windows) {
        SCOPED_TRACE(title);
        w.menu(item)->trigger();
        QApplication::processEvents();
        const QWidget* shown = window_titled(title);
        ASSERT_NE(shown, nullptr);
        expect_centred(shown);
    }
}

TEST(Placement, MessageBoxesStandCentredOnTheScreenWhereverTheirWindowIs) {
    popchan::testing::RecordingMedia media;
    FormDigi w(nullptr, &media); // real boxes
    w.show();
    // Checks each box that opens where it stands, then closes it.
    std::vector<std::string> seen;
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            SCOPED_TRACE(box->text().toStdString());
            seen.push_back(box->windowTitle().toStdString());
            expect_centred(box);
            box->done(QMessageBox::Ok);
        }
    });
    watcher.start();
    // The version box over the main window, standard and cut down to the
    // display only (its corner stays, so the window is off the centre).
    for (const char* layout : {"g2_0", "g2_1"}) {
        SCOPED_TRACE(layout);
        w.menu(layout)->trigger();
        seen.clear();
        w.menu("d6")->trigger();
        EXPECT_EQ(seen, std::vector<std::string>{"ＣＲぽぷちゃんシミュレーション Ver2.10"});
    }
    // An input error over the premises dialog.
    w.menu("a2")->trigger();
    w.zenteif()->combo(kRowKaiten)->setEditText("0");
    seen.clear();
    w.zenteif()->findChild<QPushButton*>("okbutton")->click();
    EXPECT_EQ(seen, std::vector<std::string>{"入力エラー"});
}
