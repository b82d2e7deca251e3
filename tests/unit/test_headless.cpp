// The headless backend through the layer: injected input becomes messages in
// Win32's order, the virtual clock moves only with idle waits, and misuse of
// the layer's calls is reported by results.
#include "platform/backend/headless/headless.h"
#include "platform/core/accounting.h"
#include "tests/support/portable_support.h"

#include <gtest/gtest.h>

using namespace portable_win32;

using namespace portable;

namespace {

class Headless : public ::testing::Test {
  protected:
    void SetUp() override {
        reset();
        hwnd = make_window(WS_CAPTION | WS_SYSMENU, 601, 540);
        ShowWindow(hwnd, SW_SHOW);
        reset();
    }
    void TearDown() override {
        on_message() = nullptr;
        headless_set_idle_hook(nullptr, nullptr);
        DestroyWindow(hwnd);
        drain();
    }

    std::vector<UINT> taken_messages() {
        std::vector<UINT> out;
        for (const MSG &m : drain()) {
            if (is_recorded(m.message) || m.message == WM_QUIT || m.message == WM_SYSCOMMAND) {
                out.push_back(m.message);
            }
        }
        return out;
    }

    HWND hwnd = nullptr;
};

TEST_F(Headless, ScreenAndMetricsAsUnderWine) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 19);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 19);
    EXPECT_EQ(GetSystemMetrics(SM_CXFIXEDFRAME), 3);
    EXPECT_EQ(GetSystemMetrics(SM_CXSIZEFRAME), 4);
}

TEST_F(Headless, ClickBecomesButtonMessages) {
    headless_click(hwnd, 10, 20);
    EXPECT_EQ(taken_messages(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    std::vector<Received> down = recorded(WM_LBUTTONDOWN);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(LOWORD(down[0].lparam), 10);
    EXPECT_EQ(HIWORD(down[0].lparam), 20);
    EXPECT_EQ(down[0].wparam, static_cast<WPARAM>(MK_LBUTTON));
}

TEST_F(Headless, TypedCharactersInWindows1252) {
    // Keys injected together keep their own characters through translation.
    headless_key(hwnd, 0xDE, 0xE9); // é
    headless_key(hwnd, 'A', 'A');   // with Shift on the display
    headless_key(hwnd, 'A', 'a');
    drain();
    std::vector<Received> chars = recorded(WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wparam, 233u);
    EXPECT_EQ(chars[1].wparam, 65u);
    EXPECT_EQ(chars[2].wparam, 97u);
    EXPECT_EQ(recorded(WM_KEYDOWN).size(), 3u);
    EXPECT_EQ(recorded(WM_KEYUP).size(), 3u);
}

TEST_F(Headless, ControlLetterMakesAControlCharacter) {
    headless_key_down(hwnd, VK_CONTROL, 0);
    headless_key_down(hwnd, 'A', 1);
    headless_key_up(hwnd, 'A');
    headless_key_up(hwnd, VK_CONTROL);
    drain();
    std::vector<Received> chars = recorded(WM_CHAR);
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wparam, 1u);
    std::vector<Received> downs = recorded(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].wparam, static_cast<WPARAM>(VK_CONTROL));
}

TEST_F(Headless, MenuChoiceOnlyForEnabledItems) {
    HMENU bar = CreateMenu();
    HMENU run = CreatePopupMenu();
    AppendMenuA(run, MF_STRING, 1, "&Animate");
    AppendMenuA(run, MF_STRING | MF_GRAYED, 9, "grayed");
    AppendMenuA(run, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(run), "&Run");
    SetMenu(hwnd, bar);
    EXPECT_EQ(headless_window_menu(hwnd), bar);
    for (unsigned id : {9u, 1u, 0u, 42u}) {
        headless_choose_menu(hwnd, id);
    }
    drain();
    std::vector<Received> commands = recorded(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wparam, 1u);
}

TEST_F(Headless, CloseBoxClosesThroughDefaultProcessing) {
    headless_close(hwnd);
    drain();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(recorded(WM_CLOSE).size(), 1u);
    EXPECT_EQ(recorded(WM_DESTROY).size(), 1u);
}

TEST_F(Headless, InputComesAfterPostedAndBeforeQuit) {
    headless_click(hwnd, 1, 1);
    PostQuitMessage(0);
    PostMessageA(hwnd, WM_USER + 5, 0, 0);
    EXPECT_EQ(taken_messages(),
              (std::vector<UINT>{WM_USER + 5, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_QUIT}));
}

TEST_F(Headless, ResizeAndExposure) {
    headless_resize(hwnd, 401, 340);
    drain();
    std::vector<Received> sizes = recorded(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(LOWORD(sizes[0].lparam), 395);
    EXPECT_EQ(HIWORD(sizes[0].lparam), 315);
    received().clear();
    headless_expose(hwnd);
    drain();
    EXPECT_EQ(recorded(WM_PAINT).size(), 1u);
    EXPECT_EQ(recorded(WM_ERASEBKGND).size(), 1u);
}

TEST_F(Headless, ClockMovesOnlyWhenIdle) {
    // Taking a message leaves the clock alone; a poll that finds nothing is
    // idle time, one millisecond when no timer is set.
    const DWORD start = GetTickCount();
    PostMessageA(hwnd, WM_USER, 0, 0);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetTickCount(), start);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetTickCount(), start + 1);
    // With a 100 ms timer, an endless wait ends exactly when it is due.
    const DWORD set = GetTickCount();
    SetTimer(hwnd, 2, 100, nullptr);
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE),
              static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(GetTickCount() - set, 100u);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    // Missed ticks are not queued up: one message however long the gap.
    headless_advance(1000);
    drain();
    EXPECT_EQ(recorded(WM_TIMER).size(), 1u);
    KillTimer(hwnd, 2);
    // A bounded wait with nothing to wake it moves the clock by its length.
    const DWORD before = GetTickCount();
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 250, QS_ALLINPUT, MWMO_INPUTAVAILABLE),
              static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(GetTickCount() - before, 250u);
}

