// The next-event call on the headless backend: what each animation mode
// delivers, when a tick counts, the quit, playback inside the wait, and
// recording what the wait delivers. Input arrives while the wait is idle,
// through the backend's idle hook, as a user's would.
#include "dovra/dovra.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "platform/backend/headless/headless.h"
#include "tests/support/event_support.h"
#include "tests/support/idle_actions.h"
#include "tests/support/package_fixture.h"
#include "tests/support/scratch_directory.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace dovra;
using namespace portable_win32;

namespace fs = std::filesystem;

namespace {

void click(int x, int y) {
    headless_click(graphics_window, origin_x + x, origin_y - y);
}

void type(char ch) {
    PostMessageA(graphics_window, WM_CHAR, static_cast<unsigned char>(ch), 0);
}

const auto nothing = idle_nothing;

class Events : public ::testing::Test {
  protected:
    void SetUp() override {
        package_fixture::start();
        portable::drain();
        reset_events_and_scripts();
        package_fixture::reset_log();
    }
    void TearDown() override { reset_events_and_scripts(); }
    static bool checked(UINT id) {
        return (GetMenuState(run_menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }

    ScratchDirectory scratch;
    IdleActions idle;
};

const Event PERIODIC{DOVRA_PERIODIC, 0, 0, 0};

TEST_F(Events, StoppedTicksAloneNeverEndTheWait) {
    const DWORD start = GetTickCount();
    at_idle() = {nothing, nothing, nothing, nothing, nothing, nothing, [] { click(5, 6); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_MOUSE, 5, 6, 0}));
    EXPECT_GE(GetTickCount() - start, 200u) << "ticks came and went meanwhile";
    EXPECT_EQ(tick_pending, 1u);
}

TEST_F(Events, RunningDeliversOneTickPerTimerTick) {
    DOVRA_set_animation(ANIM_MODE_RUN);
    const DWORD start = GetTickCount();
    EXPECT_EQ(next_event(), PERIODIC);
    EXPECT_EQ(next_event(), PERIODIC);
    EXPECT_EQ(next_event(), PERIODIC);
    // One timer period per tick, give or take where the first one fell.
    EXPECT_GE(GetTickCount() - start, 200u);
    EXPECT_LE(GetTickCount() - start, 300u);
    EXPECT_EQ(tick_pending, 1u);
}

TEST_F(Events, ATickBeforeTheWaitSetsUpDoesNotCount) {
    DOVRA_set_animation(ANIM_MODE_RUN);
    // A tick of an earlier call, and one taken in the first pass, are
    // cleared when the periodic event is set up; the click that comes before
    // the next tick wins.
    tick_pending = 1;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // idle until the timer is due
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    at_idle() = {[] { click(1, 2); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_MOUSE, 1, 2, 0}));
    // No periodic event is owed for it: the next call sets up a fresh one.
    at_idle() = {[] { type('k'); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'k'}));
    EXPECT_EQ(next_event(), PERIODIC);
}

TEST_F(Events, SingleStep) {
    // Two steps before one wait give one periodic event.
    DOVRA_set_animation(ANIM_MODE_STEP);
    DOVRA_set_animation(ANIM_MODE_STEP);
    EXPECT_EQ(next_event(), PERIODIC);
    EXPECT_EQ(single_step, 0);
    at_idle() = {nothing, nothing, nothing, nothing, [] { click(0, 0); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_MOUSE, 0, 0, 0}));
    // A step displaced by a click is lost.
    DOVRA_set_animation(ANIM_MODE_STEP);
    at_idle() = {[] { click(3, 3); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_MOUSE, 3, 3, 0}));
    EXPECT_EQ(single_step, 0);
    at_idle() = {nothing, nothing, nothing, nothing, [] { type('z'); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'z'}));
    // A step while running leaves it running.
    DOVRA_set_animation(ANIM_MODE_RUN);
    DOVRA_set_animation(ANIM_MODE_STEP);
    EXPECT_EQ(animate_on, 1);
    EXPECT_EQ(next_event(), PERIODIC);
    EXPECT_EQ(next_event(), PERIODIC);
}

TEST_F(Events, HaltingDoesNotWithdrawAnEventWaitingForItsTick) {
    DOVRA_set_animation(ANIM_MODE_RUN);
    at_idle() = {[] { DOVRA_set_animation(ANIM_MODE_STOP); }};
    EXPECT_EQ(next_event(), PERIODIC);
    EXPECT_EQ(animate_on, 0);
}

