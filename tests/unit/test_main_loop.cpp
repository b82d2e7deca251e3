// The cone builder's run on the headless backend: start modes, one repaint
// per event, what each kind of event does to the cone, and the whole program
// (WinMain) under a long stream of arbitrary user actions.
#include "app/main_loop.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "dovra/shell/log.h"
#include "dovra/shell/run_menu.h"
#include "dovra/shell/windows.h"
#include "platform/backend/headless/headless.h"
#include "platform/core/accounting.h"
#include "tests/support/idle_actions.h"
#include "tests/support/package_fixture.h"
#include "tests/support/scratch_directory.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dovra;
using namespace portable_win32;
using namespace cone;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                   int show_command);

namespace {

void click(int x, int y) {
    headless_click(graphics_window, origin_x + x, origin_y - y);
}

void shortcut(unsigned letter) {
    headless_key_down(graphics_window, VK_CONTROL, 0);
    headless_key_down(graphics_window, letter, static_cast<unsigned char>(letter - 'A' + 1));
    headless_key_up(graphics_window, letter);
    headless_key_up(graphics_window, VK_CONTROL);
}

class MainLoop : public ::testing::Test {
  protected:
    void SetUp() override {
        cone_builder_start(state, GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    }
    ScratchDirectory scratch;
    IdleActions idle;
    ConeState state;
};

TEST_F(MainLoop, StartsRunningWithLoggingOffAndTheLogHidden) {
    EXPECT_EQ(animate_on, 1);
    EXPECT_EQ(logging_on, 0);
    EXPECT_FALSE(IsWindowVisible(log_window));
    EXPECT_TRUE(IsWindowVisible(graphics_window));
    EXPECT_EQ(GetMenuState(run_menu, IDM_LOGGING, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(MainLoop, EachKindOfEvent) {
    // Ticks count frames; a character changes nothing; the quit ends it.
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(cone_builder_pass(state), DOVRA_PERIODIC);
    }
    EXPECT_EQ(state.frame_count, 3);
    const ConeState before = state;
    at_idle() = {[] { PostMessageA(graphics_window, WM_CHAR, 'x', 0); }};
    EXPECT_EQ(cone_builder_pass(state), DOVRA_KBD);
    EXPECT_EQ(std::memcmp(&before, &state, sizeof state), 0);
    // A click on Add Scoop is a button; one on the scoop places a topping.
    at_idle() = {[] { click(-240, 230); }};
    EXPECT_EQ(cone_builder_pass(state), DOVRA_MOUSE);
    EXPECT_EQ(state.scoops, 2);
    EXPECT_EQ(state.topping_count, 0);
    at_idle() = {[] { click(0, 40); }};
    EXPECT_EQ(cone_builder_pass(state), DOVRA_MOUSE);
    EXPECT_EQ(state.scoops, 2);
    EXPECT_EQ(state.topping_count, 1);
    at_idle() = {[] { shortcut('Q'); }};
    EXPECT_EQ(cone_builder_pass(state), DOVRA_EXIT);
    EXPECT_EQ(state.done, 1);
    EXPECT_EQ(state.frame_count, 3);
}

TEST_F(MainLoop, LogsNothingUntilLoggingIsSwitchedOnThenEveryDrawing) {
    package_fixture::reset_log();
    logging_on = 0;
    cone_builder_pass(state);
    EXPECT_TRUE(package_fixture::log_lines().empty()) << "no call of the scene needs a repair";
    at_idle() = {[] { shortcut('L'); }};
    // The pass that takes Ctrl+L still drew with logging off; the next draws
    // the start scene's 19 calls and describes each.
    cone_builder_pass(state);
    EXPECT_EQ(logging_on, 1);
    EXPECT_TRUE(package_fixture::log_lines().empty());
    at_idle() = {[] { PostMessageA(graphics_window, WM_CHAR, 'x', 0); }};
    cone_builder_pass(state);
    const std::vector<std::string> lines = package_fixture::log_lines();
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[0], "white rectangle with bounding box (-300,250) to (300,-250), filled\n");
}

TEST_F(MainLoop, ShowsTheRepaintedSurfaceInEveryWait) {
    const int presents = headless_present_count(graphics_window);
    for (int i = 0; i < 3; i++) {
        cone_builder_pass(state);
    }
    EXPECT_GE(headless_present_count(graphics_window), presents + 3);
}

// A stream of arbitrary user actions, chosen by a fixed seed: clicks anywhere
// on and off the client area, on every button, characters and keys, every
// menu command and shortcut in any order, the log window closed, the window
// resized. The program must neither crash nor wedge, and must end through
// its close box with exit code 0 and everything it owns accounted for.
TEST(WholeProgram, SurvivesArbitraryUseAndEndsCleanly) {
    ScratchDirectory scratch;

    static uint32_t seed = 20261210;
    static int actions_left = 6000;
    struct Driver {
        // With Ctrl's release unseen, a plain Q is Ctrl+Q: only the close
        // box is to end this run.
        static unsigned letter_but_q(int i) {
            return static_cast<unsigned>('A' + i + (i >= 'Q' - 'A' ? 1 : 0));
        }
        static void act(void *) {
            auto rnd = [](uint32_t n) {
                seed = seed * 1664525u + 1013904223u;
                return static_cast<int>((seed >> 8) % n);
            };
            if (!graphics_window || !IsWindow(graphics_window)) {
                return;
            }
            if (--actions_left == 0) {
                headless_close(graphics_window);
                return;
            }
            static const unsigned letters[] = {'A', 'H', 'F', 'L', 'R', 'P', 'O', 'Z', 'X'};
            switch (rnd(12)) {
            case 0:
            case 1:
            case 2: // on the buttons and the scoops
                headless_click(graphics_window, rnd(120) + 2, rnd(160) + 2);
                break;
            case 3:
                headless_click(graphics_window, rnd(240) + 180, rnd(300) + 50);
                break;
            case 4: // anywhere, also far outside the client area
                headless_click(graphics_window, rnd(70000) - 35000, rnd(70000) - 35000);
                break;
            case 5:
                headless_key(graphics_window, letter_but_q(rnd(25)),
                             static_cast<unsigned char>(rnd(256)));
                break;
            case 6: {
                const unsigned letter = letters[rnd(9)];
                headless_key_down(graphics_window, VK_CONTROL, 0);
                headless_key(graphics_window, letter, static_cast<unsigned char>(letter & 31));
                if (rnd(4)) { // sometimes Ctrl's release is never seen
                    headless_key_up(graphics_window, VK_CONTROL);
                }
                break;
            }
            case 7: { // every command but Quit, and ids that name none
                const int id = rnd(12);
                headless_choose_menu(graphics_window, static_cast<unsigned>(id == 8 ? 0 : id));
                break;
            }
            case 8:
                if (log_window && IsWindow(log_window)) {
                    if (rnd(8) == 0) {
                        headless_close(log_window);
                    } else {
                        headless_key(log_window, letter_but_q(rnd(25)), 'a');
                    }
                }
                break;
            case 9:
                headless_resize(rnd(2) ? graphics_window : log_window, rnd(2000) - 100,
                                rnd(2000) - 100);
                break;
            case 10:
                headless_expose(graphics_window);
                break;
            default:
                break; // let time pass
            }
        }
    };
    headless_set_idle_hook(Driver::act, nullptr);
    char command_line[] = "";
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, command_line, SW_SHOWNORMAL), 0);
    headless_set_idle_hook(nullptr, nullptr);
    EXPECT_EQ(actions_left, 0) << "the run ended through the close box";
    EXPECT_EQ(script_stream, nullptr);
    EXPECT_EQ(window_dc, nullptr);
}

} // namespace
