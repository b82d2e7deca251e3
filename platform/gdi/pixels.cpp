// Pixel operations: single pixels, filled rectangles and block copies.
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/raster.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace portable_win32 {

namespace {

// Clips [x, x + w) x [y, y + h) to the target, in 64 bits so that no sum
// of coordinates overflows.
bool clip(const PixelTarget &t, int64_t &x0, int64_t &y0, int64_t &x1, int64_t &y1) {
    x0 = std::max<int64_t>(x0, 0);
    y0 = std::max<int64_t>(y0, 0);
    x1 = std::min<int64_t>(x1, t.width);
    y1 = std::min<int64_t>(y1, t.height);
    return x0 < x1 && y0 < y1;
}

} // namespace

} // namespace portable_win32

using namespace portable_win32;

COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
    PixelTarget t;
    if (!dc_target(dc, &t) || x < 0 || y < 0 || x >= t.width || y >= t.height) {
        return static_cast<COLORREF>(-1);
    }
    t.pixels[static_cast<std::size_t>(y) * t.width + x] = pixel_of(color);
    target_changed(dc);
    return color & 0x00FFFFFF;
}

COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
    PixelTarget t;
    if (!dc_source(dc, &t) || x < 0 || y < 0 || x >= t.width || y >= t.height) {
        return CLR_INVALID;
    }
    return colorref_of(t.pixels[static_cast<std::size_t>(y) * t.width + x]);
}

int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush) {
    PixelTarget t;
    const GdiObject *b = find_gdi_object(brush, GdiObject::BRUSH);
    if (!rect || !b) {
        return 0;
    }
    const PixelBox box{rect->left, rect->top, rect->right, rect->bottom};
    if (!dc_target(dc, &t, b->hollow ? nullptr : &box)) {
        return 0;
    }
    if (b->hollow) {
        return 1;
    }
    int64_t x0 = rect->left, y0 = rect->top, x1 = rect->right, y1 = rect->bottom;
    if (clip(t, x0, y0, x1, y1)) {
        SpanWriter(t, pixel_of(b->color)).box(y0, y1, x0, x1);
        target_changed(dc);
    }
    return 1;
}

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x,
                   int source_y, DWORD rop) {
    PixelTarget d, s;
    // The destination's size first, to see whether the copy may wait.
    if (rop != SRCCOPY || !dc_extent(dest, &d) || !dc_source(source, &s)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (width <= 0 || height <= 0) {
        return TRUE;
    }
    // Clip the block against both sides at once, keeping the offsets paired.
    int64_t dx0 = x, dy0 = y, sx0 = source_x, sy0 = source_y;
    int64_t w = width, h = height;
    if (dx0 < 0) {
        w += dx0;
        sx0 -= dx0;
        dx0 = 0;
    }
    if (dy0 < 0) {
        h += dy0;
        sy0 -= dy0;
        dy0 = 0;
    }
    if (sx0 < 0) {
        w += sx0;
        dx0 -= sx0;
        sx0 = 0;
    }
    if (sy0 < 0) {
        h += sy0;
        dy0 -= sy0;
        sy0 = 0;
    }
    w = std::min({w, d.width - dx0, s.width - sx0});
    h = std::min({h, d.height - dy0, s.height - sy0});
    if (w <= 0 || h <= 0) {
        return TRUE;
    }
    if (dx0 == 0 && dy0 == 0 && w == d.width && h == d.height && s.pixels != d.pixels &&
        defer_copy_to_window(dest, source, sx0, sy0, w, h)) {
        // A whole frame for a window nobody watches: copied when needed.
        target_changed(dest);
        return TRUE;
    }
    if (!dc_target(dest, &d)) {
        return FALSE;
    }
    const std::size_t row_bytes = static_cast<std::size_t>(w) * sizeof(uint32_t);
    if (s.pixels != d.pixels) {
        for (int64_t row = 0; row < h; row++) {
            std::memcpy(d.pixels + (dy0 + row) * d.width + dx0,
                        s.pixels + (sy0 + row) * s.width + sx0, row_bytes);
        }
    } else {
        // Within one bitmap the block may overlap itself: copy it out first.
        std::vector<uint32_t> block(static_cast<std::size_t>(w * h));
        for (int64_t row = 0; row < h; row++) {
            std::memcpy(&block[row * w], s.pixels + (sy0 + row) * s.width + sx0, row_bytes);
        }
        for (int64_t row = 0; row < h; row++) {
            std::memcpy(d.pixels + (dy0 + row) * d.width + dx0, &block[row * w], row_bytes);
        }
    }
    target_changed(dest);
    return TRUE;
}
