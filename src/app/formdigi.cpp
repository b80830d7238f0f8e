#include "app/formdigi.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QTimer>

#include "app/application.h"
#include "app/clock_pump.h"
#include "app/pictures.h"
#include "app/surface_view.h"
#include "parlour/accounting.h"
#include "widgets/layout.h"
#include "widgets/qt_dialogs.h"

namespace popchan {

namespace {

constexpr auto kFaceGrey = QColor(0xC0, 0xC0, 0xC0);

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

const char* const kZenteimei[9] = {"大当り確率(1/?)", "大当り出玉",      "確変率(1/?)",
                                   "最高継続回数",    "回転率(回/千円)", "換金率(¥/個)",
                                   "プレイ時間(h)",   "ｷﾞﾌﾞｱｯﾌﾟ金額(¥)", "営業"};
const char* const kHyoujimei[11] = {"回転数(通常)", "当り数", "初当り数",   "はまり数",
                                    "最大はまり",   "連荘数", "最大連荘数", "持ち玉数",
                                    "換金額",       "支出額", "収支"};

// The widest lines the hit list may hold: a two-digit jackpot number in the
// evening after a four-digit run of spins, with each symbol.
QStringList widest_rireki_lines() {
    QStringList lines;
    for (Int16 egara = 0; egara <= 13; ++egara) {
        std::string line;
        for (const std::string& column : rireki_columns(99, 14, 59, 9999, egara))
            line += column;
        lines << q(line);
    }
    return lines;
}

void set_list(QListWidget* list, const std::vector<std::string>& lines) {
    if (list->count() > int(lines.size())) list->clear();
    for (int i = 0; i < int(lines.size()); ++i) {
        if (i < list->count()) {
            if (list->item(i)->text() != q(lines[i])) list->item(i)->setText(q(lines[i]));
        } else {
            list->addItem(q(lines[i]));
        }
    }
}

} // namespace

FormDigi::FormDigi(Dialogs* dialogs, MediaDevice* media, std::unique_ptr<Random> rng) {
    if (!dialogs) {
        own_dialogs_ = std::make_unique<QtDialogs>(modal_, this);
        dialogs = own_dialogs_.get();
    }
    test_dialogs_ = own_dialogs_ ? nullptr : dialogs;
    current_first_ = std::make_unique<CurrentFiguresFirst>(*dialogs, [this] { refresh(); });
    dialogs_ = current_first_.get();
    model_ = std::make_unique<FormDigiModel>(*dialogs_, media, std::move(rng));
    pump_ = std::make_unique<ClockPump>(*model_, modal_, [this] { refresh(); });

    client_ = new QWidget(this);
    setCentralWidget(client_);
    build_panels();
    build_menus();
    apply_window_rule(this, client_, FormDigiModel::kWidth, FormDigiModel::kHeight);
    setWindowTitle(kCaption);

    model_->Form_Load(twips_per_px_x(), twips_per_px_y(), data_location());
    missing_pictures_ =
        load_pictures(model_->digi.pictures, model_->digi.PictureWaku, picture_location_);
    refresh();
    if (!missing_pictures_.empty()) {
        // Said once, when the window is up.
        QTimer::singleShot(0, this, [this] {
            dialogs_->message(missing_pictures_message(missing_pictures_), kAppTitle,
                              MessageIcon::Warning);
        });
    }
}

std::string FormDigi::picture_location_ = ":/pictures";

FormDigi::~FormDigi() = default;

QLabel* FormDigi::label(QWidget* parent, const char* name, const QString& text, int font, int w,
                        int h, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    Place_Text(l, font, w, h, x, y);
    return l;
}

void FormDigi::build_panels() {
    auto* digi = new PictureBox(client_, true, kFaceGrey);
    digi->setObjectName("PictureDigi");
    Place_Picture(digi, 137, 177, 8, 8);
    waku_ = new SurfaceView([this]() -> const Surface& { return model_->digi.PictureWaku; }, digi);
    waku_->setObjectName("PictureWaku");
    Place_Picture(waku_, 115, 96, 10, 6);
    label(digi, "LabelReach", "種類 … 当り / ﾘｰﾁ", 8, 115, 17, 10, 108);
    list_reach_ = new QListWidget(digi);
    list_reach_->setObjectName("ListReach");
    Place_Text(list_reach_, 8, 115, 48, 10, 120);
    list_reach_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_reach_->setTextElideMode(Qt::ElideNone);

    auto* picrireki = new PictureBox(client_, true);
    picrireki->setObjectName("picrireki");
    Place_Picture(picrireki, 163, 177, 152, 8);
    auto* picjikan = new PictureBox(picrireki, false);
    picjikan->setObjectName("picjikan_0");
    Place_Picture(picjikan, 147, 17, 8, 8);
    label(picjikan, "jikanmei_0", "日目", 8, 25, 17, 48, 0);
    label(picjikan, "jikanmei_2", "：", 8, 25, 17, 96, 0);
    const int jikan_x[3] = {0, 80, 104}, jikan_w[3] = {41, 17, 17};
    for (int i = 0; i < 3; ++i) {
        jikan_[i] = label(picjikan, ("jikan_" + std::to_string(i)).c_str(), "", 8, jikan_w[i], 15,
                          jikan_x[i], 0);
        jikan_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    label(picrireki, "rirekimei", "  NO.  時間   回転   絵柄", 8, 143, 17, 8, 32);
    rireki_ = new QListWidget(picrireki);
    rireki_->setObjectName("rireki");
    Place_Text(rireki_, 8, 143, 125, 8, 45);
    rireki_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rireki_->setTextElideMode(Qt::ElideNone);
    fit_list(rireki_, widest_rireki_lines());

    auto* tennai = new PictureBox(client_, true);
    tennai->setObjectName("pictennai");
    Place_Picture(tennai, 137, 177, 320, 8);
    for (int i = 0; i < 4; ++i) {
        auto* column = new PictureBox(tennai, false);
        column->setObjectName(QString("picdorubako_%1").arg(i));
        Place_Picture(column, 33, 153, 32 * i, 24);
        for (int k = 1; k <= 10; ++k) {
            auto* box = new PixelPicture(":/pictures/dorubako.png", column);
            box->setObjectName(QString("imgdorubako_%1").arg(10 * i + k));
            Place_Picture(box, 32, 32, 0, 120 - 12 * (k - 1));
            dorubako_[10 * i + k - 1] = box;
        }
        // Boxes higher in a column are drawn over the lower ones.
        for (int k = 10; k >= 1; --k)
            dorubako_[10 * i + k - 1]->lower();
    }
    label(tennai, "Label2", "（持ち玉状況等）", 8, 89, 17, 0, 8);
    pictimeservice_ = new PictureBox(tennai, false);
    pictimeservice_->setObjectName("PicTimeService");
    Place_Picture(pictimeservice_, 125, 17, 5, 27);
    label(pictimeservice_, "Label4", "ﾗｯｷｰﾀｲﾑｻｰﾋﾞｽ中", 9, 97, 25, 8, 0);
    pichakokisei_ = new PictureBox(tennai, false);
    pichakokisei_->setObjectName("Pichakokisei");
    Place_Picture(pichakokisei_, 89, 73, 40, 48);
    // Wrapped onto its lines, so not fitted to one line as the other labels.
    auto* label3 =
        new QLabel("組合の申し合せによりドル箱積上げは、　　までとなっています。", pichakokisei_);
    label3->setObjectName("Label3");
    label3->setWordWrap(true);
    Place_Text(label3, 10, 81, 73, 0, 0);
    labelhakokiseisu_ = label(pichakokisei_, "Labelhakokiseisu", "５箱", 10, 25, 17, 59, 26);
    for (int i = 0; i < 2; ++i) {
        fuda_[i] = new PixelPicture(QString(":/pictures/fuda%1.png").arg(i), tennai);
        fuda_[i]->setObjectName(QString("fuda_%1").arg(i));
        Place_Picture(fuda_[i], 32, 32, 88, 0);
    }

    auto* piczentei = new PictureBox(client_, true);
    piczentei->setObjectName("piczentei");
    Place_Picture(piczentei, 160, 178, 463, 8);
    auto* picture3 = new PictureBox(piczentei, false);
    picture3->setObjectName("Picture3");
    Place_Picture(picture3, 142, 161, 8, 8);
    label(picture3, "zenteimei_9", "（前　　提）", 8, 140, 16, 0, 0);
    for (int i = 0; i < 9; ++i)
        label(picture3, ("zenteimei_" + std::to_string(i)).c_str(), kZenteimei[i], 8, 81, 16, 0,
              16 * i + 16);
    for (int i = 0; i < 9; ++i) {
        const bool form = i == 8;
        zentei_[i] = label(picture3, ("zentei_" + std::to_string(i)).c_str(), "", 8,
                           form ? 101 : 53, 16, form ? 32 : 80, form ? 144 : 16 * i + 16);
        zentei_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    auto* pichyouji = new PictureBox(client_, true);
    pichyouji->setObjectName("pichyouji");
    Place_Picture(pichyouji, 161, 225, 464, 192);
    auto* picture4 = new PictureBox(pichyouji, false);
    picture4->setObjectName("Picture4");
    Place_Picture(picture4, 142, 201, 8, 8);
    label(picture4, "hyoujimei_13", "（当日成績）", 8, 142, 15, 0, 0);
    for (int i = 0; i < 11; ++i) {
        label(picture4, ("hyoujimei_" + std::to_string(i)).c_str(), kHyoujimei[i], 8, 65, 17, 0,
              16 * i + 16);
        hyouji_[i] = label(picture4, ("hyouji_" + std::to_string(i)).c_str(), "", 8, 70, 17, 64,
                           16 * i + 16);
        hyouji_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    auto* graph_frame = new PictureBox(client_, true);
    graph_frame->setObjectName("picgraph_0");
    Place_Picture(graph_frame, 448, 226, 8, 193);
    graph_ = new SurfaceView([this]() -> const Surface& { return model_->graph.surface(); },
                             graph_frame);
    graph_->setObjectName("picgraph_1");
    Place_Picture(graph_, 353, 209, 80, 8);
    label(graph_frame, "graphmei_1", "+10万円", 10, 49, 17, 8, 8);
    label(graph_frame, "graphmei_0", "収支", 10, 49, 17, 8, 104);
    label(graph_frame, "graphmei_2", "-10万円", 10, 49, 17, 8, 200);
}

void FormDigi::build_menus() {
    auto add = [this](QMenu* menu, const char* name, const char* caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        menus_[name] = a;
        return a;
    };
    QMenu* a1 = menuBar()->addMenu("実行(&G&ｷ)");
    a1->setObjectName("a1");
    connect(add(a1, "a2", "前提(&Z&ﾂ)"), &QAction::triggered, this, [this] { a2_Click(); });
    connect(add(a1, "a3", "ｽﾀｰﾄ(&S&ﾄ)"), &QAction::triggered, this,
            [this] { run(&FormDigiModel::a3_Click); });
    connect(add(a1, "a4", "ﾘｾｯﾄ(&R&ｽ)"), &QAction::triggered, this,
            [this] { run(&FormDigiModel::a4_Click); });
    a1->addSeparator();
    connect(add(a1, "a5", "終了(&Q&ﾀ)"), &QAction::triggered, this, [this] { a5_Click(); });

    QMenu* b = menuBar()->addMenu("ｵﾌﾟｼｮﾝ(&O&ﾗ)");
    QMenu* b1 = b->addMenu("ﾃﾞｼﾞﾀﾙ(&D&ｼ)");
    connect(add(b1, "b2", "表示(&O&ﾗ)"), &QAction::triggered, this,
            [this] { run(&FormDigiModel::b2_Click); });
    QMenu* b3 = b1->addMenu("非表示(&C&ｿ)");
    menus_["b3"] = b3->menuAction();
    for (int i : {1, 2}) {
        const char* caption = i == 1 ? "ﾘｰﾁ以外(&R&ｽ)" : "当り以外(&H&ｸ)";
        connect(add(b3, ("b4_" + std::to_string(i)).c_str(), caption), &QAction::triggered, this,
                [this, i] {
                    model_->b4_Click(i);
                    refresh();
                });
    }
    QMenu* g1 = b->addMenu("表示画面(&M&ﾓ)");
    const char* const layouts[5] = {"標準(&S&ﾄ)", "ﾃﾞｼﾞﾀﾙのみ(&D&ｼ)", " 〃 + 履歴(&R&ｽ)",
                                    " 〃 + 状況(&J&ﾏ)", " 〃 + ｸﾞﾗﾌ(&G&ｷ)"};
    for (int i = 0; i < 5; ++i)
        connect(add(g1, ("g2_" + std::to_string(i)).c_str(), layouts[i]), &QAction::triggered, this,
                [this, i] { g2_Click(i); });
    QAction* g3 = add(b, "g3", "常に前面表示(&A&ﾁ)");
    g3->setCheckable(true);
    connect(g3, &QAction::triggered, this, [this] { g3_Click(); });
    QMenu* f1 = b->addMenu("ｻｳﾝﾄﾞ(&S&ﾄ)");
    connect(add(f1, "f2", "あり(&O&ﾗ)"), &QAction::triggered, this,
            [this] { run(&FormDigiModel::f2_Click); });
    connect(add(f1, "f3", "なし(&C&ｿ)"), &QAction::triggered, this,
            [this] { run(&FormDigiModel::f3_Click); });
    QMenu* h1 = b->addMenu("速度(&P&ｿ)");
    auto* speeds = new QActionGroup(h1);
    const char* const paces[4] = {"等速(&1&ﾄ)", "２倍速(&2&ﾆ)", "５倍速(&5&ｺ)", "１０倍速(&0&ｼ)"};
    for (int i = 0; i < 4; ++i) {
        QAction* h2 = add(h1, ("h2_" + std::to_string(i)).c_str(), paces[i]);
        h2->setCheckable(true);
        h2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
        speeds->addAction(h2);
        connect(h2, &QAction::triggered, this, [this, i] {
            model_->h2_Click(i);
            refresh();
        });
    }

    QMenu* d1 = menuBar()->addMenu("ﾍﾙﾌﾟ(&H&ｸ)");
    connect(add(d1, "d2", "ﾍﾙﾌﾟ(&H&ｸ)"), &QAction::triggered, this, [this] { d2_Click(); });
    connect(add(d1, "d3", "使い方(&T&ｶ)"), &QAction::triggered, this, [this] {
        show_on_top(siyouf_, [this] { return new InfoWindow(InfoWindow::Kind::Siyouf, this); });
    });
    connect(add(d1, "d4", "ＣＲぽぷちゃんについて(&P&ｾ)"), &QAction::triggered, this, [this] {
        show_on_top(setumeif_, [this] { return new InfoWindow(InfoWindow::Kind::Setumeif, this); });
    });
    d1->addSeparator();
    connect(add(d1, "d7", "作者ｿﾌﾄ紹介(&E&ｲ)"), &QAction::triggered, this,
            [this] { show_on_top(salesf_, [this] { return new Salesf(this); }); });
    d1->addSeparator();
    connect(add(d1, "d6", "ﾊﾞｰｼﾞｮﾝ情報(&A&ﾁ)"), &QAction::triggered, this,
            [this] { Show_Version(*dialogs_); });
}

void FormDigi::run(void (FormDigiModel::*handler)()) {
    (model_.get()->*handler)();
    refresh();
}

void FormDigi::a2_Click() {
    show_on_top(zenteif_,
                [this] { return new Zenteif(model_->premises, test_dialogs_, modal_, this); });
    model_->a2_Click();
    refresh();
}

void FormDigi::g2_Click(int index) {
    // Only the client area changes; the top-left corner stays where it is.
    const QPoint corner = pos();
    apply_client_size(this, client_, kLayouts.at(index).width(), kLayouts.at(index).height());
    move(corner);
}

void FormDigi::g3_Click() {
    const bool on = menus_.at("g3")->isChecked();
    model_->screen.menus.g3_checked = on;
    const QPoint corner = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    move(corner);
    show();           // changing the flag hides the window
    if (!on) lower(); // behind the other windows at once
}

void FormDigi::d2_Click() {
    // The help viewer is an ordinary window, not kept on top.
    if (!help_) help_ = new HelpViewer(model_->bgm.app_path() + "/" + kHelpFile, this);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void FormDigi::a5_Click() {
    const bool unload = model_->a5_Click();
    refresh();
    if (unload) close();
}

bool FormDigi::pump_running() const {
    return pump_->running();
}

Zenteif* FormDigi::zenteif() const {
    return zenteif_;
}

void FormDigi::closeEvent(QCloseEvent* event) {
    model_->Form_Unload();
    // The other windows go with the main window, so the program ends.
    for (QWidget* w : std::initializer_list<QWidget*>{zenteif_, setumeif_, siyouf_, salesf_, help_})
        if (w) w->close();
    event->accept();
}

void FormDigi::refresh() {
    waku_->refresh();
    graph_->refresh();
    pump_->follow_clock();
    const FormDigiScreen& s = model_->screen;
    if (s.revision == shown_revision_) return;
    shown_revision_ = s.revision;

    const Menus& m = s.menus;
    const std::pair<const char*, bool> enabled[] = {
        {"a2", m.a2},     {"a3", m.a3},     {"a4", m.a4}, {"b2", m.b2}, {"b3", m.b3},
        {"b4_1", m.b4_1}, {"b4_2", m.b4_2}, {"f2", m.f2}, {"f3", m.f3}};
    for (const auto& [name, on] : enabled)
        menus_.at(name)->setEnabled(on);
    menus_.at("g3")->setChecked(m.g3_checked);
    menus_.at("h2_" + std::to_string(m.h2_checked))->setChecked(true);

    for (int i = 0; i < 9; ++i)
        zentei_[i]->setText(q(s.zentei[i]));
    for (int i = 0; i < 11; ++i)
        hyouji_[i]->setText(q(hyouji_text(model_->day, i)));
    for (int i = 0; i < 3; ++i)
        jikan_[i]->setText(q(cstr(s.jikan[i])));
    for (int i = 0; i < 2; ++i)
        fuda_[i]->setVisible(s.fuda[i]);
    for (int i = 0; i < 40; ++i)
        dorubako_[i]->setVisible(s.dorubako[i]);
    pichakokisei_->setVisible(s.pichakokisei);
    labelhakokiseisu_->setText(q(s.labelhakokiseisu));
    pictimeservice_->setVisible(s.pictimeservice);
    if (rireki_->count() != int(s.rireki.size())) {
        set_list(rireki_, s.rireki);
        rireki_->scrollToBottom(); // the newest jackpot in view
    }

    // The reach list changes only when its statistics redraw it, and then as
    // a list filled afresh: from the top, then the selected line in view.
    const ReachList& r = model_->reach.list();
    if (r.redraws != shown_reach_redraws_) {
        shown_reach_redraws_ = r.redraws;
        set_list(list_reach_, {r.lines.begin(), r.lines.end()});
        list_reach_->scrollToTop();
        list_reach_->scrollToItem(list_reach_->item(r.scroll_to));
        list_reach_->setCurrentRow(r.selected);
    }
}

} // namespace popchan
