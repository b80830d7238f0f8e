// The display with its music, driven by a chosen generator, for display tests.
#pragma once

#include "common/clock.h"
#include "core/fakes.h"
#include "display/spin_sequence.h"
#include "presentations/presentations.h"

namespace popchan::testing {

struct DisplayRig {
    explicit DisplayRig(Random& r) : rng(r) {}
    Random& rng;
    Digi d{rng};
    SpinState s;
    Clock clock{[](int) {}};
    RecordingMedia media;
    Bgm bgm{clock, &media};
    DisplayContext c{s, d, rng, bgm, present_reach};

    // Files opened for playing, in order.
    std::vector<std::string> music() const {
        std::vector<std::string> opened;
        for (const auto& entry : media.log)
            if (entry.rfind("open ", 0) == 0) opened.push_back(entry.substr(5));
        return opened;
    }
};

// The resting position of symbol e.
inline Int16 stop_of(int e) {
    return Int16(e >= 13 ? 48 * e + 24 : (12 - e) * 48 + 24);
}

// Positions p and p + 672 show the same picture (a reel pulled back past 672
// rests there).
inline bool shows(int top, int e) {
    return top % 672 == stop_of(e) % 672;
}

} // namespace popchan::testing
