// Update regions and the paint cycle: InvalidateRect, BeginPaint and
// EndPaint, which window WM_PAINT goes to next, and the device contexts that
// GetDC hands out on a window's surface.
#include "platform/core/core_internal.h"
#include "platform/core/window_internal.h"
#include "platform/gdi/device_context.h"

#include <algorithm>

namespace portable_win32 {

namespace {

RECT client_rect(const Window &w) {
    return RECT{0, 0, w.client_width, w.client_height};
}

bool clip_to(RECT &r, const RECT &bounds) {
    r.left = std::max(r.left, bounds.left);
    r.top = std::max(r.top, bounds.top);
    r.right = std::min(r.right, bounds.right);
    r.bottom = std::min(r.bottom, bounds.bottom);
    return r.left < r.right && r.top < r.bottom;
}

void invalidate(Window &w, const RECT *rect, BOOL erase) {
    RECT r = rect ? *rect : client_rect(w);
    if (!clip_to(r, client_rect(w))) {
        return;
    }
    if (w.invalid) {
        w.invalid_rect.left = std::min(w.invalid_rect.left, r.left);
        w.invalid_rect.top = std::min(w.invalid_rect.top, r.top);
        w.invalid_rect.right = std::max(w.invalid_rect.right, r.right);
        w.invalid_rect.bottom = std::max(w.invalid_rect.bottom, r.bottom);
    } else {
        w.invalid_rect = r;
        w.invalid = true;
    }
    if (erase) {
        w.erase_pending = true;
    }
}

} // namespace

HWND window_needing_paint() {
    for (Window *w : all_windows()) {
        if (w->visible && w->invalid && !w->destroying) {
            return w->handle;
        }
    }
    return nullptr;
}

} // namespace portable_win32

using namespace portable_win32;

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase) {
    if (!hwnd) {
        for (Window *w : all_windows()) {
            invalidate(*w, nullptr, erase);
        }
        return TRUE;
    }
    Window *w = find_window(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    invalidate(*w, rect, erase);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    Window *w = find_window(hwnd);
    if (!w || !paint) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    paint->rcPaint = w->invalid ? w->invalid_rect : RECT{0, 0, 0, 0};
    const bool erase = w->erase_pending;
    w->invalid = false;
    w->erase_pending = false;
    HDC dc = surface_dc_create(w->surface, hwnd);
    paint->hdc = dc;
    if (erase) {
        paint->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    }
    return dc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT *paint) {
    if (!paint) {
        return FALSE;
    }
    return ReleaseDC(hwnd, paint->hdc) == 1;
}

HDC WINAPI GetDC(HWND hwnd) {
    // The screen's own context is not offered: the package never asks for it.
    const Window *w = find_window(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return surface_dc_create(w->surface, hwnd);
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
    return surface_dc_release(dc, hwnd) ? 1 : 0;
}
