// The display with its music, driven by a chosen generator, for display tests.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/clock.h"
#include "core/fakes.h"
#include "display/spin_sequence.h"
#include "presentations/presentations.h"

namespace popchan::testing {

// A music cue: the file played (or "stop") and the tick on which it came.
struct Cue {
    std::string name;
    int tick;
    bool operator==(const Cue&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Cue& c) {
    return os << c.name << " @" << c.tick;
}

struct DisplayRig {
    explicit DisplayRig(Random& r) : rng(r) {}
    Random& rng;
    Digi d{rng};
    SpinState s;
    Clock clock{[](int) {}};
    RecordingMedia media;
    Bgm bgm{clock, &media};
    DisplayContext c{s, d, rng, bgm, present_reach};
    std::vector<Cue> cues; // what tick() saw

    // Files opened for playing, in order.
    std::vector<std::string> music() const {
        std::vector<std::string> opened;
        for (const auto& entry : media.log)
            if (entry.rfind("open ", 0) == 0) opened.push_back(entry.substr(5));
        return opened;
    }

    // One tick of the display; returns its t (spin_tick after the count, before
    // any phase moved it on) and notes the music started or stopped on it. A
    // stop shows only when something was playing.
    int tick() {
        const int t = s.spin_tick + 1;
        const std::size_t before = media.log.size();
        Timer2_Timer(c);
        bool opened = false, stopped = false;
        for (std::size_t i = before; i < media.log.size(); ++i) {
            const std::string& entry = media.log[i];
            if (entry.rfind("open ", 0) == 0) {
                cues.push_back({entry.substr(5), t});
                opened = true;
            }
            stopped |= entry == "stop";
        }
        if (stopped && !opened) cues.push_back({"stop", t});
        return t;
    }
};

// A generator that always draws the same number, so every random choice of
// the display is known beforehand.
class SteadyRandom : public Random {
  public:
    explicit SteadyRandom(double v) : v_(v) {}
    double Rnd() override { return v_; }
    void Randomize() override {}

  private:
    double v_;
};

// The resting position of symbol e.
inline Int16 stop_of(int e) {
    return Int16(e >= 13 ? 48 * e + 24 : (12 - e) * 48 + 24);
}

// A strip whose cell j is filled with a colour naming symbol (13 − j) mod 14,
// under an opaque mask: a reel's pixels tell where it stands.
inline Pixel symbol_colour(int e) {
    return rgb(10 * e + 5, 0, 0);
}
inline void paint_test_strip(Digi& d) {
    for (int y = 0; y < 864; ++y)
        for (int x = 0; x < 37; ++x) {
            d.pictures.digipat[0].set(x, y, symbol_colour((13 - y / 48 + 14) % 14));
            d.pictures.digipat[1].set(x, y, rgb(0, 0, 0));
        }
}

// Positions p and p + 672 show the same picture (a reel pulled back past 672
// rests there).
inline bool shows(int top, int e) {
    return top % 672 == stop_of(e) % 672;
}

// Sprite sheets whose every pixel tells where it comes from: red names the
// sheet and the cell (16 × sheet + cell + 1), green and blue the pixel's column
// and row inside the cell. Masks are black: every pixel opaque. Whatever part
// of a sprite shows on the display gives its cell and its top-left corner.
inline void paint_sprite_sheets(Pictures& p) {
    for (int sheet : {0, 1, 2, 3, 7, 9}) {
        Surface& pat = p.pat[sheet];
        for (int y = 0; y < 72; ++y)
            for (int x = 0; x < pat.width(); ++x) {
                pat.set(x, y, rgb(16 * sheet + x / 64 + 1, x % 64, y));
                pat.set(x, y + 72, rgb(0, 0, 0));
            }
    }
}

// A sprite as seen on the display; sheet −1 when the pixels disagree (two
// sprites, or a stretched one).
struct SpriteSeen {
    int sheet, cell, x, y;
    bool operator==(const SpriteSeen&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const SpriteSeen& s) {
    return os << "sheet " << s.sheet << " cell " << s.cell << " at (" << s.x << ", " << s.y << ")";
}

// The sprite painted by paint_sprite_sheets() on `shown`, if any shows. The
// backgrounds (green 255 or 128) and white reels never pass for one.
inline std::optional<SpriteSeen> sprite_on(const Surface& shown) {
    std::optional<SpriteSeen> seen;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const Pixel p = shown.at(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (r == 0 || r > 160 || g >= 64 || b >= 72) continue;
            const SpriteSeen here{(r - 1) / 16, (r - 1) % 16, x - g, y - b};
            if (!seen)
                seen = here;
            else if (*seen != here)
                return SpriteSeen{-1, -1, 0, 0};
        }
    return seen;
}

} // namespace popchan::testing
