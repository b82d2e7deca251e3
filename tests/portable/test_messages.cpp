// The message queue: retrieval order, translation of keys into characters,
// a flood of posted clicks, waiting for messages, and timers.
#include "tests/support/portable_support.h"

#include <gtest/gtest.h>

using namespace portable;

namespace {

class Messages : public ::testing::Test {
  protected:
    void SetUp() override {
        reset();
        hwnd = make_window(WS_OVERLAPPEDWINDOW, 300, 200);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override {
        DestroyWindow(hwnd);
        drain();
    }

    // Waits (blocking in MsgWaitForMultipleObjectsEx) until a message of the
    // kind arrives, dispatching others; gives up after `limit` milliseconds.
    bool wait_for(UINT message, DWORD limit, MSG *out) {
        const DWORD start = GetTickCount();
        for (;;) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == message) {
                    *out = msg;
                    return true;
                }
                DispatchMessageA(&msg);
            }
            const DWORD spent = GetTickCount() - start;
            if (spent >= limit) {
                return false;
            }
            MsgWaitForMultipleObjectsEx(0, nullptr, limit - spent, QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE);
        }
    }

    HWND hwnd = nullptr;
};

TEST_F(Messages, RetrievalOrderPostedQuitPaintTimer) {
    ShowWindow(hwnd, SW_SHOW);
    drain();
    // A timer that is already due when the other messages are queued.
    ASSERT_NE(SetTimer(hwnd, 5, 10, nullptr), 0u);
    MSG msg;
    for (int i = 0; i < 100 && !PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE); i++) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 40, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    PostQuitMessage(3);
    PostMessageA(hwnd, WM_USER + 1, 0, 0);
    PostMessageA(nullptr, WM_USER + 2, 0, 0);

    std::vector<UINT> order;
    while (order.size() < 5 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            EXPECT_EQ(msg.wParam, 3u);
            order.push_back(msg.message);
        } else if (is_recorded(msg.message) || msg.message == WM_QUIT) {
            order.push_back(msg.message);
            DispatchMessageA(&msg);
        } else {
            DispatchMessageA(&msg);
        }
    }
    KillTimer(hwnd, 5);
    const std::vector<UINT> expected = {WM_USER + 1, WM_USER + 2, WM_QUIT, WM_PAINT, WM_TIMER};
    EXPECT_EQ(order, expected);
}

TEST_F(Messages, PaintRepeatsUntilValidated) {
    ShowWindow(hwnd, SW_SHOW);
    drain();
    InvalidateRect(hwnd, nullptr, FALSE);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    // Not dispatched, so not validated: the window asks again.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, hwnd);
    PAINTSTRUCT ps;
    ASSERT_NE(BeginPaint(hwnd, &ps), nullptr);
    EXPECT_EQ(ps.rcPaint.right, 292);
    EXPECT_EQ(ps.rcPaint.bottom, 173);
    EndPaint(hwnd, &ps);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
}

TEST_F(Messages, KeyDownTranslatesToCharacter) {
    struct Case {
        WPARAM vk;
        WPARAM ch;
    } cases[] = {{'A', 97}, {'Z', 122}, {'7', 55}, {VK_SPACE, 32}, {VK_RETURN, 13}};
    for (const Case &c : cases) {
        PostMessageA(hwnd, WM_KEYDOWN, c.vk, 0x00000001);
        MSG msg;
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        ASSERT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_TRUE(TranslateMessage(&msg));
        DispatchMessageA(&msg);
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "vk " << c.vk;
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR)) << "vk " << c.vk;
        EXPECT_EQ(msg.wParam, c.ch) << "vk " << c.vk;
        EXPECT_EQ(msg.hwnd, hwnd);
    }
    // A key that makes no character posts nothing.
    PostMessageA(hwnd, WM_KEYDOWN, VK_CONTROL, 0x00000001);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    TranslateMessage(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE));
}

TEST_F(Messages, FloodOfPostedClicksArrivesOnceInOrder) {
    const int count = 9000;
    for (int i = 0; i < count; i++) {
        ASSERT_TRUE(PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(i % 600, i / 600)))
            << "post " << i;
    }
    drain();
    std::vector<Received> clicks = recorded(WM_LBUTTONDOWN);
    ASSERT_EQ(clicks.size(), static_cast<size_t>(count));
    for (int i = 0; i < count; i++) {
        ASSERT_EQ(LOWORD(clicks[i].lparam), i % 600) << i;
        ASSERT_EQ(HIWORD(clicks[i].lparam), i / 600) << i;
    }
}

TEST_F(Messages, WaitReturnsAtOnceForAQueuedMessage) {
    PostMessageA(hwnd, WM_USER + 3, 0, 0);
    const DWORD start = GetTickCount();
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 5000, QS_ALLINPUT, MWMO_INPUTAVAILABLE),
              static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_LT(GetTickCount() - start, 1000u);
    drain();
    EXPECT_EQ(MsgWaitForMultipleObjectsEx(0, nullptr, 30, QS_ALLINPUT, MWMO_INPUTAVAILABLE),
              static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(Messages, TimerTicksAboutEveryPeriod) {
    ASSERT_EQ(SetTimer(hwnd, 2, 100, nullptr), 2u);
    MSG first, second;
    const DWORD start = GetTickCount();
    ASSERT_TRUE(wait_for(WM_TIMER, 3000, &first));
    const DWORD t1 = GetTickCount();
    ASSERT_TRUE(wait_for(WM_TIMER, 3000, &second));
    const DWORD t2 = GetTickCount();
    EXPECT_EQ(first.hwnd, hwnd);
    EXPECT_EQ(first.wParam, 2u);
    EXPECT_GE(t1 - start, 80u);
    EXPECT_GE(t2 - t1, 80u);
    EXPECT_LT(t2 - start, 2500u);

    // Setting the same id again replaces the timer; killing it stops it.
    ASSERT_EQ(SetTimer(hwnd, 2, 50, nullptr), 2u);
    EXPECT_TRUE(KillTimer(hwnd, 2));
    EXPECT_FALSE(KillTimer(hwnd, 2));
    MSG none;
    EXPECT_FALSE(wait_for(WM_TIMER, 250, &none));
}

} // namespace
