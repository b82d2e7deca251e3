// Window classes, and the system's icon, cursor and module handles.
#include "platform/core/window_internal.h"

#include <cstring>
#include <memory>
#include <strings.h>
#include <vector>

namespace portable_win32 {

namespace {

std::vector<std::unique_ptr<WindowClass>> &classes() {
    static std::vector<std::unique_ptr<WindowClass>> list;
    return list;
}

// Values that the layer hands out for the system's own resources.
const uintptr_t MODULE_HANDLE = 0x400000;
const uintptr_t APPLICATION_ICON = 0x10001;
const uintptr_t ARROW_CURSOR = 0x10003;

bool is_atom(LPCSTR name) {
    return (reinterpret_cast<uintptr_t>(name) >> 16) == 0;
}

} // namespace

const WindowClass *find_window_class(LPCSTR name) {
    if (!name) {
        return nullptr;
    }
    for (const auto &c : classes()) {
        if (is_atom(name) ? c->atom == reinterpret_cast<uintptr_t>(name)
                          : strcasecmp(c->name.c_str(), name) == 0) {
            return c.get();
        }
    }
    return nullptr;
}

} // namespace portable_win32

using namespace portable_win32;

ATOM WINAPI RegisterClassA(const WNDCLASSA *wc) {
    if (!wc || !wc->lpszClassName || is_atom(wc->lpszClassName) || !wc->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (find_window_class(wc->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    static ATOM next_atom = 0xC000;
    auto c = std::make_unique<WindowClass>();
    c->wc = *wc;
    c->name = wc->lpszClassName;
    if (wc->lpszMenuName && !is_atom(wc->lpszMenuName)) {
        c->menu_name = wc->lpszMenuName;
    }
    c->wc.lpszClassName = c->name.c_str();
    c->wc.lpszMenuName = c->menu_name.c_str();
    c->atom = next_atom++;
    classes().push_back(std::move(c));
    return classes().back()->atom;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (!instance && name == IDI_APPLICATION) {
        return reinterpret_cast<HICON>(APPLICATION_ICON);
    }
    return nullptr;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (!instance && name == IDC_ARROW) {
        return reinterpret_cast<HCURSOR>(ARROW_CURSOR);
    }
    return nullptr;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR module_name) {
    if (!module_name) {
        return reinterpret_cast<HMODULE>(MODULE_HANDLE);
    }
    return nullptr;
}
