// The machine's millisecond clock. The program's four timers are interval
// timers on this virtual clock; whoever drives the program (the window's pump,
// a test, the batch tool) only says how many milliseconds have passed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace popchan {

class Clock {
  public:
    static constexpr int kTimers = 4; // Timer1 … Timer4, fired in this order

    using Handler = std::function<void(int timer)>; // timer is 0-based

    explicit Clock(Handler on_tick) : on_tick_(std::move(on_tick)) {}

    // Interval 0 stops the timer; any other value (re)starts its countdown.
    void set_interval(int timer, int ms);
    int interval(int timer) const { return timers_.at(timer).interval; }
    bool any_running() const;

    // Lets `ms` milliseconds pass. A timer fires each time its interval has
    // elapsed since it was started or last fired; timers due in the same
    // millisecond fire in the order Timer1, Timer2, Timer3, Timer4. A handler
    // may change any interval, which takes effect at once.
    void advance(std::int64_t ms);

    std::int64_t now() const { return now_; } // milliseconds since creation

  private:
    struct Timer {
        int interval = 0;
        int elapsed = 0;
    };
    std::array<Timer, kTimers> timers_{};
    std::int64_t now_ = 0;
    Handler on_tick_;
};

} // namespace popchan
