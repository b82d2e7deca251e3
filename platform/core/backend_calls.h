// The layer's calls into the backend in use, each in one place with what
// the layer does when the backend leaves that entry null.
#pragma once

#include "platform/backend/backend.h"

namespace portable_win32 {

inline void backend_create_window(const BackendWindowInfo &info) {
    if (const auto entry = platform_backend().create_window) {
        entry(info);
    }
}

inline void backend_show_window(HWND window, bool visible) {
    if (const auto entry = platform_backend().show_window) {
        entry(window, visible);
    }
}

inline void backend_move_window(const BackendWindowInfo &info) {
    if (const auto entry = platform_backend().move_window) {
        entry(info);
    }
}

inline void backend_destroy_window(HWND window) {
    if (const auto entry = platform_backend().destroy_window) {
        entry(window);
    }
}

inline void backend_present(HWND window, const uint32_t *pixels, int width, int height) {
    if (const auto entry = platform_backend().present) {
        entry(window, pixels, width, height);
    }
}

// No entry: every present needs the pixels.
inline bool backend_wants_pixels(HWND window) {
    const auto entry = platform_backend().wants_pixels;
    return !entry || entry(window);
}

inline void backend_set_menu(HWND window, HMENU menu) {
    if (const auto entry = platform_backend().set_menu) {
        entry(window, menu);
    }
}

// No entry: no input ever arrives.
inline bool backend_poll_input(BackendInput *input) {
    const auto entry = platform_backend().poll_input;
    return entry && entry(input);
}

inline void backend_poll_idle(bool has_deadline, uint32_t deadline) {
    if (const auto entry = platform_backend().poll_idle) {
        entry(has_deadline, deadline);
    }
}

// No entry: the screen of the headless backend.
inline SIZE backend_screen_size() {
    const auto entry = platform_backend().screen_size;
    return entry ? entry() : SIZE{1024, 768};
}

} // namespace portable_win32
