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

DeviceContext *find_dc(HDC dc);

// The context's pixels; false when it has none (its window is gone). A
// caller that changes pixels calls target_changed afterwards.
bool dc_target(HDC dc, PixelTarget *target);
void target_changed(HDC dc);

// A context drawing on a window's surface, as GetDC and BeginPaint give it;
// `owner` is the window, kept only to check the release against it.
HDC surface_dc_create(SurfaceRef surface, HWND owner);
// Releases a context that surface_dc_create made for `owner`. False, with
// nothing released, for any other context; false too, after releasing it,
// when the window is gone already (the window's end released it for Win32).
bool surface_dc_release(HDC dc, HWND owner);

} // namespace portable_win32
