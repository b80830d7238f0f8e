// The main window: the machine, the hit history, the parlour panel, the
// premises, the day's figures and the balance graph, with the menus that run
// the day. It shows what its core computed and passes the user's commands on.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <map>
#include <memory>

#include "app/modal.h"
#include "parlour/formdigi_model.h"
#include "premises/zenteif.h"

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
    // Pictures that could not be loaded at start-up.
    const std::vector<std::string>& missing_pictures() const { return missing_pictures_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build_panels();
    void build_menus();
    void run(void (FormDigiModel::*handler)());
    void a2_Click();
    void a5_Click();
    QLabel* label(QWidget* parent, const char* name, const QString& text, int font, int w, int h,
                  int x, int y);

    ModalTracker modal_;
    std::unique_ptr<Dialogs> own_dialogs_;
    std::unique_ptr<FormDigiModel> model_;
    std::unique_ptr<ClockPump> pump_;
    QWidget* client_ = nullptr;
    std::map<std::string, QAction*> menus_;
    SurfaceView* waku_ = nullptr;
    SurfaceView* graph_ = nullptr;
    QListWidget* list_reach_ = nullptr;
    QListWidget* rireki_ = nullptr;
    std::array<QLabel*, 9> zentei_{};
    std::array<QLabel*, 11> hyouji_{};
    std::array<QLabel*, 3> jikan_{};
    std::array<QLabel*, 2> fuda_{};
    std::array<QLabel*, 40> dorubako_{};
    QWidget* pichakokisei_ = nullptr;
    QLabel* labelhakokiseisu_ = nullptr;
    QWidget* pictimeservice_ = nullptr;
    std::uint64_t shown_revision_ = ~std::uint64_t{0};
    std::vector<std::string> missing_pictures_;
    Dialogs* dialogs_ = nullptr;
    QPointer<Zenteif> zenteif_;
};

} // namespace popchan
