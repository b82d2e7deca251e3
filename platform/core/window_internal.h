// The layer's windows as the other parts of the layer see them: geometry,
// visibility, menu, update region and the surface of their client pixels.
#pragma once

#include "platform/gdi/surface.h"
#include "platform/win32.h"

#include <cstdint>
#include <string>
#include <vector>

namespace portable_win32 {

struct WindowClass {
    WNDCLASSA wc;
    std::string name;
    std::string menu_name;
    ATOM atom;
};

struct Window {
    HWND handle = nullptr;
    const WindowClass *window_class = nullptr;
    WNDPROC proc = nullptr;
    std::string title;
    DWORD style = 0;
    DWORD ex_style = 0;
    RECT outer{}; // screen coordinates
    int client_width = 0;
    int client_height = 0;
    bool visible = false;
    bool needs_size = true; // the first show sends WM_SIZE
    bool destroying = false;
    HMENU menu = nullptr;
    // Update region, kept as its bounding rectangle in client coordinates.
    bool invalid = false;
    bool erase_pending = false;
    RECT invalid_rect{};
    // Client pixels, client_width x client_height, shared with the device
    // contexts drawing on them.
    SurfaceRef surface = std::make_shared<Surface>();
};

// Null for a handle that names no live window.
Window *find_window(HWND hwnd);
const WindowClass *find_window_class(LPCSTR name);

// Live windows in creation order. Not to be used while creating or
// destroying a window.
const std::vector<Window *> &all_windows();

// The window's client size follows its outer size, style and menu; sends
// WM_SIZE when it changed and the window has had its first size.
void update_client_size(Window &window);

// Shows every window whose client pixels changed since they were last shown.
void present_changed_windows();

} // namespace portable_win32
