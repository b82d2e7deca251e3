// Device contexts: a surface handed over by a window, or a memory bitmap,
// with the objects selected into them and their text and background state.
#pragma once

#include "platform/gdi/surface.h"
#include "platform/win32.h"

#include <cstdint>

namespace portable_win32 {

struct DeviceContext {
    bool memory = false;
    SurfaceRef surface;       // window contexts only
    HWND owner = nullptr;     // window contexts only: the window that made it
    HBITMAP bitmap = nullptr; // memory contexts only
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    COLORREF text_color = RGB(0, 0, 0);
    COLORREF bk_color = RGB(255, 255, 255);
    int bk_mode = OPAQUE;
    POINT position{0, 0};
};

// Where a context's pixels are: 0x00RRGGBB, `width` pixels a row.
struct PixelTarget {
    uint32_t *pixels = nullptr;
    int width = 0;
    int height = 0;
};

// A box of pixels, [x0, x1) x [y0, y1).
struct PixelBox {
    int64_t x0, y0, x1, y1;
};

DeviceContext *find_dc(HDC dc);

// The context's pixels; false when it has none (its window is gone). A
// caller that changes pixels calls target_changed afterwards. A caller that
// will paint every pixel of the box `painted` says so: the old pixels there
// need not be kept for anyone.
bool dc_target(HDC dc, PixelTarget *target, const PixelBox *painted = nullptr);
void target_changed(HDC dc);
// The context's pixels for a caller that only reads them.
bool dc_source(HDC dc, PixelTarget *target);
// The context's size, for a caller that neither reads nor changes its
// pixels yet (they may still be owed a copy).
bool dc_extent(HDC dc, PixelTarget *target);
// A block copy, clipped already, from the bitmap of memory context `source`
// onto the window of `dest` that covers the whole window: noted, to be made
// when the window's pixels are needed (deferred_copy.h). False when it
// cannot wait, with nothing done.
bool defer_copy_to_window(HDC dest, HDC source, int64_t source_x, int64_t source_y, int64_t width,
                          int64_t height);

// A context drawing on a window's surface, as GetDC and BeginPaint give it;
// `owner` is the window, kept only to check the release against it.
HDC surface_dc_create(SurfaceRef surface, HWND owner);
// Releases a context that surface_dc_create made for `owner`. False, with
// nothing released, for any other context; false too, after releasing it,
// when the window is gone already (the window's end released it for Win32).
bool surface_dc_release(HDC dc, HWND owner);

} // namespace portable_win32
