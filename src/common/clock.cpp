#include "common/clock.h"

#include <algorithm>

namespace popchan {

void Clock::set_interval(int timer, int ms) {
    Timer& t = timers_.at(timer);
    t.interval = std::max(ms, 0);
    t.elapsed = 0;
}

bool Clock::any_running() const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [](const Timer& t) { return t.interval > 0; });
}

void Clock::advance(std::int64_t ms) {
    while (ms > 0) {
        // Jump straight to the next millisecond in which some timer is due.
        std::int64_t step = ms;
        for (const Timer& t : timers_)
            if (t.interval > 0) step = std::min<std::int64_t>(step, t.interval - t.elapsed);
        for (Timer& t : timers_)
            if (t.interval > 0) t.elapsed += static_cast<int>(step);
        now_ += step;
        ms -= step;
        for (int i = 0; i < kTimers; ++i) {
            Timer& t = timers_[i];
            if (t.interval > 0 && t.elapsed >= t.interval) {
                t.elapsed = 0;
                on_tick_(i);
            }
        }
    }
}

} // namespace popchan
