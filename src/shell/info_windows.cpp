#include "shell/info_windows.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "common/dialogs.h"
#include "widgets/keys.h"
#include "widgets/layout.h"

namespace popchan {

const char* const kSetumeiText =
    "■ＣＲぽぷちゃんについて\n"
    "　ぽぷちゃんキャラクターを使った架空のＣＲデジパチ\n"
    "■基本仕様\n"
    "　大当たり確率…通常　３１０分の１、確変　６２分の１\n"
    "　賞球数…………６＆１５\n"
    "　大当り出玉……２，１００個\n"
    "　確変突入率……１４分の７（３、５、７、１０～１３絵柄で突入）\n"
    "　確変継続回数…１回継続タイプ（ノンリミッター）\n"
    "■クレジット\n"
    "　プログラム……ＣＲぽぷちゃんシミュレーション プロジェクト\n"
    "　グラフィック…同プロジェクトの画像生成ツールで作成\n"
    "　音楽…………同プロジェクトのＭＩＤＩ生成ツールで作成\n"
    "■権利表示\n"
    "　このプログラムと画像・音楽は、ＣＲぽぷちゃんシミュレーション\n"
    "　プロジェクトの著作物です。実在の機種・メーカーとは関係ありません。";

const char* const kSiyouText =
    "１．メニュー構成\n"
    "　実行(G)　ﾀｲﾌﾟ(T)､前提(Z)､ｽﾀｰﾄ(S)､ﾘｾｯﾄ(R)､終了(Q)\n"
    "　表示(H)　ﾃﾞｼﾞﾀﾙ(D)…表示(O)､非表示(C)､ﾘｰﾁ以外(R)\n"
    "　　　　　 表示画面(G)\n"
    "　　　　　 　　…標準(S)､ﾃﾞｼﾞﾀﾙのみ(D)、〃+履歴(R)､〃+状況(J)､〃+ｸﾞﾗﾌ(G)\n"
    "　　　　　 常に前面に表示(A)\n"
    "　ｻｳﾝﾄﾞ(S) あり(O)､なし(C)\n"
    "　ﾍﾙﾌﾟ(H)  ﾍﾙﾌﾟ(H) ､使い方(T)､CRぽぷちゃんについて(P)､作者ｿﾌﾄ紹介(E)、\n"
    "　　　　　 ﾊﾞｰｼﾞｮﾝ情報(A)\n"
    "２．実行方法\n"
    "　前提入力後、スタートでシミュレーションが開始されます。\n"
    "　デジタル画面下のグラフは一日の収支状況を現します。\n"
    "　最初からやり直す場合は実行メニューのリセットをクリックします。\n"
    "　終了する場合は実行メニューの終了をクリックします。\n"
    "３．デジタル表示\n"
    "　デジタル表示を非表示にすると、選択した場合以外のデジタル表示が停止します。\n"
    "　リーチ以外及び大当たり以外非表示の２通りが選択出来ます。\n"
    "　標準は表示になっています。\n"
    "４．サウンド\n"
    "　サウンドの有無を選択出来ます。\n"
    "　標準はありになっています。\n";

namespace {

// The window's layout: client size, frame, text, picture and button.
struct InfoLayout {
    const char* name;
    const char* caption;
    int width, height;
    int frame[4], text[4], image[2], button[4];
    int button_font;
    const char* button_caption;
};

constexpr InfoLayout kSetumei = {
    "setumeif", "ＣＲぽぷちゃんについて", 523, 346,     {24, 24, 473, 297}, {0, 0, 473, 233},
    {16, 248},  {376, 248, 73, 33},       12,  "ＯＫ！"};
constexpr InfoLayout kSiyou = {"siyouf",
                               "ＣＲぽぷちゃんシミュレーションの使い方",
                               570,
                               388,
                               {16, 16, 530, 353},
                               {0, 0, 537, 290},
                               {32, 296},
                               {430, 296, 65, 33},
                               14,
                               "OK!"};

QPushButton* ok_button(QWidget* parent, const char* caption, int font, const int (&r)[4]) {
    auto* ok = new QPushButton(caption, parent);
    ok->setObjectName("okbutton");
    Place_Text(ok, font, r[2], r[3], r[0], r[1]);
    return ok;
}

} // namespace

InfoWindow::InfoWindow(Kind kind, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    const InfoLayout& l = kind == Kind::Setumeif ? kSetumei : kSiyou;
    setObjectName(l.name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(l.caption);
    auto* picture1 = new PictureBox(this, true);
    picture1->setObjectName("Picture1");
    Place_Picture(picture1, l.frame[2], l.frame[3], l.frame[0], l.frame[1]);
    text_ = new QPlainTextEdit(picture1);
    text_->setObjectName("TextInformation");
    text_->setReadOnly(true);
    text_->setFont(QFont("ＭＳ 明朝"));
    text_->setPlainText(kind == Kind::Setumeif ? kSetumeiText : kSiyouText);
    Place_Text(text_, 10, l.text[2], l.text[3], l.text[0], l.text[1]);
    auto* image1 = new PixelPicture(":/pictures/icon.png", picture1, QSize(32, 32));
    image1->setObjectName("Image1");
    Place_Picture(image1, 32, 32, l.image[0], l.image[1]);
    connect(ok_button(picture1, l.button_caption, l.button_font, l.button), &QPushButton::clicked,
            this, &QWidget::close);
    close_on_escape(this);
    apply_window_rule(this, this, l.width, l.height);
}

Salesf::Salesf(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName("salesf");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("作者ｿﾌﾄ紹介");
    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel("<h3>popchan-batch</h3>"
                   "<p>ＣＲぽぷちゃんの台とホールの一日を、画面なしで何千日分も一気に"
                   "シミュレーションするコマンドラインツールです。</p>"
                   "<p>このプログラムと同じ抽選と収支計算で、前提条件ごとに"
                   "「勝てる日はどのくらいあるか」「一日の収支はどのくらいばらつくか」を"
                   "集計します。</p>"
                   "<p><code>popchan-batch --days 10000 --seed 1 --plot plot.svg</code></p>"
                   "<p>収支の平均・標準偏差・分位点、勝率、時給、リーチ別の信頼度を表示し、"
                   "CSV や JSON、グラフ (SVG) にも出力できます。"
                   "<code>popchan-batch --help</code> で使い方を表示します。</p>",
                   this);
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    layout->addWidget(text);
    auto* ok = new QPushButton("ＯＫ！", this);
    ok->setObjectName("okbutton");
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(ok, 0, Qt::AlignRight);
    close_on_escape(this);
    apply_window_rule(this, this, 420, 300);
}

HelpViewer::HelpViewer(const std::string& file, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("help");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("ＣＲぽぷちゃんシミュレーション ヘルプ");
    auto* layout = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);
    QFile help(QString::fromStdString(file));
    if (help.open(QIODevice::ReadOnly)) {
        browser_->setHtml(QString::fromUtf8(help.readAll()));
    } else {
        browser_->setPlainText(
            QString("ヘルプファイル %1 が見つかりません。プログラムと同じフォルダーに "
                    "%2 を置いてください。")
                .arg(QString::fromStdString(file), kHelpFile));
    }
    close_on_escape(this, QKeySequence(Qt::CTRL | Qt::Key_W));
    // Its size may change, unlike the other windows', but it opens centred as they do.
    resize(640, 560);
    centre_window(this);
}

void Show_Version(Dialogs& dialogs) {
    const std::string text =
        std::string("This simulation was written in C++ with Qt for Linux desktops.\n\n\n") +
        kVersionTitle + "  was produced by the CR Popchan Simulation project.\n\n" +
        "Copyright (C) 2000 CR Popchan Simulation project. All rights reserved.\n";
    dialogs.message(text, kVersionTitle, MessageIcon::Information);
}

} // namespace popchan
