#include "app/clock_pump.h"

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

void ClockPump::follow_clock() {
    const bool want = model_.clock().any_running();
    if (want && !timer_.isActive()) {
        pacer_.restart(double(now_()), modal_.closed_count());
        timer_.start();
    } else if (!want && timer_.isActive()) {
        timer_.stop();
    }
}

void ClockPump::pump() {
    if (modal_.any_open()) return; // a handler waits for its box: time stands still
    const std::int64_t due =
        pacer_.due(model_, double(now_()), modal_.any_open(), modal_.closed_count());
    if (due > 0) model_.advance(due);
    after_();
}

} // namespace popchan
