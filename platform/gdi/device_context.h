// Device contexts: a window's client pixels or a memory bitmap, with the
// objects selected into them and their text and background state.
#pragma once

#include "platform/win32.h"

#include <cstdint>

struct DeviceContext {
    bool memory = false;
    HWND window = nullptr;    // window contexts only
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

// A context on a window's client area, as GetDC and BeginPaint give it.
HDC window_dc_create(HWND hwnd);
