// The rasterizer: shapes become horizontal spans, clipped to the target
// before any pixel is touched, so the cost follows the visible pixels and no
// coordinate of any size overflows. Rules are GDI's, as Wine's DIB engine
// applies them: aliased, sampled at integer pixel corners.
#pragma once

#include "platform/gdi/device_context.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <vector>

namespace portable_win32 {

struct Point64 {
    int64_t x;
    int64_t y;
};

// Scratch vectors that shapes keep from call to call (the layer runs on one
// thread) hold at most this many points after a call; a larger one is freed.
const std::size_t SCRATCH_KEPT = 4096;

// Pixels from which one run is filled as a block (see fill_pixels).
const int64_t BLOCK_FILL = 1 << 16;

// Sets `count` pixels from `row` on to `pixel`. Long runs go to the C
// library's wide-character fill (a 4-byte fill, vectorised), which costs
// about what memset does; a plain loop of 4-byte stores costs ten times that.
// Inline, like the span writer below: shapes call them once per row or pixel.
inline void fill_pixels(uint32_t *row, int64_t count, uint32_t pixel) {
    static_assert(sizeof(wchar_t) == sizeof(uint32_t), "wmemset fills 4-byte units");
    if (count < 16) {
        for (int64_t i = 0; i < count; i++) {
            row[i] = pixel;
        }
        return;
    }
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // A block of a quarter of a megabyte or more (a whole surface): the
    // processor's string store fills it as fast as memset, a fifth faster
    // than wmemset. It starts too slowly to pay off on single rows.
    if (count >= BLOCK_FILL) {
        std::size_t n = static_cast<std::size_t>(count);
        asm volatile("rep stosl" : "+D"(row), "+c"(n) : "a"(pixel) : "memory");
        return;
    }
    std::wmemset(reinterpret_cast<wchar_t *>(row), static_cast<wchar_t>(pixel),
                 static_cast<std::size_t>(count));
#else
    // Elsewhere (WebAssembly) the C library's wmemset is a plain loop of one
    // unit at a time; this loop the compiler turns into vector stores.
    for (int64_t i = 0; i < count; i++) {
        row[i] = pixel;
    }
#endif
}

// Paints [x0, x1) of row y in one colour, clipped to the target.
class SpanWriter {
  public:
    SpanWriter(const PixelTarget &target, uint32_t pixel) : t_(target), pixel_(pixel) {}
    void span(int64_t y, int64_t x0, int64_t x1) const {
        if (y < 0 || y >= t_.height) {
            return;
        }
        x0 = std::max<int64_t>(x0, 0);
        x1 = std::min<int64_t>(x1, t_.width);
        if (x0 < x1) {
            fill_pixels(t_.pixels + y * t_.width + x0, x1 - x0, pixel_);
        }
    }
    void pixel(int64_t x, int64_t y) const {
        if (x >= 0 && x < t_.width && y >= 0 && y < t_.height) {
            t_.pixels[y * t_.width + x] = pixel_;
        }
    }
    // Paints [x0, x1) of rows [y0, y1), clipped to the target.
    void box(int64_t y0, int64_t y1, int64_t x0, int64_t x1) const;
    // Paints rows [y0, y1) of column x, clipped once for the whole column.
    void column(int64_t x, int64_t y0, int64_t y1) const {
        if (x < 0 || x >= t_.width) {
            return;
        }
        y0 = std::max<int64_t>(y0, 0);
        y1 = std::min<int64_t>(y1, t_.height);
        if (y0 >= y1) {
            return;
        }
        uint32_t *p = t_.pixels + y0 * t_.width + x;
        for (int64_t y = y0; y < y1; y++, p += t_.width) {
            *p = pixel_;
        }
    }
    int width() const { return t_.width; }
    int height() const { return t_.height; }

  private:
    PixelTarget t_;
    uint32_t pixel_;
};

// Fills a polygon: a row y takes the pixels x with xl <= x < xr between
// pairs of edge crossings, by the alternate (even-odd) or the winding rule.
void fill_polygon(const SpanWriter &out, const Point64 *points, std::size_t n, bool winding);

// A one-pixel line from (x0, y0) up to, but not including, (x1, y1).
void thin_line(const SpanWriter &out, Point64 from, Point64 to);

// The round dot of a wide pen, `width` pixels across: its rows are worked
// out once per shape and stamped at every end and joint.
class PenDot {
  public:
    explicit PenDot(int width);
    int width() const { return width_; }
    // Paints the dot centred on the pixel `at`.
    void stamp(const SpanWriter &out, Point64 at) const;

  private:
    int width_;
    // [x0, x1) of each row relative to the dot's left edge; empty for a dot
    // too large to keep, whose visible rows are worked out when stamped.
    std::vector<std::pair<int64_t, int64_t>> rows_;
};

// A line as wide as the pen's dot, centred on the path, with round ends.
void wide_line(const SpanWriter &out, Point64 from, Point64 to, const PenDot &dot);

// The ellipse inscribed in the box [left, right) x [top, bottom): its filled
// area, and the pixels of its one-pixel outline.
void fill_ellipse(const SpanWriter &out, int64_t left, int64_t top, int64_t right, int64_t bottom);
void ellipse_outline(const SpanWriter &out, int64_t left, int64_t top, int64_t right,
                     int64_t bottom, int pen_width);

} // namespace portable_win32
