#include "app/clock_pump.h"

#include <algorithm>

#include "parlour/formdigi_model.h"

namespace popchan {

ClockPump::ClockPump(FormDigiModel& model, const ModalTracker& modal, std::function<void()> after,
                     TimeSource now)
    : model_(model), modal_(modal), after_(std::move(after)), now_(std::move(now)) {
    if (!now_) {
        elapsed_.start();
        now_ = [this] { return elapsed_.elapsed(); };
    }
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kPeriodMs);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { pump(); });
}

void ClockPump::restart_count() {
    consumed_ms_ = now_();
    closed_seen_ = modal_.closed_count();
}

void ClockPump::follow_clock() {
    const bool want = model_.clock().any_running();
    if (want && !timer_.isActive()) {
        restart_count();
        timer_.start();
    } else if (!want && timer_.isActive()) {
        timer_.stop();
    }
}

void ClockPump::pump() {
    if (modal_.any_open()) return; // a handler waits for its box: time stands still
    // A box was open: go on from now, not from before it opened.
    if (modal_.closed_count() != closed_seen_) restart_count();
    const std::int64_t now = now_();
    const std::int64_t due = std::min<std::int64_t>(now - consumed_ms_, kMaxCatchUpMs);
    if (due > 0) {
        consumed_ms_ = now;
        model_.advance(due * model_.speed());
    }
    after_();
}

} // namespace popchan
