// The next-event call against the platform's own queue, with input posted
// as messages: clicks, characters, ticks and the quit, the animation modes,
// and a recording played back. Runs on the portable layer and, built for
// Windows, under Wine against real Win32.
#include "dovra/dovra.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "tests/support/event_support.h"
#include "tests/support/package_fixture.h"
#include "tests/support/scratch_directory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace dovra;

namespace fs = std::filesystem;

namespace {

void post_click(int client_x, int client_y) {
    PostMessageA(graphics_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client_x, client_y));
}

void post_char(unsigned char ch) {
    PostMessageA(graphics_window, WM_CHAR, ch, 0);
}

void post_tick() {
    PostMessageA(graphics_window, WM_TIMER, 2, 0);
}

class PortableEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        package_fixture::start();
        portable::drain();
        reset_events_and_scripts();
    }
    void TearDown() override { reset_events_and_scripts(); }
    ScratchDirectory scratch;
};

TEST_F(PortableEvents, ClicksAndCharactersInPackageCoordinates) {
    post_click(10, 20);
    EXPECT_EQ(next_event(), (Event{DOVRA_MOUSE, 10 - origin_x, origin_y - 20, 0}));
    post_char('q');
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'q'}));
    post_char(233);
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 233}));
}

TEST_F(PortableEvents, TicksCountOnlyWhileTheAnimationRuns) {
    // Stopped: a tick does not end the wait, the character after it does.
    post_tick();
    post_char('a');
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'a'}));
    // Running: the tick taken in the first pass is cleared when the
    // periodic event is set up; the next one delivers it.
    DOVRA_set_animation(ANIM_MODE_RUN);
    post_tick();
    post_tick();
    EXPECT_EQ(next_event(), (Event{DOVRA_PERIODIC, 0, 0, 0}));
    // A click before the tick wins.
    post_click(1, 1);
    EXPECT_EQ(next_event().kind, DOVRA_MOUSE);
}

TEST_F(PortableEvents, QuitAndExitMode) {
    PostQuitMessage(0);
    EXPECT_EQ(next_event(), (Event{DOVRA_EXIT, 0, 0, 0}));
    // The quit leaves nothing behind; exit mode does, for every later call.
    post_char('b');
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'b'}));
    EXPECT_EQ(DOVRA_set_animation(ANIM_MODE_EXIT), 1);
    post_char('c');
    EXPECT_EQ(next_event(), (Event{DOVRA_EXIT, 0, 0, 'c'}));
    post_char('d');
    EXPECT_EQ(next_event(), (Event{DOVRA_EXIT, 0, 0, 'd'}));
}

TEST_F(PortableEvents, ARecordingPlaysBackTheSameEvents) {
    start_recording();
    std::vector<Event> delivered;
    post_click(300, 100);
    delivered.push_back(next_event());
    post_char('x');
    delivered.push_back(next_event());
    DOVRA_set_animation(ANIM_MODE_STEP);
    post_tick();
    post_tick();
    delivered.push_back(next_event());
    post_click(5, 400);
    delivered.push_back(next_event());
    stop_recording();
    ASSERT_TRUE(fs::exists(SCRIPT_FILE_NAME));

    start_playback();
    std::vector<Event> played;
    for (std::size_t i = 0; i < delivered.size(); i++) {
        played.push_back(next_event());
    }
    EXPECT_EQ(played, delivered);
    // The end of the script ends playback; the call waits for the user.
    post_char('e');
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'e'}));
    EXPECT_EQ(playing_back, 0);
    EXPECT_EQ(GetMenuState(run_menu, IDM_PLAYBACK, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(PortableEvents, AQuitIsNotLostToPlayback) {
    start_recording();
    post_char('1');
    next_event();
    post_char('2');
    next_event();
    stop_recording();
    start_playback();
    PostQuitMessage(0);
    EXPECT_EQ(next_event(), (Event{DOVRA_EXIT, 0, 0, 0}));
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, '1'}));
}

} // namespace
