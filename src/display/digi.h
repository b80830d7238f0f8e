// The digital display: its three surfaces, the pictures it draws from, and
// the drawing operations of the reels and sprites.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/numbers.h"
#include "common/random.h"
#include "display/surface.h"

namespace popchan {

inline constexpr int kDigiW = 115, kDigiH = 96; // the display in pixels
inline constexpr int kStripLength = 672;        // 14 cells of 48 px: one turn of a reel

// Background colours (blue-green-red).
inline constexpr std::uint32_t kBackNormal = 0xFFFF80;  // light cyan, RGB 128, 255, 255
inline constexpr std::uint32_t kBackKakuhen = 0x8080FF; // pink, RGB 255, 128, 128

// The pictures stored with the window. Until real ones are loaded every
// picture is white, which the masked passes treat as transparent.
struct Pictures {
    Pictures();
    std::array<Surface, 2> digipat; // symbol strip and its mask, 37 × 864
    std::array<Surface, 10> pat;    // sprite sheets, overlays and the notice band
    std::array<Surface, 6> patbox;  // fanfare frames 0..4 and their common mask 5

    // Width and height each picture must have.
    static std::pair<int, int> pat_size(int n);
};

// The display's picture files by name ("digipat0", "pat3", "patbox5", and
// "startup", the start-up picture shown in `startup`), with the surface each
// fills exactly.
struct PictureFile {
    std::string name;
    Surface* target;
};
std::vector<PictureFile> picture_files(Pictures& pictures, Surface& startup);
// What the program says at start-up when pictures could not be loaded.
std::string missing_pictures_message(const std::vector<std::string>& names);

class Digi {
  public:
    explicit Digi(Random& rng) : rng_(rng) { set_back_color(kBackNormal); }

    Surface scr_bkg{kDigiW, kDigiH};     // flat background
    Surface scr_work{kDigiW, kDigiH};    // composition buffer
    Surface PictureWaku{kDigiW, kDigiH}; // what the display shows
    Pictures pictures;

    // Headless runs can skip the pixels and keep only the reels' positions
    // and the background colour, painted when drawing starts again.
    void set_drawing(bool on);

    // The start of a tick: scr_work from the background; its end: the
    // display from scr_work.
    void clear_work() {
        if (drawing_) scr_work.copy_from(scr_bkg);
    }
    void present() {
        if (drawing_) PictureWaku.copy_from(scr_work);
    }

    std::uint32_t back_color() const { return back_color_; }
    // A new background colour refills scr_bkg.
    void set_back_color(std::uint32_t bgr);

    // Scrolls reel DigiNo to EgaraTop − MoveSu (below 1 it becomes 672) and
    // draws it into scr_work.
    void Egara_Move(std::array<Int16, 3>& egara_top, Int16 DigiNo, Int16 EgaraTop, Int16 MoveSu);
    // The reel position at which symbol EgaraNo counts as reached in the
    // mode "stop", "slow" or "suberi" (a fresh random point on every call);
    // nothing for any other mode.
    std::optional<Int16> Egara_Top(std::string_view EgaraType, Int16 EgaraNo);
    // Draws frame patX of pat(patNO) masked into scr_work at (nx, ny).
    void draw_pat(Int16 patNO, Int16 patX, Int16 patW, Int16 nx, Int16 ny);
    // A masked picture: mask pass, then sprite pass, into one rectangle.
    void draw_masked(const Surface& mask, int mx, int my, const Surface& sprite, int sx, int sy,
                     int dx, int dy, int dw, int dh, int sw, int sh);

  private:
    Random& rng_;
    std::uint32_t back_color_ = 0;
    bool drawing_ = true;
};

// nearest(): the nearest whole pixel, a half going to the even neighbour.
inline Int16 nearest(double x) {
    return to_int16(x);
}

} // namespace popchan