TEST_F(Events, ModesThatChangeNothing) {
    DOVRA_set_animation(ANIM_MODE_RUN);
    DOVRA_set_animation(ANIM_MODE_STEP);
    for (int mode : {3, 4, 7, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(DOVRA_set_animation(mode), 1);
        EXPECT_EQ(animate_on, 1);
        EXPECT_EQ(single_step, 1);
        EXPECT_EQ(quit_requested, 0);
    }
    EXPECT_EQ(DOVRA_set_animation(ANIM_MODE_STOP), 1);
    EXPECT_EQ(animate_on + single_step, 0);
}

TEST(EventsBeforeStartUp, ControlAndWaitAreHarmless) {
    ASSERT_EQ(graphics_window, nullptr) << "runs in a process of its own";
    EXPECT_EQ(DOVRA_set_animation(ANIM_MODE_RUN), 0);
    EXPECT_EQ(animate_on, 0);
    // No window could ever deliver an event: the call does not hang.
    int x = 1, y = 1;
    char key = 1;
    EXPECT_EQ(DOVRA_next_event(&x, &y, &key), DOVRA_EXIT);
    EXPECT_EQ(x + y + key, 0);
}

TEST_F(Events, ExitModeStillWaitsRecordsAndReportsTheEvent) {
    recording = 1;
    DOVRA_set_animation(ANIM_MODE_EXIT);
    at_idle() = {[] { click(-7, 8); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_EXIT, -7, 8, 0}));
    at_idle() = {[] { type('a'); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_EXIT, 0, 0, 'a'}));
    EXPECT_EQ(read_script_file(), "DOVRA_MOUSE(-7, 8);\nDOVRA_KBD(97);\n");
}

TEST_F(Events, QuitMessageEndsTheWaitWithoutShowingTheSurface) {
    DOVRA_set_animation(ANIM_MODE_RUN);
    recording = 1;
    periodic_run = 2;
    surface_dirty = 1;
    const int presents = headless_present_count(graphics_window);
    PostQuitMessage(0);
    EXPECT_EQ(next_event(), (Event{DOVRA_EXIT, 0, 0, 0}));
    EXPECT_EQ(surface_dirty, 1u);
    EXPECT_EQ(headless_present_count(graphics_window), presents);
    // The pending run is written; nothing is written for the quit.
    EXPECT_EQ(read_script_file(), "DOVRA_PERIODIC(2);\n");
}

TEST_F(Events, AnyOtherMessageShowsADirtySurface) {
    surface_dirty = 1;
    at_idle() = {[] { type('s'); }};
    next_event();
    EXPECT_EQ(surface_dirty, 0u);
}

TEST_F(Events, RecordingWritesRunsBeforeTheNextEvent) {
    DOVRA_set_animation(ANIM_MODE_RUN);
    start_recording();
    EXPECT_TRUE(checked(IDM_RECORD));
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(next_event(), PERIODIC);
    }
    EXPECT_FALSE(fs::exists(SCRIPT_FILE_NAME)) << "a run is written only when it ends";
    at_idle() = {[] { click(10, -20); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_MOUSE, 10, -20, 0}));
    EXPECT_EQ(read_script_file(), "DOVRA_PERIODIC(3);\nDOVRA_MOUSE(10, -20);\n");
    EXPECT_EQ(next_event(), PERIODIC);
    stop_recording();
    EXPECT_FALSE(checked(IDM_RECORD));
    EXPECT_EQ(read_script_file(),
              "DOVRA_PERIODIC(3);\nDOVRA_MOUSE(10, -20);\nDOVRA_PERIODIC(1);\n");
}

TEST_F(Events, PlaybackDeliversOneStepPerCallWithoutWaiting) {
    write_script_file("DOVRA_PERIODIC(25);\nDOVRA_MOUSE(-250, 230);\nDOVRA_KBD(-23);\n");
    DOVRA_set_animation(ANIM_MODE_RUN);
    start_playback();
    EXPECT_EQ(animate_on, 0);
    EXPECT_TRUE(checked(IDM_PLAYBACK));
    for (int i = 0; i < 25; i++) {
        ASSERT_EQ(next_event(), PERIODIC) << i;
    }
    EXPECT_EQ(next_event(), (Event{DOVRA_MOUSE, -250, 230, 0}));
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 233}));
    // The call that meets the end goes on waiting for the user.
    at_idle() = {nothing, nothing, nothing, [] { click(4, 4); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_MOUSE, 4, 4, 0}));
    EXPECT_FALSE(checked(IDM_PLAYBACK));
    EXPECT_EQ(playing_back, 0);
    EXPECT_EQ(package_fixture::log_lines(),
              std::vector<std::string>{"EOF encountered in script file DOVRA.SCR\n"});
}

TEST_F(Events, AStepReplacesAClickButKeepsTheFieldsItDoesNotSet) {
    write_script_file("DOVRA_KBD(65);\nDOVRA_PERIODIC(1);\n");
    start_playback();
    click(11, 12);
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 11, 12, 'A'}));
    type('x');
    EXPECT_EQ(next_event(), (Event{DOVRA_PERIODIC, 0, 0, 'x'}));
}

TEST_F(Events, AQuitIsNotLostToAPlaybackStep) {
    write_script_file("DOVRA_KBD(65);\nDOVRA_KBD(66);\n");
    start_playback();
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'A'}));
    PostQuitMessage(0);
    EXPECT_EQ(next_event(), (Event{DOVRA_EXIT, 0, 0, 0}));
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'B'})) << "the step stayed in the script";
}

