// Windows: creation with its messages, showing and hiding, destruction,
// geometry, client pixels and the default window procedure.
#include "platform/core/backend_calls.h"
#include "platform/core/core_internal.h"
#include "platform/core/handle_table.h"
#include "platform/core/window_internal.h"

#include <algorithm>

namespace portable_win32 {

namespace {

HandleTable<Window> &windows() {
    static HandleTable<Window> table;
    return table;
}

int frame_size(DWORD style) {
    if (style & WS_THICKFRAME) {
        return GetSystemMetrics(SM_CXFRAME);
    }
    if ((style & WS_DLGFRAME) || (style & WS_CAPTION) == WS_CAPTION) {
        return GetSystemMetrics(SM_CXDLGFRAME);
    }
    if (style & WS_BORDER) {
        return GetSystemMetrics(SM_CXBORDER);
    }
    return 0;
}

int top_of_client(const Window &w) {
    int top = frame_size(w.style);
    if ((w.style & WS_CAPTION) == WS_CAPTION) {
        top += GetSystemMetrics(SM_CYCAPTION);
    }
    if (w.menu && !(w.style & WS_CHILD)) {
        top += GetSystemMetrics(SM_CYMENU);
    }
    return top;
}

// The client area's top-left corner in screen coordinates.
POINT client_origin(const Window &w) {
    return POINT{w.outer.left + frame_size(w.style), w.outer.top + top_of_client(w)};
}

BackendWindowInfo info_of(const Window &w) {
    const POINT origin = client_origin(w);
    return BackendWindowInfo{
        w.handle, w.title.c_str(), w.outer,         origin.x,
        origin.y, w.client_width,  w.client_height, (w.style & WS_THICKFRAME) != 0,
        w.surface};
}

void send_size(Window &w) {
    SendMessageA(w.handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w.client_width, w.client_height));
}

} // namespace

Window *find_window(HWND hwnd) {
    return hwnd ? windows().find(hwnd) : nullptr;
}

// Live windows in creation order, kept as they come and go so that the
// queue can look at them on every message without building a list.
std::vector<Window *> &window_order() {
    static std::vector<Window *> order;
    return order;
}

const std::vector<Window *> &all_windows() {
    return window_order();
}

void update_client_size(Window &w) {
    const int frame = frame_size(w.style);
    const int width = std::max<LONG>(0, w.outer.right - w.outer.left - 2 * frame);
    const int height = std::max<LONG>(0, w.outer.bottom - w.outer.top - top_of_client(w) - frame);
    if (width == w.client_width && height == w.client_height) {
        return;
    }
    w.client_width = width;
    w.client_height = height;
    w.surface->resize(w.client_width, w.client_height);
    backend_move_window(info_of(w));
    if (!w.needs_size) {
        send_size(w);
    }
    InvalidateRect(w.handle, nullptr, TRUE);
}

void present_changed_windows() {
    for (Window *w : all_windows()) {
        Surface &s = *w->surface;
        if (s.changed && w->visible) {
            // A backend that looks at the pixels only now and then says
            // when; a block copy of a frame into them may wait till then.
            const bool wanted = backend_wants_pixels(w->handle);
            backend_present(w->handle, wanted ? surface_pixels(s) : nullptr, s.width, s.height);
            s.changed = false;
        }
    }
}

} // namespace portable_win32

