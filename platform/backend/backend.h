// The seam between the portable Win32 layer and a display. A backend is a
// fixed table of functions: it mirrors the layer's windows natively, shows
// their client pixels and menu bars, delivers input and owns the clock.
#pragma once

#include "platform/core/win32_types.h"

#include <cstdint>

// One piece of input, in the terms the layer turns into window messages.
struct BackendInput {
    enum Kind {
        CLICK,        // left button pressed and released at client (x, y)
        KEY_DOWN,     // key `vk` pressed; `ch` is the Windows-1252 character it makes, or 0
        KEY_UP,       // key `vk` released
        MENU_COMMAND, // the menu item with id `command` chosen
        CLOSE,        // the close box
        EXPOSE,       // the client area must be repainted
        RESIZE        // the outer size became width x height
    };
    Kind kind;
    HWND window;
    int x;
    int y;
    unsigned vk;
    unsigned char ch;
    unsigned command;
    int width;
    int height;
};

// What a backend is told about a window.
struct BackendWindowInfo {
    HWND window;
    const char *title;
    RECT outer;   // screen coordinates
    int client_x; // client area's top-left corner, screen coordinates
    int client_y;
    int client_width;
    int client_height;
    bool resizable;
};

struct Backend {
    const char *name;
    void (*create_window)(const BackendWindowInfo &info);
    void (*show_window)(HWND window, bool visible);
    void (*move_window)(const BackendWindowInfo &info);
    void (*destroy_window)(HWND window);
    // Client pixels, 0x00RRGGBB per pixel, `width` pixels a row.
    void (*present)(HWND window, const uint32_t *pixels, int width, int height);
    // The window's menu bar is `menu` (null for none) or has changed.
    void (*set_menu)(HWND window, HMENU menu);
    // Takes one piece of input; false when there is none.
    bool (*poll_input)(BackendInput *input);
    // Waits until input arrives or the clock reaches `deadline` (when
    // `has_deadline`); may return early.
    void (*wait_input)(bool has_deadline, uint32_t deadline);
    // The program polled the queue and found nothing; `deadline` (when
    // `has_deadline`) is when the next timer is due. Must not block; a
    // backend whose clock moves only when the program is idle moves it here.
    void (*poll_idle)(bool has_deadline, uint32_t deadline);
    SIZE (*screen_size)();
    uint32_t (*now_ms)();
};

// The backend in use: the headless one unless a program chose another.
const Backend &platform_backend();
void platform_set_backend(const Backend *backend);

const Backend &headless_backend();

// Called by the entry point before WinMain: chooses and opens the program's
// backend; false (after saying why on standard error) when it cannot run.
// The entry library a program links decides which backend this is.
bool platform_prepare_backend(const char *program);
