// The seam between the portable Win32 layer and a display. A backend is a
// fixed table of functions: it mirrors the layer's windows natively, shows
// their client pixels and menu bars, delivers input and owns the clock.
// README.md in this folder gives each entry's contract and the clock's rules.
#pragma once

#include "platform/backend/program_backends.h"
#include "platform/core/win32_types.h"
#include "platform/gdi/surface.h"

#include <cstdint>
#include <memory>
#include <string>

namespace portable_win32 {

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
    // The window's client pixels, for a backend that keeps them beyond a
    // present (it may hold the reference; the pixels are never its to change).
    std::shared_ptr<const Surface> surface;
};

// Every entry but `name`, `now_ms` and `wait_input` may be null: the layer
// then does without it. The README of this folder says who calls each entry,
// when, and what it may not do.
struct Backend {
    const char *name;
    // Opens the backend for `program` (its path as started) before the
    // program's entry runs; false with a one-line reason in `error`.
    bool (*open)(const char *program, std::string *error);
    // After the program's entry returned `exit_code`: the process's exit code.
    int (*finish)(int exit_code);
    void (*create_window)(const BackendWindowInfo &info);
    void (*show_window)(HWND window, bool visible);
    void (*move_window)(const BackendWindowInfo &info);
    void (*destroy_window)(HWND window);
    // Client pixels, 0x00RRGGBB per pixel, `width` pixels a row; valid only
    // during the call. Null when `wants_pixels` said no for this present.
    void (*present)(HWND window, const uint32_t *pixels, int width, int height);
    // Before each present: whether it needs the pixels. A backend that has
    // this entry looks at its windows' pixels only now and then (a replay
    // that writes a picture every N frames); copies of whole frames into
    // them are then made only when needed, and a surface it keeps must be
    // read through surface_pixels.
    bool (*wants_pixels)(HWND window);
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

// The backend in use: the headless one until open_program_backend chose.
const Backend &platform_backend();

// The one place that chooses a program's backend, called by the process
// entry before the program's own: the replay backend when the environment
// asks for a headless replay (DOVRA_REPLAY), else the first of
// `display_backends` (null-terminated, best first; what the program's link
// library offers) that opens, else headless when the list is empty. False,
// after one line on standard error naming the program, when none can run.
bool open_program_backend(const char *program, const Backend *const *display_backends);

// After the program's entry returned: the process's exit code.
int finish_program_backend(int exit_code);

// The backends that the layer always has.
const Backend &headless_backend();
const Backend &replay_backend();

} // namespace portable_win32
