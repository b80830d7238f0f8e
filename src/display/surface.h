// A 32-bit pixel surface (0xAARRGGBB, rows top to bottom) and the drawing the
// program needs on it: fills, lines, and the raster-operation blits.
#pragma once

#include <cstdint>
#include <vector>

namespace popchan {

using Pixel = std::uint32_t;

// Colours as the program stores them: 24-bit values in blue-green-red byte
// order (&HFFFF80 is RGB 128, 255, 255).
constexpr Pixel from_bgr(std::uint32_t bgr) {
    return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}
constexpr Pixel rgb(int r, int g, int b) {
    return 0xFF000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}

// The platform's raster operations for block transfers.
enum class Rop {
    SrcCopy,   // destination = source
    SrcErase,  // destination = source AND NOT destination (the mask pass)
    SrcInvert, // destination = source XOR destination (the sprite pass)
};

class Surface {
  public:
    Surface(int width, int height, Pixel fill = rgb(255, 255, 255));

    int width() const { return width_; }
    int height() const { return height_; }
    Pixel at(int x, int y) const { return pixels_[std::size_t(y) * width_ + x]; }
    void set(int x, int y, Pixel p) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[std::size_t(y) * width_ + x] = p;
    }
    const Pixel* data() const { return pixels_.data(); }
    Pixel* data() { return pixels_.data(); }

    void fill(Pixel p);
    // Filled box with both corners included, clipped at the edges.
    void fill_box(int x1, int y1, int x2, int y2, Pixel p);
    // Straight line from (x1, y1) up to but not including (x2, y2).
    void line(int x1, int y1, int x2, int y2, Pixel p);

    // Copies w × h pixels from `src` at (sx, sy) to (dx, dy) with `rop`,
    // clipped at the edges of both surfaces.
    void bitblt(int dx, int dy, int w, int h, const Surface& src, int sx, int sy, Rop rop);
    // The same, stretching the source rectangle sw × sh onto dw × dh
    // (nearest pixel).
    void stretchblt(int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy, int sw,
                    int sh, Rop rop);
    // The whole surface from another of the same size.
    void copy_from(const Surface& src) { bitblt(0, 0, width_, height_, src, 0, 0, Rop::SrcCopy); }

    // Counts changes so a viewer repaints only what changed.
    std::uint64_t revision() const { return revision_; }
    void touch() { ++revision_; }

  private:
    int width_;
    int height_;
    std::vector<Pixel> pixels_;
    std::uint64_t revision_ = 0;
};

} // namespace popchan
