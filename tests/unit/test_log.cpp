// The log ring, DOVRA_log_printf, the log window's painting and the calls
// that switch logging and show the log window.
#include "dovra/dovra.h"
#include "dovra/shell/log_mirror.h"
#include "dovra/shell/package_state.h"
#include "platform/core/accounting.h"
#include "tests/support/package_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

using namespace portable_win32;

using namespace package_fixture;

namespace {

// The log window's client pixels.
std::vector<COLORREF> log_pixels() {
    RECT r;
    GetClientRect(log_window, &r);
    HDC dc = GetDC(log_window);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < r.bottom; y++) {
        for (int x = 0; x < r.right; x++) {
            pixels.push_back(GetPixel(dc, x, y));
        }
    }
    ReleaseDC(log_window, dc);
    return pixels;
}

void whiten_log_window() {
    RECT r;
    GetClientRect(log_window, &r);
    HDC dc = GetDC(log_window);
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &r, white);
    DeleteObject(white);
    ReleaseDC(log_window, dc);
}

// Before start-up nothing changes, lines are kept, and each call that needs
// a started package says so once on standard error.
TEST(Log, SetLoggingBeforeStartUpChangesNothing) {
    ASSERT_EQ(graphics_window, nullptr) << "runs in a process of its own";
    logging_on = 1;
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(DOVRA_set_logging(0), 0);
        EXPECT_EQ(logging_on, 1);
        EXPECT_EQ(DOVRA_show_log_window(1), 0);
        DOVRA_draw_circle(2, 0, 0, 5);
        EXPECT_EQ(DOVRA_next_event(nullptr, nullptr, nullptr), DOVRA_EXIT);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "DOVRA_set_logging called before DOVRA_startup: nothing changed\n"
              "DOVRA_show_log_window called before DOVRA_startup: there is no log window\n"
              "DOVRA_draw_circle called before DOVRA_startup: nothing drawn\n"
              "DOVRA_next_event called before DOVRA_startup: it returns DOVRA_EXIT\n");
    // Lines logged before start-up are kept and painted nowhere.
    reset_log();
    EXPECT_EQ(DOVRA_log_printf("early %d\n", 1), 8);
    EXPECT_EQ(log_lines(), (std::vector<std::string>{"early 1\n"}));
}

TEST(Log, DrawingAfterShutdownSaysSoOnce) {
    start();
    ::testing::internal::CaptureStderr();
    DOVRA_draw_rectangle(2, 0, 0, 5, 5, 0);
    package_shut_down(); // as DOVRA_shutdown leaves it, without closing the windows
    DOVRA_draw_rectangle(2, 0, 0, 5, 5, 0);
    DOVRA_draw_rectangle(2, 0, 0, 5, 5, 0);
    package_started();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "DOVRA_draw_rectangle called after DOVRA_shutdown: nothing drawn\n");
}

class LogRingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        start();
        reset_log();
    }
};

TEST_F(LogRingTest, RingAfterSomeLines) {
    struct Case {
        int lines, first, next, stored;
    } cases[] = {{0, -1, 0, 0},  {1, 0, 1, 1},   {24, 0, 24, 24},
                 {25, 0, 0, 25}, {26, 1, 1, 25}, {60, 10, 10, 25}};
    for (const Case &c : cases) {
        reset_log();
        const int blocks = platform_live_memory_blocks();
        for (int i = 1; i <= c.lines; i++) {
            DOVRA_log_printf("line %d\n", i);
        }
        EXPECT_EQ(log_ring.log_first, c.first) << c.lines;
        EXPECT_EQ(log_ring.log_next, c.next) << c.lines;
        const std::vector<std::string> lines = log_lines();
        ASSERT_EQ(static_cast<int>(lines.size()), c.stored) << c.lines;
        EXPECT_EQ(platform_live_memory_blocks() - blocks, c.stored) << c.lines;
        if (c.stored > 0) {
            EXPECT_EQ(lines.front(), "line " + std::to_string(c.lines - c.stored + 1) + "\n");
            EXPECT_EQ(lines.back(), "line " + std::to_string(c.lines) + "\n");
        }
    }
}

TEST_F(LogRingTest, LinesAreStoredExactly) {
    EXPECT_EQ(DOVRA_log_printf("abc\n"), 4);
    EXPECT_EQ(GlobalSize(log_ring.slots[0]), 5u);
    EXPECT_EQ(DOVRA_log_printf("%s", ""), 0);
    EXPECT_EQ(GlobalSize(log_ring.slots[1]), 1u);
    // A line longer than 1023 characters is cut, and its count is what was kept.
    const std::string long_text(3000, 'x');
    EXPECT_EQ(DOVRA_log_printf("%s", long_text.c_str()), 1023);
    EXPECT_EQ(GlobalSize(log_ring.slots[2]), 1024u);
    EXPECT_EQ(DOVRA_log_printf(nullptr), 0);
    EXPECT_EQ(log_lines()[0], "abc\n");
}

