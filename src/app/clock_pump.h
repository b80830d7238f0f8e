// Feeds the machine's clock with the real time that has passed, from one
// precise timer and an elapsed-time counter, so the simulated milliseconds
// keep pace with real ones however irregularly the timer fires. The core's
// pacer decides how many: the speed, the catch-up cap and the fresh start
// after a box are its.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "parlour/controller.h"
#include "widgets/modal.h"

namespace popchan {

class FormDigiModel;

class ClockPump : public QObject {
  public:
    static constexpr int kPeriodMs = 4; // how often the timer wakes us

    // Real milliseconds from any fixed origin; by default a monotonic clock.
    using TimeSource = std::function<std::int64_t()>;

    ClockPump(FormDigiModel& model, const ModalTracker& modal, std::function<void()> after,
              TimeSource now = {});

    // Runs the timer while any of the machine's timers runs, and only then.
    void follow_clock();
    bool running() const { return timer_.isActive(); }
    // One beat of the timer: the time due since the last beat passes.
    void pump();

  private:
    FormDigiModel& model_;
    const ModalTracker& modal_;
    std::function<void()> after_;
    TimeSource now_;
    QElapsedTimer elapsed_;
    QTimer timer_;
    Pacer pacer_;
};

} // namespace popchan
