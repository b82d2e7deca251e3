// ScrollDC: moves a rectangle of a context's pixels; what leaves the clip
// rectangle is lost and what is uncovered keeps its old pixels.
#include "platform/gdi/device_context.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace portable_win32 {

namespace {

RECT intersect(const RECT &a, const RECT &b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool empty(const RECT &r) {
    return r.left >= r.right || r.top >= r.bottom;
}

} // namespace

} // namespace portable_win32

using namespace portable_win32;

BOOL WINAPI ScrollDC(HDC dc, int dx, int dy, const RECT *scroll, const RECT *clip, HRGN update_rgn,
                     LPRECT update) {
    (void)update_rgn;
    PixelTarget t;
    if (!dc_target(dc, &t)) {
        return FALSE;
    }
    const RECT all{0, 0, t.width, t.height};
    const RECT area = intersect(scroll ? *scroll : all, all);
    const RECT bounds = intersect(clip ? *clip : all, all);
    // Offsets beyond the target's size move everything out.
    const int64_t sx = std::clamp<int64_t>(dx, -t.width, t.width);
    const int64_t sy = std::clamp<int64_t>(dy, -t.height, t.height);
    RECT moved{static_cast<LONG>(area.left + sx), static_cast<LONG>(area.top + sy),
               static_cast<LONG>(area.right + sx), static_cast<LONG>(area.bottom + sy)};
    const RECT dest = intersect(moved, bounds);
    if (!empty(dest) && !empty(area)) {
        const int64_t w = dest.right - dest.left, h = dest.bottom - dest.top;
        std::vector<uint32_t> block(static_cast<std::size_t>(w * h));
        for (int64_t row = 0; row < h; row++) {
            std::memcpy(&block[row * w],
                        t.pixels + (dest.top - sy + row) * t.width + (dest.left - sx),
                        static_cast<std::size_t>(w) * sizeof(uint32_t));
        }
        for (int64_t row = 0; row < h; row++) {
            std::memcpy(t.pixels + (dest.top + row) * t.width + dest.left, &block[row * w],
                        static_cast<std::size_t>(w) * sizeof(uint32_t));
        }
        target_changed(dc);
    }
    if (update) {
        // The part of the area, within the clip, that the move uncovered.
        RECT uncovered = intersect(area, bounds);
        if (sx != 0 && sy != 0) {
            // An L-shaped strip: its bounding rectangle is the whole area.
        } else if (sy < 0) {
            uncovered.top = std::max<LONG>(uncovered.top, static_cast<LONG>(area.bottom + sy));
        } else if (sy > 0) {
            uncovered.bottom = std::min<LONG>(uncovered.bottom, static_cast<LONG>(area.top + sy));
        }
        if (sx < 0) {
            uncovered.left = std::max<LONG>(uncovered.left, static_cast<LONG>(area.right + sx));
        } else if (sx > 0) {
            uncovered.right = std::min<LONG>(uncovered.right, static_cast<LONG>(area.left + sx));
        }
        *update = (empty(uncovered) || (sx == 0 && sy == 0)) ? RECT{0, 0, 0, 0} : uncovered;
    }
    return TRUE;
}
