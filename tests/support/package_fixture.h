// A started package for tests of the drawing calls, the renderer and the
// log: what start-up does (both window classes, the graphics window with a
// Run menu holding the Logging item, the log window, the graphics window's
// context and the 601 x 540 surface), done once per test program.
#pragma once

#include "dovra/draw/renderer.h"
#include "dovra/shell/log.h"
#include "dovra/shell/run_menu.h"
#include "dovra/shell/windows.h"
#include "tests/support/portable_support.h"

#include <cstring>
#include <string>
#include <vector>

namespace package_fixture {

inline LRESULT CALLBACK graphics_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SIZE) {
        RECT r;
        GetClientRect(hwnd, &r);
        origin_x = r.left + (r.right - r.left) / 2;
        origin_y = r.top + (r.bottom - r.top) / 2;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

inline void start() {
    if (graphics_window) {
        return;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
    wc.lpszMenuName = "generic";
    wc.lpfnWndProc = graphics_proc;
    wc.lpszClassName = "DrawWndClass";
    RegisterClassA(&wc);
    wc.lpfnWndProc = log_window_proc;
    wc.lpszClassName = "TextWndClass";
    RegisterClassA(&wc);

    graphics_window =
        CreateWindowExA(0, "DrawWndClass", "DOVRA Graphics", WS_CAPTION | WS_SYSMENU, 0, 0,
                        SURFACE_WIDTH, SURFACE_HEIGHT, nullptr, nullptr, instance, nullptr);
    HMENU bar = CreateMenu();
    run_menu = CreatePopupMenu();
    AppendMenuA(run_menu, MF_STRING | MF_CHECKED, IDM_LOGGING, "&Logging\tCtrl+L");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(run_menu), "&Run");
    SetMenu(graphics_window, bar);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    log_window = CreateWindowExA(0, "TextWndClass", "DOVRA Text", WS_OVERLAPPEDWINDOW, 0,
                                 (2 * h) / 3 + 1, w, h / 3, nullptr, nullptr, instance, nullptr);
    window_dc = GetDC(graphics_window);
    surface_bitmap = CreateCompatibleBitmap(window_dc, SURFACE_WIDTH, SURFACE_HEIGHT);
    surface_dc = CreateCompatibleDC(window_dc);
    SelectObject(surface_dc, surface_bitmap);
    ShowWindow(log_window, SW_SHOW);
    ShowWindow(graphics_window, SW_SHOW);
    portable::drain();
}

// Empties the log ring and switches logging on, as at start.
inline void reset_log() {
    for (HGLOBAL &slot : log_ring.slots) {
        if (slot) {
            GlobalFree(slot);
            slot = nullptr;
        }
    }
    log_ring.log_first = -1;
    log_ring.log_next = 0;
    logging_on = 1;
}

// The stored lines, oldest first.
inline std::vector<std::string> log_lines() {
    std::vector<std::string> lines;
    int32_t i = log_ring.log_first;
    for (int count = 0; i >= 0 && !(i == log_ring.log_next && count != 0); count++) {
        const char *text = static_cast<const char *>(GlobalLock(log_ring.slots[i]));
        lines.push_back(text ? text : "");
        GlobalUnlock(log_ring.slots[i]);
        i = i == LOG_SLOTS - 1 ? 0 : i + 1;
    }
    return lines;
}

} // namespace package_fixture
