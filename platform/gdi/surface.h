// A window's client pixels as GDI draws on them. The window (USER) owns its
// surface and hands it to the device contexts it makes; a context shares it,
// so a context that outlives its window never reaches freed pixels: the
// window detaches the surface when it goes, and drawing on it fails from then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace portable_win32 {

struct Surface {
    std::vector<uint32_t> pixels; // 0x00RRGGBB, `width` pixels a row
    int width = 0;
    int height = 0;
    bool changed = false;  // drawn on since it was last shown
    bool detached = false; // its window is gone

    // A new size starts white; the same size keeps the pixels.
    void resize(int new_width, int new_height) {
        const std::size_t count = static_cast<std::size_t>(new_width) * new_height;
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
