// Start-up, shutdown and the graphics window on the headless backend: the
// classes and windows that start-up makes and where it puts them, the tick
// timer, the origin following the window's size, the events that typed keys
// deliver, and what shutdown writes and releases. Each case runs in a process
// of its own.
#include "dovra/dovra.h"
#include "dovra/draw/renderer.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "dovra/shell/log.h"
#include "dovra/shell/run_menu.h"
#include "dovra/shell/windows.h"
#include "platform/backend/headless/headless.h"
#include "platform/core/window_internal.h"
#include "tests/support/event_support.h"
#include "tests/support/package_fixture.h"
#include "tests/support/portable_support.h"
#include "tests/support/scratch_directory.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace dovra;
using namespace portable_win32;

namespace {

HINSTANCE instance() {
    return GetModuleHandleA(nullptr);
}

TEST(StartUp, ClassesWindowsSurfaceAndTimer) {
    ASSERT_EQ(graphics_window, nullptr) << "runs in a process of its own";
    animate_on = 1;
    single_step = 1;
    ASSERT_EQ(DOVRA_startup(instance(), nullptr, nullptr, SW_SHOW), 1);
    const DWORD started = GetTickCount();
    EXPECT_EQ(animate_on, 0);
    EXPECT_EQ(single_step, 0);

    // Two classes that differ only in name and procedure.
    const WindowClass *draw = find_window_class("DrawWndClass");
    const WindowClass *text = find_window_class("TextWndClass");
    ASSERT_TRUE(draw && text);
    EXPECT_EQ(draw->wc.lpfnWndProc, graphics_window_proc);
    EXPECT_EQ(text->wc.lpfnWndProc, log_window_proc);
    for (const WindowClass *c : {draw, text}) {
        EXPECT_EQ(c->wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW)) << c->name;
        EXPECT_EQ(c->wc.cbClsExtra, 0) << c->name;
        EXPECT_EQ(c->wc.cbWndExtra, 0) << c->name;
        EXPECT_EQ(c->wc.hInstance, instance()) << c->name;
        EXPECT_EQ(c->wc.hIcon, LoadIconA(nullptr, IDI_APPLICATION)) << c->name;
        EXPECT_EQ(c->wc.hCursor, LoadCursorA(nullptr, IDC_ARROW)) << c->name;
        EXPECT_EQ(c->menu_name, "generic") << c->name;
    }
    ASSERT_EQ(draw->wc.hbrBackground, text->wc.hbrBackground);
    RECT pixel{0, 0, 1, 1};
    FillRect(surface_dc, &pixel, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    FillRect(surface_dc, &pixel, draw->wc.hbrBackground);
    EXPECT_EQ(GetPixel(surface_dc, 0, 0), RGB(255, 255, 255));

    // The screen is 1024 x 768: the log window takes its bottom third.
    struct Placement {
        HWND window;
        const char *class_name, *title;
        DWORD style;
        RECT outer;
        int client_width, client_height;
    } placements[] = {
        {graphics_window,
         "DrawWndClass",
         "DOVRA Graphics",
         WS_CAPTION | WS_SYSMENU,
         {0, 0, 601, 540},
         595,
         496},
        {log_window,
         "TextWndClass",
         "DOVRA Text",
         WS_OVERLAPPEDWINDOW,
         {0, 2 * 768 / 3 + 1, 1024, 2 * 768 / 3 + 1 + 768 / 3},
         1016,
         229},
    };
    for (const Placement &p : placements) {
        const Window *w = find_window(p.window);
        ASSERT_NE(w, nullptr) << p.title;
        EXPECT_EQ(w->window_class->name, p.class_name);
        EXPECT_EQ(w->title, p.title);
        EXPECT_EQ(w->style & ~static_cast<DWORD>(WS_VISIBLE), p.style) << p.title;
        EXPECT_TRUE(w->visible) << p.title;
        EXPECT_EQ(w->outer.left, p.outer.left) << p.title;
        EXPECT_EQ(w->outer.top, p.outer.top) << p.title;
        EXPECT_EQ(w->outer.right, p.outer.right) << p.title;
        EXPECT_EQ(w->outer.bottom, p.outer.bottom) << p.title;
        EXPECT_EQ(w->client_width, p.client_width) << p.title;
        EXPECT_EQ(w->client_height, p.client_height) << p.title;
    }
    EXPECT_EQ(origin_x, 297);
    EXPECT_EQ(origin_y, 248);
    EXPECT_EQ(GetSubMenu(GetMenu(graphics_window), 0), run_menu);
    EXPECT_EQ(headless_window_menu(graphics_window), GetMenu(graphics_window));

    // The surface is 601 x 540 pixels.
    EXPECT_EQ(SetPixel(surface_dc, 600, 539, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(surface_dc, 601, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(surface_dc, 0, 540), CLR_INVALID);

    // Timer 2 of the graphics window, every 100 ms.
    for (DWORD tick = 1; tick <= 3; tick++) {
        MSG msg{};
        bool taken = false;
        for (int polls = 0; polls < 10 && !taken; polls++) {
            taken = PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE);
        }
        ASSERT_TRUE(taken);
        EXPECT_EQ(msg.hwnd, graphics_window);
        EXPECT_EQ(msg.wParam, 2u);
        EXPECT_EQ(msg.time - started, 100 * tick);
    }
}

TEST(StartUp, APreviousInstanceMeansNoClassesAreRegistered) {
    ASSERT_EQ(graphics_window, nullptr) << "runs in a process of its own";
    EXPECT_EQ(DOVRA_startup(instance(), instance(), nullptr, SW_SHOW), 1);
    EXPECT_EQ(find_window_class("DrawWndClass"), nullptr);
    EXPECT_EQ(find_window_class("TextWndClass"), nullptr);
}

TEST(GraphicsWindow, TheOriginFollowsTheClientArea) {
    package_fixture::start();
    // The client area is 6 pixels narrower and 44 lower than the window.
    struct Case {
        int width, height;
        int32_t x, y;
    } cases[] = {
        {600, 540, 297, 248}, {602, 541, 298, 248}, {603, 545, 298, 250},
        {7, 44, 0, 0},        {601, 540, 297, 248},
    };
    for (const Case &c : cases) {
        headless_resize(graphics_window, c.width, c.height);
        portable::drain();
        EXPECT_EQ(origin_x, c.x) << c.width << " x " << c.height;
        EXPECT_EQ(origin_y, c.y) << c.width << " x " << c.height;
    }
}

// Typed keys as the display delivers them, followed by a click in the middle
// of the window: the events that reach the program.
TEST(GraphicsWindow, EventsOfTypedKeys) {
    package_fixture::start();
    enum Action { DOWN, UP, PRESS };
    struct Key {
        Action action;
        unsigned vk;
        unsigned char ch;
        bool in_log_window;
    };
    const Key CTRL_DOWN{DOWN, VK_CONTROL, 0, false};
    const Key CTRL_UP{UP, VK_CONTROL, 0, false};
    struct Event {
        int kind;
        char key;
        bool operator==(const Event &o) const { return kind == o.kind && key == o.key; }
    };
    const Event CLICK{DOVRA_MOUSE, 0};
    struct Case {
        const char *name;
        std::vector<Key> keys;
        std::vector<Event> events;
    } cases[] = {
        {"a", {{PRESS, 'A', 'a', false}}, {{DOVRA_KBD, 'a'}, CLICK}},
        {"Shift+A",
         {{DOWN, VK_SHIFT, 0, false}, {PRESS, 'A', 'A', false}, {UP, VK_SHIFT, 0, false}},
         {{DOVRA_KBD, 'A'}, CLICK}},
        {"Ctrl+H", {CTRL_DOWN, {PRESS, 'H', 0x08, false}, CTRL_UP}, {CLICK}},
        {"Ctrl+Shift+H",
         {CTRL_DOWN,
          {DOWN, VK_SHIFT, 0, false},
          {PRESS, 'H', 0x08, false},
          {UP, VK_SHIFT, 0, false},
          CTRL_UP},
         {CLICK}},
        {"Ctrl+B", {CTRL_DOWN, {PRESS, 'B', 0x02, false}, CTRL_UP}, {CLICK}},
        {"Ctrl, then a", {CTRL_DOWN, CTRL_UP, {PRESS, 'A', 'a', false}}, {{DOVRA_KBD, 'a'}, CLICK}},
        // Keys typed in the log window are passed on, and their key-downs
        // make the same characters in the graphics window.
        {"a in the log window", {{PRESS, 'A', 'a', true}}, {{DOVRA_KBD, 'a'}, CLICK}},
        {"Ctrl+H in the log window",
         {{DOWN, VK_CONTROL, 0, true}, {PRESS, 'H', 0x08, true}, {UP, VK_CONTROL, 0, true}},
         {CLICK}},
    };
    for (const Case &c : cases) {
        portable::drain();
        ctrl_down = 0;
        for (const Key &k : c.keys) {
            HWND window = k.in_log_window ? log_window : graphics_window;
            if (k.action == DOWN) {
                headless_key_down(window, k.vk, k.ch);
            } else if (k.action == UP) {
                headless_key_up(window, k.vk);
            } else {
                headless_key(window, k.vk, k.ch);
            }
        }
        headless_click(graphics_window, origin_x, origin_y);
        std::vector<Event> events;
        for (int i = 0; i < 5 && (events.empty() || events.back().kind == DOVRA_KBD); i++) {
            int x = 1, y = 1;
            char key = 1;
            const int kind = DOVRA_next_event(&x, &y, &key);
            events.push_back(Event{kind, kind == DOVRA_KBD ? key : '\0'});
            if (kind == DOVRA_MOUSE) {
                EXPECT_EQ(x, 0) << c.name;
                EXPECT_EQ(y, 0) << c.name;
            }
        }
        EXPECT_TRUE(events == c.events) << c.name;
        EXPECT_EQ(animate_on, 0) << c.name;
    }
}

// Shutdown writes out a periodic run still being counted, closes the script
// and gives back the window's context; drawing and pumping afterwards show
// nothing and do no harm.
TEST(Shutdown, WritesThePendingRunAndReleasesTheContext) {
    ScratchDirectory scratch;
    package_fixture::start();
    run_command(IDM_RECORD);
    DOVRA_set_animation(ANIM_MODE_RUN);
    for (int i = 0; i < 3; i++) {
        ASSERT_EQ(DOVRA_next_event(nullptr, nullptr, nullptr), DOVRA_PERIODIC);
    }
    EXPECT_EQ(DOVRA_shutdown(), 1);
    EXPECT_EQ(script_stream, nullptr);
    EXPECT_EQ(window_dc, nullptr);
    EXPECT_EQ(read_script_file(), "DOVRA_PERIODIC(3);\n");

    portable::drain();
    const int shown = headless_present_count(graphics_window);
    EXPECT_EQ(DOVRA_draw_circle(3, 0, 0, 50), 1);
    pump_one_message();
    EXPECT_EQ(headless_present_count(graphics_window), shown);
}

} // namespace