TEST_F(LogRingTest, RepaintPaintsTheStoredLinesOldestFirst) {
    for (int i = 1; i <= 60; i++) {
        DOVRA_log_printf("line %d of the log\n", i);
    }
    const std::vector<COLORREF> painted_as_logged = log_pixels();
    whiten_log_window();
    InvalidateRect(log_window, nullptr, TRUE);
    portable::drain();
    EXPECT_TRUE(log_pixels() == painted_as_logged);

    // An empty ring paints nothing.
    reset_log();
    whiten_log_window();
    const std::vector<COLORREF> white = log_pixels();
    InvalidateRect(log_window, nullptr, TRUE);
    portable::drain();
    EXPECT_TRUE(log_pixels() == white);
    EXPECT_EQ(log_ring.log_first, -1);
}

TEST_F(LogRingTest, TrailingNewlineIsNotDrawn) {
    whiten_log_window();
    DOVRA_log_printf("abc\n");
    const std::vector<COLORREF> with_newline = log_pixels();
    whiten_log_window();
    DOVRA_log_printf("abc");
    EXPECT_TRUE(log_pixels() == with_newline);
}

TEST_F(LogRingTest, HiddenWindowStillStoresLines) {
    DOVRA_show_log_window(0);
    EXPECT_FALSE(IsWindowVisible(log_window));
    DOVRA_log_printf("while hidden\n");
    EXPECT_EQ(log_lines().back(), "while hidden\n");
    EXPECT_EQ(DOVRA_show_log_window(1), 0); // it was hidden
    EXPECT_NE(DOVRA_show_log_window(1), 0); // now it was shown
}

TEST_F(LogRingTest, SetLoggingSwitchesTheFlagTheMarkAndTheWindow) {
    DOVRA_show_log_window(0);
    EXPECT_EQ(DOVRA_set_logging(5), 1);
    EXPECT_EQ(logging_on, 1);
    EXPECT_EQ(GetMenuState(run_menu, IDM_LOGGING, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
    EXPECT_TRUE(IsWindowVisible(log_window));
    EXPECT_EQ(DOVRA_set_logging(0), 1);
    EXPECT_EQ(logging_on, 0);
    EXPECT_EQ(GetMenuState(run_menu, IDM_LOGGING, MF_BYCOMMAND), static_cast<UINT>(MF_UNCHECKED));
    EXPECT_TRUE(IsWindowVisible(log_window)); // switching off does not hide it
}

// DOVRA_LOG: every stored line, also goes to a file or to standard error.
class LogMirror : public LogRingTest {
  protected:
    void TearDown() override {
        unsetenv("DOVRA_LOG");
        close_log_mirror(); // the next line reads the variable again
    }
    static void mirror_to(const std::string &target) {
        setenv("DOVRA_LOG", target.c_str(), 1);
        close_log_mirror();
    }
};

TEST_F(LogMirror, EveryLineGoesToTheFileAsItIsStored) {
    const std::string path = ::testing::TempDir() + "dovra_log_mirror.txt";
    std::remove(path.c_str());
    mirror_to(path);
    DOVRA_log_printf("the program's own %d\n", 7);
    DOVRA_draw_circle(99, 0, 0, 5);
    DOVRA_log_printf("no newline");
    DOVRA_log_printf("caf\xe9 in Windows-1252\n");
    // In the file at once, before anything is closed, and all in UTF-8.
    std::ifstream file(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(text, "the program's own 7\nIllegal color 99; using RED.\n"
                    "red circle at (0,0), radius 5\nno newline\ncaf\xc3\xa9 in Windows-1252\n");
    EXPECT_EQ(log_lines().size(), 5u);
    std::remove(path.c_str());
}

TEST_F(LogMirror, DashIsStandardErrorAndAnUnwritablePathIsSaidOnce) {
    mirror_to("-");
    ::testing::internal::CaptureStderr();
    DOVRA_log_printf("to standard error\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "to standard error\n");

    const std::string folder = ::testing::TempDir(); // a folder cannot be written as a file
    mirror_to(folder);
    ::testing::internal::CaptureStderr();
    DOVRA_log_printf("one\n");
    DOVRA_log_printf("two\n");
    close_log_mirror();
    DOVRA_log_printf("three\n");
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("DOVRA: cannot write the log to \"" + folder + "\" (DOVRA_LOG)"), 0u)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    // The program runs on, and the log window keeps every line.
    EXPECT_EQ(log_lines(),
              (std::vector<std::string>{"to standard error\n", "one\n", "two\n", "three\n"}));
}

TEST_F(LogRingTest, KeysInTheLogWindowGoToTheGraphicsWindow) {
    portable::drain();
    SendMessageA(log_window, WM_KEYDOWN, VK_CONTROL, 1);
    SendMessageA(log_window, WM_KEYUP, 'Q', 3);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, graphics_window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_CONTROL));
    ASSERT_TRUE(PeekMessageA(&msg, graphics_window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(msg.lParam, 3);
}

} // namespace
