#include <gtest/gtest.h>

#include <vector>

#include "common/clock.h"

using namespace popchan;

namespace {
struct Recorder {
    std::vector<std::pair<std::int64_t, int>> fired; // (ms, timer)
    Clock clock{[this](int t) { fired.emplace_back(clock.now(), t); }};
    int count(int t) const {
        int n = 0;
        for (auto& f : fired)
            n += f.second == t;
        return n;
    }
};
} // namespace

TEST(Clock, StoppedTimersNeverFire) {
    Recorder r;
    r.clock.advance(100000);
    EXPECT_TRUE(r.fired.empty());
    EXPECT_FALSE(r.clock.any_running());
    EXPECT_EQ(r.clock.now(), 100000);
}

TEST(Clock, EachTimerFiresAtItsInterval) {
    Recorder r;
    r.clock.set_interval(0, 1);
    r.clock.set_interval(1, 10);
    r.clock.set_interval(2, 1);
    r.clock.set_interval(3, 10000);
    r.clock.advance(20000);
    EXPECT_EQ(r.count(0), 20000);
    EXPECT_EQ(r.count(1), 2000);
    EXPECT_EQ(r.count(2), 20000);
    EXPECT_EQ(r.count(3), 2);
    // Steps of any size give the same firings.
    Recorder s;
    for (int t : {0, 2})
        s.clock.set_interval(t, 1);
    s.clock.set_interval(1, 10);
    for (int i = 0; i < 20000; ++i)
        s.clock.advance(1);
    EXPECT_EQ(s.count(1), 2000);
    EXPECT_EQ(s.count(0), 20000);
}

TEST(Clock, TimersDueTogetherFireInOrder) {
    Recorder r;
    r.clock.set_interval(3, 10);
    r.clock.set_interval(1, 10);
    r.clock.set_interval(2, 5);
    r.clock.set_interval(0, 2);
    r.clock.advance(10);
    std::vector<int> at10;
    for (auto& [ms, t] : r.fired)
        if (ms == 10) at10.push_back(t);
    EXPECT_EQ(at10, (std::vector<int>{0, 1, 2, 3}));
}

TEST(Clock, SettingAnIntervalRestartsTheCountdown) {
    Recorder r;
    r.clock.set_interval(1, 10);
    r.clock.advance(7);
    r.clock.set_interval(1, 10);
    r.clock.advance(9);
    EXPECT_EQ(r.count(1), 0);
    r.clock.advance(1);
    EXPECT_EQ(r.count(1), 1);
    EXPECT_EQ(r.fired.back().first, 17);
}

TEST(Clock, AHandlerThatStopsTheTimersEndsTheirTicksAtOnce) {
    std::vector<int> fired;
    Clock* self = nullptr;
    Clock clock([&](int t) {
        fired.push_back(t);
        if (t == 0)
            for (int i = 0; i < 3; ++i)
                self->set_interval(i, 0);
    });
    self = &clock;
    for (int i = 0; i < 3; ++i)
        clock.set_interval(i, 1);
    clock.advance(50);
    EXPECT_EQ(fired, (std::vector<int>{0})); // Timer2 and Timer3 never fired
}
