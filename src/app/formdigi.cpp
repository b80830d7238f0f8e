#include "app/formdigi.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QTimer>
#include <functional>

#include "app/application.h"
#include "app/clock_pump.h"
#include "app/pictures.h"
#include "app/surface_view.h"
#include "parlour/accounting.h"
#include "parlour/face.h"
#include "widgets/layout.h"
#include "widgets/qt_dialogs.h"

namespace popchan {

namespace {

const QColor kFaceGrey = QColor::fromRgb(kFaceGreyRgb);

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

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
    // Built from the core's table of parts, parents before their children;
    // each part is placed over the siblings made before it.
    std::map<std::string, QWidget*> made;
    auto parent_of = [&](const Part& part) {
        return part.parent.empty() ? client_ : made.at(part.parent);
    };
    for (const Part& part : main_window_parts()) {
        QWidget* parent = parent_of(part);
        QWidget* w = nullptr;
        switch (part.kind) {
        case Part::Kind::Panel: {
            auto* box = part.grey_back ? new PictureBox(parent, part.border, kFaceGrey)
                                       : new PictureBox(parent, part.border);
            box->setObjectName(q(part.name));
            Place_Picture(box, part.width, part.height, part.left, part.top);
            w = box;
            break;
        }
        case Part::Kind::Label: {
            QLabel* l = nullptr;
            if (part.wrap) {
                // Wrapped onto its lines, so not fitted to one line as the other labels.
                l = new QLabel(q(part.text), parent);
                l->setObjectName(q(part.name));
                l->setWordWrap(true);
                Place_Text(l, part.font, part.width, part.height, part.left, part.top);
            } else {
                l = label(parent, part.name.c_str(), q(part.text), part.font, part.width,
                          part.height, part.left, part.top);
            }
            if (part.align_right) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            w = l;
            break;
        }
        case Part::Kind::List: {
            auto* list = new QListWidget(parent);
            list->setObjectName(q(part.name));
            Place_Text(list, part.font, part.width, part.height, part.left, part.top);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setTextElideMode(Qt::ElideNone);
            w = list;
            break;
        }
        case Part::Kind::Surface: {
            SurfaceView* view = nullptr;
            if (part.name == "PictureWaku")
                view = new SurfaceView(
                    [this]() -> const Surface& { return model_->digi.PictureWaku; }, parent);
            else
                view = new SurfaceView(
                    [this]() -> const Surface& { return model_->graph.surface(); }, parent);
            view->setObjectName(q(part.name));
            Place_Picture(view, part.width, part.height, part.left, part.top);
            w = view;
            break;
        }
        case Part::Kind::Picture: {
            auto* picture = new PixelPicture(q(":/pictures/" + part.text + ".png"), parent);
            picture->setObjectName(q(part.name));
            Place_Picture(picture, part.width, part.height, part.left, part.top);
            w = picture;
            break;
        }
        }
        made[part.name] = w;
    }

    auto find = [&](const std::string& name) { return made.at(name); };
    auto find_label = [&](const std::string& name) { return static_cast<QLabel*>(find(name)); };
    waku_ = static_cast<SurfaceView*>(find("PictureWaku"));
    graph_ = static_cast<SurfaceView*>(find("picgraph_1"));
    list_reach_ = static_cast<QListWidget*>(find("ListReach"));
    rireki_ = static_cast<QListWidget*>(find("rireki"));
    fit_list(rireki_, widest_rireki_lines());
    for (const auto& [name, text] : filled_labels(*model_))
        filled_[name] = find_label(name);
    for (const auto& [name, on] : shown_parts(model_->screen))
        shown_[name] = find(name);
}

void FormDigi::build_menus() {
    std::vector<QMenu*> open; // the menus being filled, innermost last
    QActionGroup* speeds = nullptr;
    for (const MenuItem& item : main_window_menus()) {
        switch (item.kind) {
        case MenuItem::Kind::Menu: {
            QMenu* menu = open.empty() ? menuBar()->addMenu(q(item.caption))
                                       : open.back()->addMenu(q(item.caption));
            menu->setObjectName(q(item.name));
            menus_[item.name] = menu->menuAction();
            open.push_back(menu);
            break;
        }
        case MenuItem::Kind::End:
            open.pop_back();
            break;
        case MenuItem::Kind::Separator:
            open.back()->addSeparator();
            break;
        case MenuItem::Kind::Action: {
            QAction* a = open.back()->addAction(q(item.caption));
            a->setObjectName(q(item.name));
            menus_[item.name] = a;
            a->setCheckable(item.checkable);
            if (!item.shortcut.empty()) a->setShortcut(QKeySequence(q(item.shortcut)));
            if (item.radio) {
                // The speeds: one of them checked at a time.
                if (!speeds) speeds = new QActionGroup(open.back());
                speeds->addAction(a);
            }
            connect(a, &QAction::triggered, this, [this, name = item.name] { choose(name); });
            break;
        }
        }
    }
}

void FormDigi::choose(const std::string& name) {
    const Request r = popchan::choose(*model_, name);
    refresh();
    switch (r.kind) {
    case Request::Kind::None:
        break;
    case Request::Kind::Open:
        open_window(r.window);
        break;
    case Request::Kind::Layout: {
        // Only the client area changes; the top-left corner stays where it is.
        const QPoint corner = pos();
        apply_client_size(this, client_, kLayouts.at(r.index).width, kLayouts.at(r.index).height);
        move(corner);
        break;
    }
    case Request::Kind::OnTop: {
        const QPoint corner = pos();
        setWindowFlag(Qt::WindowStaysOnTopHint, r.on);
        move(corner);
        show();             // changing the flag hides the window
        if (!r.on) lower(); // behind the other windows at once
        break;
    }
    case Request::Kind::Close:
        close();
        break;
    }
}

void FormDigi::open_window(SubWindow window) {
    switch (window) {
    case SubWindow::Premises:
        show_on_top(zenteif_,
                    [this] { return new Zenteif(model_->premises, test_dialogs_, modal_, this); });
        break;
    case SubWindow::Help:
        // The help viewer is an ordinary window, not kept on top.
        if (!help_) help_ = new HelpViewer(model_->bgm.app_path() + "/" + kHelpFile, this);
        help_->show();
        help_->raise();
        help_->activateWindow();
        break;
    case SubWindow::Siyou:
        show_on_top(siyouf_, [this] { return new InfoWindow(InfoWindow::Kind::Siyouf, this); });
        break;
    case SubWindow::Setumei:
        show_on_top(setumeif_, [this] { return new InfoWindow(InfoWindow::Kind::Setumeif, this); });
        break;
    case SubWindow::Sales:
        show_on_top(salesf_, [this] { return new Salesf(this); });
        break;
    }
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

    for (const auto& [name, on] : enabled_menus(s))
        menus_.at(name)->setEnabled(on);
    for (const auto& [name, on] : checked_menus(s))
        menus_.at(name)->setChecked(on);
    for (const auto& [name, text] : filled_labels(*model_))
        filled_.at(name)->setText(q(text));
    for (const auto& [name, on] : shown_parts(s))
        shown_.at(name)->setVisible(on);
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
