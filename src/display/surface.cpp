#include "display/surface.h"

#include <algorithm>
#include <cstdlib>
#include <type_traits>

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

namespace popchan {

namespace {

template <Rop rop> inline Pixel apply(Pixel src, Pixel dst) {
    if constexpr (rop == Rop::SrcErase)
        return (src & ~dst) | 0xFF000000u;
    else if constexpr (rop == Rop::SrcInvert)
        return (src ^ dst) | 0xFF000000u;
    else
        return src;
}

// Calls f with the raster operation as a compile-time constant, so the
// pixel loops carry no branch.
template <class F> void with_rop(Rop rop, F&& f) {
    switch (rop) {
    case Rop::SrcCopy:
        return f(std::integral_constant<Rop, Rop::SrcCopy>{});
    case Rop::SrcErase:
        return f(std::integral_constant<Rop, Rop::SrcErase>{});
    case Rop::SrcInvert:
        return f(std::integral_constant<Rop, Rop::SrcInvert>{});
    }
}

} // namespace

void Surface::bitblt(int dx, int dy, int w, int h, const Surface& src, int sx, int sy, Rop rop) {
    // Clip against the destination and the source alike.
    const int x0 = std::max({0, -dx, -sx}), y0 = std::max({0, -dy, -sy});
    const int x1 = std::min({w, width_ - dx, src.width_ - sx});
    const int y1 = std::min({h, height_ - dy, src.height_ - sy});
    with_rop(rop, [&](auto r) {
        for (int y = y0; y < y1; ++y) {
            Pixel* d = pixels_.data() + std::size_t(dy + y) * width_ + dx;
            const Pixel* s = src.pixels_.data() + std::size_t(sy + y) * src.width_ + sx;
            for (int x = x0; x < x1; ++x)
                d[x] = apply<r.value>(s[x], d[x]);
        }
    });
    touch();
}

void Surface::stretchblt(int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy, int sw,
                         int sh, Rop rop) {
    if (dw == sw && dh == sh) return bitblt(dx, dy, dw, dh, src, sx, sy, rop);
    if (dw <= 0 || dh <= 0) return;
    const int from = std::max(0, -dx), to = std::min(dw, width_ - dx);
    with_rop(rop, [&](auto r) {
        for (int y = std::max(0, -dy); y < dh && dy + y < height_; ++y) {
            const int ry = sy + y * sh / dh;
            if (ry < 0 || ry >= src.height_) continue;
            Pixel* d = pixels_.data() + std::size_t(dy + y) * width_ + dx;
            const Pixel* s = src.pixels_.data() + std::size_t(ry) * src.width_;
            for (int x = from; x < to; ++x) {
                const int rx = sx + x * sw / dw;
                if (rx >= 0 && rx < src.width_) d[x] = apply<r.value>(s[rx], d[x]);
            }
        }
    });
    touch();
}

} // namespace popchan
