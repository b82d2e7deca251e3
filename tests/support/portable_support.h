// Helpers for tests that run both on the portable layer and on real Win32
// (under Wine): a recording window class, draining the queue, and counts of
// live objects where the platform can give them.
#pragma once

#include "platform/win32.h"

#include <functional>
#include <vector>

#ifndef _WIN32
#include "platform/core/accounting.h"

using namespace portable_win32;
#endif

namespace portable {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

// Messages that the recording procedure keeps; a real desktop sends many
// more (activation, focus, mouse moves), which tests ignore.
inline bool is_recorded(UINT message) {
    switch (message) {
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_PAINT:
    case WM_CLOSE:
    case WM_ERASEBKGND:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_COMMAND:
    case WM_TIMER:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return true;
    default:
        return message >= WM_USER && message < WM_USER + 0x100;
    }
}

inline std::vector<Received> &received() {
    static std::vector<Received> log;
    return log;
}

// Called for every recorded message before default processing; a test sets
// it to act inside the window procedure.
inline std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool *)> &on_message() {
    static std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool *)> hook;
    return hook;
}

inline LRESULT CALLBACK recording_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (is_recorded(message)) {
        received().push_back(Received{hwnd, message, wparam, lparam});
        if (on_message()) {
            bool handled = false;
            LRESULT result = on_message()(hwnd, message, wparam, lparam, &handled);
            if (handled) {
                return result;
            }
        }
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Registers the recording class once and returns its name.
inline const char *recording_class() {
    static bool registered = [] {
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = recording_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = CreateSolidBrush(RGB(255, 255, 255));
        wc.lpszClassName = "PortableTestClass";
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    return "PortableTestClass";
}

inline HWND make_window(DWORD style, int width, int height) {
    return CreateWindowExA(0, recording_class(), "Portable test", style, 0, 0, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Takes and dispatches every message now in the queue; returns those taken.
// WM_QUIT is taken and not dispatched. Paint requests are validated by the
// default procedure, so the loop ends.
inline std::vector<MSG> drain(int limit = 100000) {
    std::vector<MSG> taken;
    MSG msg;
    while (limit-- > 0 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        taken.push_back(msg);
        if (msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return taken;
}

// A clean start for a test: an empty queue, nothing recorded, no hook.
inline void reset() {
    drain();
    received().clear();
    on_message() = nullptr;
}

// Recorded messages of one kind.
inline std::vector<Received> recorded(UINT message) {
    std::vector<Received> out;
    for (const Received &r : received()) {
        if (r.message == message) {
            out.push_back(r);
        }
    }
    return out;
}

inline int live_gdi_objects() {
#ifdef _WIN32
    return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
#else
    return platform_live_gdi_objects();
#endif
}

} // namespace portable
