// Feeds the machine's clock with the real time that has passed, from one
// precise timer and an elapsed-time counter, so the simulated milliseconds
// keep pace with real ones however irregularly the timer fires.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "widgets/modal.h"

namespace popchan {

class FormDigiModel;

class ClockPump : public QObject {
  public:
    static constexpr int kPeriodMs = 4;       // how often the timer wakes us
    static constexpr int kMaxCatchUpMs = 250; // a longer stall is not made up

    ClockPump(FormDigiModel& model, const ModalTracker& modal, std::function<void()> after);

    // Runs the timer while any of the machine's timers runs, and only then.
    void follow_clock();
    bool running() const { return timer_.isActive(); }

  private:
    void pump();
    FormDigiModel& model_;
    const ModalTracker& modal_;
    std::function<void()> after_;
    QTimer timer_;
    QElapsedTimer elapsed_;
    qint64 consumed_ms_ = 0;
    std::uint64_t closed_seen_ = 0;
};

} // namespace popchan