using namespace portable_win32;

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    const WindowClass *window_class = find_window_class(class_name);
    if (!window_class) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent && !find_window(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (menu && !is_menu(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return nullptr;
    }
    if (x == CW_USEDEFAULT) {
        x = y = 0;
    }
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    auto owned = std::make_unique<Window>();
    Window &w = *owned;
    w.window_class = window_class;
    w.proc = window_class->wc.lpfnWndProc;
    w.title = window_name ? window_name : "";
    w.style = style & ~static_cast<DWORD>(WS_VISIBLE);
    w.ex_style = ex_style;
    // Sizes are kept within what a 16-bit WM_SIZE can carry and what a
    // pixel buffer can hold.
    width = std::clamp(width, 0, 32767);
    height = std::clamp(height, 0, 32767);
    w.outer = RECT{x, y, static_cast<LONG>(x + static_cast<int64_t>(width)),
                   static_cast<LONG>(y + static_cast<int64_t>(height))};
    w.menu = (style & WS_CHILD) ? nullptr : menu;
    HWND hwnd = to_handle<HWND>(windows().add(std::move(owned)));
    window_order().push_back(&w);
    w.handle = hwnd;
    const int frame = frame_size(w.style);
    w.client_width = std::max(0, width - 2 * frame);
    w.client_height = std::max(0, height - top_of_client(w) - frame);
    w.surface->resize(w.client_width, w.client_height);
    w.surface->frames_unseen = platform_backend().wants_pixels != nullptr;
    backend_create_window(info_of(w));
    if (w.menu) {
        backend_set_menu(hwnd, w.menu);
    }

    CREATESTRUCTA cs{
        param,       instance,   menu,    parent, height, width, y, x, static_cast<LONG>(style),
        window_name, class_name, ex_style};
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!find_window(hwnd)) {
        return nullptr; // destroyed during its own creation
    }
    if (style & WS_VISIBLE) {
        ShowWindow(hwnd, SW_SHOW);
    }
    return hwnd;
}

BOOL WINAPI ShowWindow(HWND hwnd, int show_command) {
    Window *w = find_window(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const bool was_visible = w->visible;
    const bool show = show_command != SW_HIDE;
    if (show != was_visible) {
        w->visible = show;
        if (show) {
            w->style |= WS_VISIBLE;
        } else {
            w->style &= ~static_cast<DWORD>(WS_VISIBLE);
        }
        SendMessageA(hwnd, WM_SHOWWINDOW, show, 0);
        if (!(w = find_window(hwnd))) {
            return was_visible;
        }
        backend_show_window(hwnd, show);
    }
    if (show && w->needs_size) {
        w->needs_size = false;
        send_size(*w);
        if (!(w = find_window(hwnd))) {
            return was_visible;
        }
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(client_origin(*w).x, client_origin(*w).y));
    }
    if (show && !was_visible) {
        InvalidateRect(hwnd, nullptr, TRUE);
        if ((w = find_window(hwnd))) {
            w->surface->changed = true;
        }
    }
    return was_visible;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    Window *w = find_window(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying) {
        return TRUE;
    }
    w->destroying = true;
    if (w->visible) {
        w->visible = false;
        backend_show_window(hwnd, false);
    }
    kill_window_timers(hwnd);
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    // The window's own messages go with it, and so does its menu bar.
    remove_window_messages(hwnd);
    if (Window *still = find_window(hwnd)) {
        if (still->menu) {
            destroy_menu_tree(still->menu);
        }
    }
    backend_destroy_window(hwnd);
    Window *gone = find_window(hwnd);
    // Contexts still holding the surface find it detached and draw nothing;
    // a backend that keeps it finds the last frame copied into it.
    settle_surface(*gone->surface);
    gone->surface->detached = true;
    window_order().erase(std::remove(window_order().begin(), window_order().end(), gone),
                         window_order().end());
    windows().remove(hwnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) {
    return find_window(hwnd) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    const Window *w = find_window(hwnd);
    return w && w->visible;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    const Window *w = find_window(hwnd);
    if (!w || !rect) {
        SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = RECT{0, 0, w->client_width, w->client_height};
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    (void)lparam;
    Window *w = find_window(hwnd);
    if (!w) {
        return 0;
    }
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == SC_CLOSE) {
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hwnd, &ps)) {
            EndPaint(hwnd, &ps);
        }
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = w->window_class->wc.hbrBackground;
        if (!brush) {
            return 0;
        }
        RECT client{0, 0, w->client_width, w->client_height};
        FillRect(reinterpret_cast<HDC>(wparam), &client, brush);
        return 1;
    }
    default:
        return 0;
    }
}
