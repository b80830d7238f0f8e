// Feeds the machine's clock with the real time that has passed, from one
// precise timer and an elapsed-time counter, so the simulated milliseconds
// keep pace with real ones however irregularly the timer fires. At a play
// speed above the machine's own, each real millisecond carries that many
// simulated ones.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "widgets/modal.h"

namespace popchan {

class FormDigiModel;

class ClockPump : public QObject {
  public:
    static constexpr int kPeriodMs = 4;       // how often the timer wakes us
    static constexpr int kMaxCatchUpMs = 250; // a longer stall (real time) is not made up

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
    void restart_count();
    FormDigiModel& model_;
    const ModalTracker& modal_;
    std::function<void()> after_;
    TimeSource now_;
    QElapsedTimer elapsed_;
    QTimer timer_;
    std::int64_t consumed_ms_ = 0; // real time already handed over, by now_
    std::uint64_t closed_seen_ = 0;
};

} // namespace popchan
