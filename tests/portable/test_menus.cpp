// Menus: building a menu bar with a drop-down, reading it back, check marks
// and states by command id and by position.
#include "tests/support/portable_support.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct RunMenu {
    HMENU bar;
    HMENU run;
};

RunMenu build() {
    RunMenu m{CreateMenu(), CreatePopupMenu()};
    AppendMenuA(m.run, MF_STRING, 1, "&Animate\tCtrl+A");
    AppendMenuA(m.run, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m.run, MF_STRING | MF_CHECKED, 4, "&Logging\tCtrl+L");
    AppendMenuA(m.run, MF_STRING | MF_GRAYED, 9, "A grayed line");
    AppendMenuA(m.bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m.run), "&Run");
    return m;
}

std::string text_at(HMENU menu, UINT position) {
    char buffer[64];
    const int n = GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

TEST(Menus, ReadBack) {
    RunMenu m = build();
    EXPECT_EQ(GetMenuItemCount(m.bar), 1);
    EXPECT_EQ(GetMenuItemCount(m.run), 4);
    EXPECT_EQ(GetSubMenu(m.bar, 0), m.run);
    EXPECT_EQ(text_at(m.bar, 0), "&Run");
    EXPECT_EQ(text_at(m.run, 0), "&Animate\tCtrl+A");
    EXPECT_EQ(text_at(m.run, 1), "");
    EXPECT_EQ(text_at(m.run, 2), "&Logging\tCtrl+L");
    EXPECT_EQ(GetMenuItemID(m.run, 2), 4u);

    struct Case {
        UINT position;
        UINT state;
    } cases[] = {{0, MF_STRING},
                 {1, MF_SEPARATOR | MF_GRAYED | MF_DISABLED},
                 {2, MF_CHECKED},
                 {3, MF_GRAYED}};
    for (const Case &c : cases) {
        EXPECT_EQ(GetMenuState(m.run, c.position, MF_BYPOSITION), c.state) << c.position;
    }
    // A drop-down's state holds its item count in the high byte.
    EXPECT_EQ(GetMenuState(m.bar, 0, MF_BYPOSITION), static_cast<UINT>(MF_POPUP | (4 << 8)));
    EXPECT_EQ(GetMenuState(m.run, 7, MF_BYPOSITION), static_cast<UINT>(-1));
    DestroyMenu(m.bar);
}

TEST(Menus, CheckMarksByCommandThroughTheBar) {
    RunMenu m = build();
    // CheckMenuItem gives the previous state; the bar finds items of its drop-down.
    EXPECT_EQ(CheckMenuItem(m.bar, 4, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(m.run, 4, MF_BYCOMMAND), static_cast<UINT>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(m.run, 4, MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(m.run, 4, MF_CHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(m.bar, 4, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(m.run, 1, MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(GetMenuState(m.run, 1, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
    // Unknown ids are reported by the result.
    EXPECT_EQ(CheckMenuItem(m.run, 77, MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(GetMenuState(m.run, 77, MF_BYCOMMAND), static_cast<UINT>(-1));
    DestroyMenu(m.bar);
}

TEST(Menus, AttachedToAWindow) {
    RunMenu m = build();
    HWND hwnd = portable::make_window(WS_CAPTION | WS_SYSMENU, 601, 540);
    ASSERT_TRUE(SetMenu(hwnd, m.bar));
    EXPECT_TRUE(DrawMenuBar(hwnd));
    EXPECT_EQ(GetMenu(hwnd), m.bar);
    RECT r;
    GetClientRect(hwnd, &r);
    EXPECT_EQ(r.bottom, 496);
    DestroyWindow(hwnd);
    portable::drain();
}

TEST(Menus, BadHandles) {
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(DestroyMenu(menu));
    EXPECT_EQ(GetMenuItemCount(menu), -1);
    EXPECT_FALSE(AppendMenuA(menu, MF_STRING, 1, "x"));
    EXPECT_EQ(CheckMenuItem(menu, 1, MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(GetMenuStringA(menu, 0, nullptr, 0, MF_BYPOSITION), 0);
    EXPECT_FALSE(DestroyMenu(menu));
}

} // namespace
