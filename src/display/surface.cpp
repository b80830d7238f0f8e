#include "display/surface.h"

#include <algorithm>
#include <cstdlib>

namespace popchan {

Surface::Surface(int width, int height, Pixel fill)
    : width_(width), height_(height), pixels_(std::size_t(width) * height, fill) {}

void Surface::fill(Pixel p) {
    std::fill(pixels_.begin(), pixels_.end(), p);
    touch();
}

void Surface::fill_box(int x1, int y1, int x2, int y2, Pixel p) {
    const int l = std::max(std::min(x1, x2), 0), r = std::min(std::max(x1, x2), width_ - 1);
    const int t = std::max(std::min(y1, y2), 0), b = std::min(std::max(y1, y2), height_ - 1);
    for (int y = t; y <= b; ++y)
        std::fill(pixels_.begin() + std::size_t(y) * width_ + l,
                  pixels_.begin() + std::size_t(y) * width_ + r + 1, p);
    touch();
}

void Surface::line(int x1, int y1, int x2, int y2, Pixel p) {
    // Bresenham; the end point is left out, as the platform's line drawing does.
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    while (x1 != x2 || y1 != y2) {
        set(x1, y1, p);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
    touch();
}

} // namespace popchan