TEST_F(Events, PlayOneStepAtATime) {
    write_script_file("DOVRA_PERIODIC(25);\n");
    for (int i = 0; i < 25; i++) {
        play_one_step();
        ASSERT_EQ(next_event(), PERIODIC) << i;
        EXPECT_EQ(play_one, 0);
    }
    // At the end a step reports it and the call waits for the user.
    play_one_step();
    at_idle() = {nothing, [] { type('e'); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'e'}));
    // Play one again starts from the first line.
    play_one_step();
    EXPECT_EQ(next_event(), PERIODIC);
}

TEST_F(Events, AnUnreadableLineStopsPlaybackAndItsCheckMark) {
    write_script_file("DOVRA_KBD(1);\nnonsense\n");
    start_playback();
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 1}));
    at_idle() = {[] { type('u'); }};
    EXPECT_EQ(next_event(), (Event{DOVRA_KBD, 0, 0, 'u'}));
    EXPECT_EQ(playing_back, 0);
    EXPECT_FALSE(checked(IDM_PLAYBACK));
}

TEST_F(Events, ARecordingPlaysBackAsItWasDeliveredAlsoWithWindowsLineEnds) {
    // A session: ticks, clicks anywhere, characters of all kinds.
    DOVRA_set_animation(ANIM_MODE_RUN);
    start_recording();
    std::vector<Event> delivered;
    const std::vector<std::function<void()>> inputs = {[] { click(-250, 230); },
                                                       [] { type('q'); },
                                                       nothing,
                                                       [] { click(-297, -247); },
                                                       [] { type(static_cast<char>(233)); },
                                                       nothing,
                                                       nothing,
                                                       [] { click(297, 248); },
                                                       [] { type(' '); }};
    for (const auto &input : inputs) {
        at_idle() = {input};
        delivered.push_back(next_event());
        if (delivered.back().kind == DOVRA_PERIODIC) {
            delivered.push_back(next_event());
        }
    }
    stop_recording();
    const std::string script = read_script_file();

    auto replay = [&](const std::string &text) {
        write_script_file(text);
        start_playback();
        std::vector<Event> played;
        for (std::size_t i = 0; i < delivered.size(); i++) {
            played.push_back(next_event());
        }
        EXPECT_EQ(playing_back, 1) << "the script holds no more than was delivered";
        stop_playback();
        return played;
    };
    EXPECT_EQ(replay(script), delivered);
    std::string crlf;
    for (char c : script) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(replay(crlf), delivered);
}

} // namespace

// Headless replay: with DOVRA_REPLAY naming a script, start-up plays it at
// once, and its end ends the run for good; DOVRA.SCR is neither read nor
// written.
class Replay : public Events {
  protected:
    void TearDown() override {
        unsetenv("DOVRA_REPLAY");
        finish_script();
        Events::TearDown();
    }
    static std::vector<Event> replay(const std::string &script) {
        std::ofstream("replayed.scr", std::ios::binary) << script;
        setenv("DOVRA_REPLAY", "replayed.scr", 1);
        start_replay_if_asked();
        std::vector<Event> events;
        for (int i = 0; i < 10; i++) {
            events.push_back(next_event());
            if (events.back().kind == DOVRA_EXIT && events.size() > 1 &&
                events[events.size() - 2].kind == DOVRA_EXIT) {
                break;
            }
        }
        return events;
    }
};

TEST_F(Replay, PlaysTheNamedScriptAndEndsTheRunAtItsEnd) {
    write_script_file("DOVRA_KBD(120);\n");
    DOVRA_set_animation(ANIM_MODE_RUN); // ticks come from the script only
    const Event EXIT{DOVRA_EXIT, 0, 0, 0};
    EXPECT_EQ(replay("DOVRA_MOUSE(-3, 4);\nDOVRA_KBD(65);\nDOVRA_PERIODIC(2);\n"),
              (std::vector<Event>{
                  {DOVRA_MOUSE, -3, 4, 0}, {DOVRA_KBD, 0, 0, 65}, PERIODIC, PERIODIC, EXIT, EXIT}));
    EXPECT_EQ(read_script_file(), "DOVRA_KBD(120);\n");
}

// The run ends at once with an exit code of its own, naming the line (empty
// lines count), so that grading can tell a broken script from a wrong picture.
TEST_F(Replay, ALineItCannotPlayEndsTheRunWithItsOwnExitCode) {
    EXPECT_EXIT(replay("DOVRA_MOUSE(1, 2);\n\nDOVRA_NOTHING;\nDOVRA_KBD(66);\n"),
                ::testing::ExitedWithCode(REPLAY_STOPPED_EXIT_CODE),
                "DOVRA replay: script file replayed.scr stops at line 3, which it cannot play: "
                "DOVRA_NOTHING;");
}

TEST_F(Replay, WithoutTheVariableNothingIsPlayed) {
    unsetenv("DOVRA_REPLAY");
    start_replay_if_asked();
    EXPECT_FALSE(playing_back);
    EXPECT_FALSE(replaying);
}
