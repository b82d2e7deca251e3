// A window's client pixels as GDI draws on them. The window (USER) owns its
// surface and hands it to the device contexts it makes; a context shares it,
// so a context that outlives its window never reaches freed pixels: the
// window detaches the surface when it goes, and drawing on it fails from then.
#pragma once

#include "platform/core/win32_types.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace portable_win32 {

// A block copy from a bitmap into a window that nobody has needed yet
// (deferred_copy.h). Its pixels are the bitmap's while the bitmap keeps
// them unchanged, and `held` (the bitmap's buffer, taken over) once the
// bitmap has moved on.
struct OwedCopy {
    bool pending = false;
    HBITMAP bitmap = nullptr;
    std::vector<uint32_t> held;
    std::vector<uint32_t> spare; // a buffer of an earlier copy, for reuse
    int source_width = 0;        // the bitmap's size
    int source_height = 0;
    int64_t source_x = 0;
    int64_t source_y = 0;
    int64_t width = 0;
    int64_t height = 0;
};

struct Surface;

// The block copy still owed to the surface is made (deferred_copy.cpp).
void settle_surface(Surface &surface);

// The surface's pixels, the copy still owed made first: for a backend,
// which sees the surface only as const.
const uint32_t *surface_pixels(const Surface &surface);

struct Surface {
    std::vector<uint32_t> pixels; // 0x00RRGGBB, `width` pixels a row
    int width = 0;
    int height = 0;
    bool changed = false;  // drawn on since it was last shown
    bool detached = false; // its window is gone
    // Its backend looks at its pixels only now and then (a replay): a block
    // copy of a whole frame into it may wait until they are needed.
    bool frames_unseen = false;
    OwedCopy owed;

    // A new size starts white; the same size keeps the pixels.
    void resize(int new_width, int new_height) {
        const std::size_t count = static_cast<std::size_t>(new_width) * new_height;
        settle_surface(*this);
        width = new_width;
        height = new_height;
        if (pixels.size() != count) {
            pixels.assign(count, 0x00FFFFFF);
            changed = true;
        }
    }
};

using SurfaceRef = std::shared_ptr<Surface>;

} // namespace portable_win32
