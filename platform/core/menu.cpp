// Menus: menu bars and drop-down menus, their items, check marks and states,
// and attaching a menu bar to a window.
#include "platform/core/backend_calls.h"
#include "platform/core/core_internal.h"
#include "platform/core/handle_table.h"
#include "platform/core/window_internal.h"

#include <cstring>
#include <string>
#include <vector>

namespace portable_win32 {

namespace {

struct MenuItem {
    UINT flags; // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR
    UINT_PTR id;
    std::string text;
    HMENU submenu;
};

struct Menu {
    bool popup;
    std::vector<MenuItem> items;
};

HandleTable<Menu> &menus() {
    static HandleTable<Menu> table;
    return table;
}

Menu *find_menu(HMENU menu) {
    return menu ? menus().find(menu) : nullptr;
}

HMENU create(bool popup) {
    auto m = std::make_unique<Menu>();
    m->popup = popup;
    return to_handle<HMENU>(menus().add(std::move(m)));
}

// Finds an item by position or by command id, searching drop-downs for a
// command the way Win32 does. `owner` receives the menu that holds it.
MenuItem *find_item(HMENU menu, UINT id, UINT flags, HMENU *owner, int depth = 0) {
    Menu *m = find_menu(menu);
    if (!m || depth > 16) {
        return nullptr;
    }
    if (flags & MF_BYPOSITION) {
        if (id >= m->items.size()) {
            return nullptr;
        }
        if (owner) {
            *owner = menu;
        }
        return &m->items[id];
    }
    for (MenuItem &item : m->items) {
        if (item.flags & MF_POPUP) {
            if (MenuItem *inner = find_item(item.submenu, id, flags, owner, depth + 1)) {
                return inner;
            }
        } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
            if (owner) {
                *owner = menu;
            }
            return &item;
        }
    }
    return nullptr;
}

bool contains(HMENU menu, HMENU target, int depth = 0) {
    if (menu == target) {
        return true;
    }
    Menu *m = find_menu(menu);
    if (!m || depth > 16) {
        return false;
    }
    for (const MenuItem &item : m->items) {
        if ((item.flags & MF_POPUP) && contains(item.submenu, target, depth + 1)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool is_menu(HMENU menu) {
    return find_menu(menu) != nullptr;
}

bool menu_command_enabled(HMENU menu, UINT id) {
    const MenuItem *item = find_item(menu, id, MF_BYCOMMAND, nullptr);
    return item && !(item->flags & (MF_GRAYED | MF_DISABLED));
}

void destroy_menu_tree(HMENU menu) {
    Menu *m = find_menu(menu);
    if (!m) {
        return;
    }
    std::vector<HMENU> subs;
    for (const MenuItem &item : m->items) {
        if (item.flags & MF_POPUP) {
            subs.push_back(item.submenu);
        }
    }
    menus().remove(menu);
    for (HMENU sub : subs) {
        destroy_menu_tree(sub);
    }
}

void menu_changed(HMENU menu) {
    for (Window *w : all_windows()) {
        if (w->menu && contains(w->menu, menu)) {
            backend_set_menu(w->handle, w->menu);
        }
    }
}

} // namespace portable_win32

using namespace portable_win32;

HMENU WINAPI CreateMenu(void) {
    return create(false);
}

HMENU WINAPI CreatePopupMenu(void) {
    return create(true);
}

BOOL WINAPI DestroyMenu(HMENU menu) {
    if (!find_menu(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    destroy_menu_tree(menu);
    return TRUE;
}

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    Menu *m = find_menu(menu);
    if (!m) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    const UINT kept = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR;
    MenuItem item{flags & kept, id, "", nullptr};
    if (flags & MF_POPUP) {
        item.submenu = reinterpret_cast<HMENU>(id);
        if (!find_menu(item.submenu) || contains(item.submenu, menu)) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
    }
    if (flags & MF_SEPARATOR) {
        item.flags |= MF_GRAYED | MF_DISABLED; // a separator can never be chosen
    } else if (text) {
        item.text = text;
    }
    m->items.push_back(item);
    menu_changed(menu);
    return TRUE;
}

BOOL WINAPI SetMenu(HWND hwnd, HMENU menu) {
    Window *w = find_window(hwnd);
    if (!w || (w->style & WS_CHILD)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (menu && !find_menu(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    w->menu = menu;
    backend_set_menu(hwnd, menu);
    // The menu bar takes its height from the client area.
    update_client_size(*w);
    return TRUE;
}

HMENU WINAPI GetMenu(HWND hwnd) {
    const Window *w = find_window(hwnd);
    return w ? w->menu : nullptr;
}

BOOL WINAPI DrawMenuBar(HWND hwnd) {
    const Window *w = find_window(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    backend_set_menu(hwnd, w->menu);
    return TRUE;
}

DWORD WINAPI CheckMenuItem(HMENU menu, UINT id, UINT check) {
    HMENU owner = nullptr;
    MenuItem *item = find_item(menu, id, check & MF_BYPOSITION, &owner);
    if (!item) {
        return static_cast<DWORD>(-1);
    }
    const DWORD previous = item->flags & MF_CHECKED;
    if (check & MF_CHECKED) {
        item->flags |= MF_CHECKED;
    } else {
        item->flags &= ~static_cast<UINT>(MF_CHECKED);
    }
    menu_changed(owner);
    return previous;
}

UINT WINAPI GetMenuState(HMENU menu, UINT id, UINT flags) {
    MenuItem *item = find_item(menu, id, flags & MF_BYPOSITION, nullptr);
    if (!item) {
        return static_cast<UINT>(-1);
    }
    if (item->flags & MF_POPUP) {
        // A drop-down's state carries its item count in the high byte.
        const Menu *sub = find_menu(item->submenu);
        const UINT count = sub ? static_cast<UINT>(sub->items.size()) : 0;
        return (count << 8) | (item->flags & 0xFF);
    }
    return item->flags;
}

int WINAPI GetMenuItemCount(HMENU menu) {
    const Menu *m = find_menu(menu);
    if (!m) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return -1;
    }
    return static_cast<int>(m->items.size());
}

int WINAPI GetMenuStringA(HMENU menu, UINT id, LPSTR text, int max_count, UINT flags) {
    const MenuItem *item = find_item(menu, id, flags & MF_BYPOSITION, nullptr);
    if (!item) {
        return 0;
    }
    const int length = static_cast<int>(item->text.size());
    if (!text || max_count <= 0) {
        return length;
    }
    const int copied = length < max_count - 1 ? length : max_count - 1;
    std::memcpy(text, item->text.data(), static_cast<std::size_t>(copied));
    text[copied] = '\0';
    return copied;
}

HMENU WINAPI GetSubMenu(HMENU menu, int position) {
    const Menu *m = find_menu(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) {
        return nullptr;
    }
    const MenuItem &item = m->items[static_cast<std::size_t>(position)];
    return (item.flags & MF_POPUP) ? item.submenu : nullptr;
}

UINT WINAPI GetMenuItemID(HMENU menu, int position) {
    const Menu *m = find_menu(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) {
        return static_cast<UINT>(-1);
    }
    const MenuItem &item = m->items[static_cast<std::size_t>(position)];
    if (item.flags & MF_POPUP) {
        return static_cast<UINT>(-1);
    }
    return item.flags & MF_SEPARATOR ? 0 : static_cast<UINT>(item.id);
}
