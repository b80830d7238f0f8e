#include "app/clock_pump.h"

#include <algorithm>

#include "parlour/formdigi_model.h"

namespace popchan {

ClockPump::ClockPump(FormDigiModel& model, const ModalTracker& modal, std::function<void()> after)
    : model_(model), modal_(modal), after_(std::move(after)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kPeriodMs);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { pump(); });
}

void ClockPump::follow_clock() {
    const bool want = model_.clock().any_running();
    if (want && !timer_.isActive()) {
        elapsed_.start();
        consumed_ms_ = 0;
        closed_seen_ = modal_.closed_count();
        timer_.start();
    } else if (!want && timer_.isActive()) {
        timer_.stop();
    }
}

void ClockPump::pump() {
    if (modal_.any_open()) return; // a handler waits for its box: time stands still
    if (modal_.closed_count() != closed_seen_) {
        // A box was open: go on from now, not from before it opened.
        closed_seen_ = modal_.closed_count();
        elapsed_.restart();
        consumed_ms_ = 0;
    }
    const qint64 now = elapsed_.elapsed();
    qint64 due = now - consumed_ms_;
    if (due > kMaxCatchUpMs) {
        consumed_ms_ = now - kMaxCatchUpMs;
        due = kMaxCatchUpMs;
    }
    consumed_ms_ += due;
    if (due > 0) model_.advance(due);
    after_();
}

} // namespace popchan