TEST_F(Headless, PollingProgramSeesTimeAndTimersPass) {
    // A program that never blocks sees its timer fire every 100 ms, as a
    // blocking one does, and its loop ends.
    SetTimer(hwnd, 2, 100, nullptr);
    DWORD t0 = GetTickCount();
    MSG msg;
    while (GetTickCount() - t0 < 1050) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
    }
    EXPECT_EQ(recorded(WM_TIMER).size(), 10u);
    KillTimer(hwnd, 2);
    // Without a timer the clock still moves, a millisecond per empty poll.
    t0 = GetTickCount();
    int polls = 0;
    while (GetTickCount() - t0 < 50) {
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        polls++;
    }
    EXPECT_EQ(polls, 50);
}

TEST_F(Headless, IdleHookFeedsAnEndlessWait) {
    struct Context {
        HWND hwnd;
        int calls;
    } context{hwnd, 0};
    headless_set_idle_hook(
        [](void *p) {
            auto *c = static_cast<Context *>(p);
            c->calls++;
            headless_click(c->hwnd, 5, 6);
        },
        &context);
    const int starved = headless_starved_waits();
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE),
              static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(context.calls, 1);
    headless_set_idle_hook(nullptr, nullptr);
    drain();
    // Nothing can end this wait: it returns instead of hanging, and is counted.
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE),
              static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(headless_starved_waits(), starved + 1);
}

TEST_F(Headless, PaintedPixelsArePresented) {
    const int before = headless_present_count(hwnd);
    HDC dc = GetDC(hwnd);
    SetPixel(dc, 3, 3, RGB(1, 2, 3));
    ReleaseDC(hwnd, dc);
    drain();
    EXPECT_EQ(headless_present_count(hwnd), before + 1);
    drain();
    EXPECT_EQ(headless_present_count(hwnd), before + 1);
}

TEST(HeadlessMisuse, NullPointersAndBadHandles) {
    EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(TranslateMessage(nullptr));
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
    EXPECT_EQ(RegisterClassA(nullptr), 0);
    EXPECT_FALSE(GetClientRect(nullptr, nullptr));
    HWND hwnd = make_window(WS_OVERLAPPEDWINDOW, 100, 100);
    EXPECT_FALSE(GetClientRect(hwnd, nullptr));
    EXPECT_EQ(BeginPaint(hwnd, nullptr), nullptr);
    EXPECT_FALSE(EndPaint(hwnd, nullptr));
    DestroyWindow(hwnd);
    // Win32 documents failure for SetMenu on a window that is gone.
    EXPECT_FALSE(SetMenu(hwnd, nullptr));
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(1, nullptr, 0, QS_ALLINPUT, 0), WAIT_FAILED);

    const int blocks = platform_live_memory_blocks();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    EXPECT_EQ(platform_live_memory_blocks(), blocks + 1);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(platform_live_memory_blocks(), blocks);
    // A freed handle is refused, not followed.
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(-1)), nullptr);
    EXPECT_EQ(platform_live_memory_blocks(), blocks);
}

TEST(HeadlessMisuse, ContextOutlivingItsWindowDrawsNothingAndIsReleased) {
    HWND hwnd = make_window(WS_OVERLAPPEDWINDOW, 100, 100);
    const int objects = platform_live_gdi_objects(); // the class's brush made already
    HDC dc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(dc);
    ASSERT_NE(SetPixel(dc, 1, 1, RGB(9, 9, 9)), static_cast<COLORREF>(-1));
    DestroyWindow(hwnd);
    // Another window's pixels are never reached through the stale context.
    HWND other = make_window(WS_OVERLAPPEDWINDOW, 100, 100);
    EXPECT_EQ(SetPixel(dc, 1, 1, RGB(1, 2, 3)), static_cast<COLORREF>(-1));
    EXPECT_EQ(GetPixel(dc, 1, 1), CLR_INVALID);
    EXPECT_FALSE(Rectangle(dc, 0, 0, 50, 50));
    RECT all{0, 0, 50, 50};
    EXPECT_EQ(FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, memory, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(memory, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
    HDC other_dc = GetDC(other);
    EXPECT_EQ(GetPixel(other_dc, 1, 1), RGB(255, 255, 255));
    // Releasing reports the window gone, and frees the context all the same.
    EXPECT_EQ(ReleaseDC(hwnd, dc), 0);
    EXPECT_EQ(ReleaseDC(hwnd, dc), 0);
    ReleaseDC(other, other_dc);
    DeleteDC(memory);
    DestroyWindow(other);
    drain();
    EXPECT_EQ(platform_live_gdi_objects(), objects);
}

TEST(HeadlessMisuse, PostedQueueIsCappedLikeWin32) {
    int accepted = 0;
    while (accepted < 20000 && PostMessageA(nullptr, WM_USER, 0, 0)) {
        accepted++;
    }
    EXPECT_EQ(accepted, 10000);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
    drain();
}

} // namespace
