// The main window: the machine, the hit history, the parlour panel, the
// premises, the day's figures and the balance graph, with the menus that run
// the day. It shows what its core computed and passes the user's commands on.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <map>
#include <memory>

#include "parlour/controller.h"
#include "parlour/formdigi_model.h"
#include "shell/info_windows.h"
#include "shell/zenteif.h"
#include "widgets/modal.h"

class QAction;
class QLabel;
class QListWidget;

namespace popchan {

class ClockPump;
class SurfaceView;

class FormDigi : public QMainWindow {
  public:
    // `dialogs` answers the message boxes; by default real boxes are shown.
    // `rng` replaces the machine's own clock-mixed generator.
    explicit FormDigi(Dialogs* dialogs = nullptr, MediaDevice* media = nullptr,
                      std::unique_ptr<Random> rng = nullptr);
    ~FormDigi() override;

    FormDigiModel& model() { return *model_; }
    ModalTracker& modal() { return modal_; }
    QWidget* client() const { return client_; }
    // Menu items by their names ("a3", "b4_1", "g2_0", …).
    QAction* menu(const std::string& name) const { return menus_.at(name); }

    // Copies the core's state onto the widgets where it changed.
    void refresh();
    bool pump_running() const;
    // The premises dialog while it is open.
    Zenteif* zenteif() const;
    // The other windows while they are open.
    InfoWindow* setumeif() const { return setumeif_; }
    InfoWindow* siyouf() const { return siyouf_; }
    Salesf* salesf() const { return salesf_; }
    HelpViewer* help() const { return help_; }

    // Where windows made from now on load the display's pictures (tests).
    static void set_picture_location(std::string location) {
        picture_location_ = std::move(location);
    }
    // Pictures that could not be loaded at start-up.
    const std::vector<std::string>& missing_pictures() const { return missing_pictures_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build_panels();
    void build_menus();
    // Runs a menu item by its name and carries out what the core asks.
    void choose(const std::string& name);
    void open_window(SubWindow window);
    // Secondary windows: created when needed, one of each, kept above the
    // main window and shown modeless; opening one again brings it to the front.
    template <class W, class Make> void show_on_top(QPointer<W>& window, Make make) {
        if (!window) window = make();
        window->show();
        window->raise();
        window->activateWindow();
    }
    QLabel* label(QWidget* parent, const char* name, const QString& text, int font, int w, int h,
                  int x, int y);

    ModalTracker modal_;
    std::unique_ptr<Dialogs> own_dialogs_;
    Dialogs* test_dialogs_ = nullptr; // boxes answered by a test, for every window
    std::unique_ptr<Dialogs> current_first_;
    std::unique_ptr<FormDigiModel> model_;
    std::unique_ptr<ClockPump> pump_;
    QWidget* client_ = nullptr;
    std::map<std::string, QAction*> menus_;
    SurfaceView* waku_ = nullptr;
    SurfaceView* graph_ = nullptr;
    QListWidget* list_reach_ = nullptr;
    QListWidget* rireki_ = nullptr;
    std::map<std::string, QLabel*> filled_; // the labels the core fills, by name
    std::map<std::string, QWidget*> shown_; // the parts it shows or hides
    std::uint64_t shown_revision_ = ~std::uint64_t{0};
    std::uint64_t shown_reach_redraws_ = ~std::uint64_t{0};
    std::vector<std::string> missing_pictures_;
    static std::string picture_location_;
    Dialogs* dialogs_ = nullptr; // the main window's boxes, over current figures
    QPointer<Zenteif> zenteif_;
    QPointer<InfoWindow> setumeif_, siyouf_;
    QPointer<Salesf> salesf_;
    QPointer<HelpViewer> help_;
};

} // namespace popchan
