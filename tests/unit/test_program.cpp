// The cone builder end to end on the headless backend: the whole program,
// driven only by what a user does (clicks at client pixels, Ctrl-letter
// keys, Run menu choices, close boxes, resizes), each done at an idle moment
// of the program, and judged by what the user would see or get: the picture
// on the surface, the Run menu's check marks, the log, DOVRA.SCR and the
// exit code. Hostile sequences of use must leave it answering the next click.
#include "app/main_loop.h"
#include "dovra/draw/renderer.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "dovra/shell/log.h"
#include "dovra/shell/run_menu.h"
#include "dovra/shell/windows.h"
#include "platform/backend/headless/headless.h"
#include "tests/support/cone_picture.h"
#include "tests/support/event_support.h"
#include "tests/support/idle_actions.h"
#include "tests/support/package_fixture.h"
#include "tests/support/scratch_directory.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace dovra;
using namespace portable_win32;
using namespace cone;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                   int show_command);

namespace fs = std::filesystem;

namespace {

using namespace cone_picture;

// Status-line pixels of the right colour at the least (faces differ).
const int STATUS_PIXELS = 100;

using Action = std::function<void()>;
using Kinds = std::vector<int>;

// What the user does.

Action click(Point p) {
    return [p] { headless_click(graphics_window, origin_x + p.x, origin_y - p.y); };
}

Action click_client(int x, int y) {
    return [x, y] { headless_click(graphics_window, x, y); };
}

// Ctrl and a letter, pressed and released in the graphics window.
Action ctrl(unsigned letter) {
    return [letter] {
        headless_key_down(graphics_window, VK_CONTROL, 0);
        headless_key(graphics_window, letter, static_cast<unsigned char>(letter - 'A' + 1));
        headless_key_up(graphics_window, VK_CONTROL);
    };
}

Action type(unsigned vk, unsigned char ch) {
    return [vk, ch] { headless_key(graphics_window, vk, ch); };
}

const Action type_x = type('X', 'x');

Action choose(unsigned id) {
    return [id] { headless_choose_menu(graphics_window, id); };
}

// The close box of the graphics window or of the log window.
Action close_box(const HWND *window) {
    return [window] { headless_close(*window); };
}

Action resize(int outer_width, int outer_height) {
    return [outer_width, outer_height] {
        headless_resize(graphics_window, outer_width, outer_height);
    };
}

// Nothing: time passes to the next timer tick.
const Action tick = [] {};

bool checked(UINT id) {
    return (GetMenuState(run_menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// Done at the first idle moment after playback has ended, which the user
// sees as the Playback item losing its check mark.
Action after_playback(Action action) {
    return [action] {
        if (checked(IDM_PLAYBACK)) {
            at_idle().push_front(after_playback(action));
        } else {
            action();
        }
    };
}

// The actions, one per idle moment. A program that keeps waiting once none
// is left would wait for ever: that ends the run with a failure instead.
int empty_idle_moments = 0;

void idle_moment(void *) {
    if (!at_idle().empty()) {
        empty_idle_moments = 0;
        run_idle_action(nullptr);
        return;
    }
    if (++empty_idle_moments == 2000) {
        ADD_FAILURE() << "the program waits for input that no action gives";
        PostQuitMessage(0);
    }
}

// What the user sees.

std::vector<COLORREF> client_pixels(HWND window) {
    std::vector<COLORREF> pixels;
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    for (int y = 0; y < client.bottom; y++) {
        for (int x = 0; x < client.right; x++) {
            pixels.push_back(GetPixel(dc, x, y));
        }
    }
    ReleaseDC(window, dc);
    return pixels;
}

std::vector<std::string> log_lines() {
    return package_fixture::log_lines();
}

int lines_logged(const std::string &line) {
    const std::vector<std::string> lines = log_lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// Lines added to the log ring since its next slot was `next_before` (fewer
// than 25).
int lines_since(int32_t next_before) {
    return (log_ring.log_next - next_before + LOG_SLOTS) % LOG_SLOTS;
}

class Program : public ::testing::Test {
  protected:
    void SetUp() override {
        cone_builder_start(state, GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
        headless_set_idle_hook(idle_moment, nullptr);
    }

    // The user does the actions, one at each idle moment, while the program
    // runs pass by pass, until the pass that took the last one has ended.
    // Gives the kinds of the events of those passes.
    Kinds run(const std::vector<Action> &actions) {
        at_idle().assign(actions.begin(), actions.end());
        Kinds kinds;
        while (!at_idle().empty() && !state.done) {
            empty_idle_moments = 0;
            kinds.push_back(cone_builder_pass(state));
        }
        return kinds;
    }

    // One pass ended by a character, which changes nothing: afterwards the
    // surface holds the picture of the state as the events so far left it.
    void show() { ASSERT_EQ(run({type_x}), Kinds{DOVRA_KBD}); }

    ScratchDirectory scratch;
    IdleActions idle;
    ConeState state;
};

TEST_F(Program, StartScene) {
    show();
    expect_start_scene(STATUS_PIXELS);
    // The window shows the surface.
    RECT client;
    GetClientRect(graphics_window, &client);
    const std::vector<COLORREF> shown = client_pixels(graphics_window);
    const std::vector<COLORREF> surface = picture();
    int differing = 0;
    for (int y = 0; y < client.bottom; y++) {
        for (int x = 0; x < client.right; x++) {
            differing += shown[static_cast<size_t>(y * client.right + x)] !=
                         surface[static_cast<size_t>(y * SURFACE_WIDTH + x)];
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_FALSE(IsWindowVisible(log_window));
}

// Every button and the scoops, one click at a time, each step starting from
// the picture that the one before left.
TEST_F(Program, ClicksChangeThePicture) {
    for (const ClickStep &step : click_walk()) {
        EXPECT_EQ(run({click(step.click)}), Kinds{DOVRA_MOUSE}) << step.name;
        show();
        expect_step(step, STATUS_PIXELS);
    }
    EXPECT_EQ(state.frame_count, 0) << "no tick came between the clicks";
}

TEST_F(Program, HaltAdvanceAndAnimate) {
    EXPECT_EQ(run({tick, tick}), (Kinds{DOVRA_PERIODIC, DOVRA_PERIODIC}));
    // The tick already awaited when Ctrl+H comes is still delivered.
    EXPECT_EQ(run({ctrl('H')}), Kinds{DOVRA_PERIODIC});
    EXPECT_EQ(state.frame_count, 3);
    show();
    const std::vector<COLORREF> halted = picture();
    const DWORD before = GetTickCount();
    EXPECT_EQ(run({tick, tick, tick, tick, tick, type_x}), Kinds{DOVRA_KBD});
    EXPECT_GE(GetTickCount() - before, 500u) << "five timer periods went by";
    EXPECT_EQ(state.frame_count, 3);
    EXPECT_TRUE(picture() == halted) << "the drip and the pulse stand still";

    // At frame 3 the drop's circle is centred at y -7, at frame 4 at -13.
    EXPECT_EQ(pixel(-60, -20), WHITE);
    EXPECT_EQ(run({ctrl('F')}), Kinds{DOVRA_PERIODIC});
    EXPECT_EQ(run({tick, tick, tick, type_x}), Kinds{DOVRA_KBD}) << "one frame only";
    EXPECT_EQ(state.frame_count, 4);
    EXPECT_EQ(pixel(-60, -20), MAGENTA);

    EXPECT_EQ(run({ctrl('A'), tick, tick}), (Kinds{DOVRA_PERIODIC, DOVRA_PERIODIC}));
    EXPECT_EQ(state.frame_count, 6);
}

TEST_F(Program, LoggingWritesEveryDrawingOfEveryPass) {
    EXPECT_TRUE(log_lines().empty());
    const std::vector<COLORREF> empty_log = client_pixels(log_window);
    // The pass that takes Ctrl+L drew before it.
    EXPECT_EQ(run({ctrl('L')}), Kinds{DOVRA_PERIODIC});
    EXPECT_TRUE(checked(IDM_LOGGING));
    EXPECT_TRUE(log_lines().empty());
    run({tick});
    const std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines.front(),
              "white rectangle with bounding box (-300,250) to (300,-250), filled\n");
    EXPECT_NE(lines.back().find("triangle"), std::string::npos) << lines.back();
    int32_t next = log_ring.log_next;
    run({tick});
    EXPECT_EQ(lines_since(next), 19);
    EXPECT_EQ(log_lines().size(), 25u);
    EXPECT_TRUE(client_pixels(log_window) != empty_log) << "the lines are painted";
    EXPECT_FALSE(IsWindowVisible(log_window)) << "Ctrl+L neither shows nor hides it";
    // Off again: the pass that takes it still logs, the next no more.
    next = log_ring.log_next;
    run({ctrl('L')});
    EXPECT_EQ(lines_since(next), 19);
    EXPECT_FALSE(checked(IDM_LOGGING));
    next = log_ring.log_next;
    run({tick, tick});
    EXPECT_EQ(lines_since(next), 0);
}

// A recording, its file, and its playback to the same picture. The recorded
// clicks leave the picture as they found it when played over the end of the
// recording (a second red bar on the first), and the 50 ticks bring the
// drip and the pulse round to the same frame.
TEST_F(Program, RecordingAndPlayback) {
    const Point on_scoop{10, 50};
    std::vector<Action> session = {ctrl('R'),         tick,
                                   click(on_scoop),   type('Q', 'q'),
                                   type('E', 233),    click(CHANGE_TOPPING),
                                   click(ADD_SCOOP),  click(REMOVE_SCOOP),
                                   click(ADD_TOPPING)};
    session.insert(session.end(), 49, tick);
    // Ctrl+R and a character at one idle moment: the character ends the pass
    // after the recording has stopped, so no tick follows it unrecorded.
    session.push_back([] {
        ctrl('R')();
        type_x();
    });
    Kinds recorded = run(session);
    ASSERT_EQ(recorded.back(), DOVRA_KBD);
    recorded.pop_back();
    EXPECT_FALSE(checked(IDM_RECORD));
    EXPECT_EQ(read_script_file(), "DOVRA_PERIODIC(1);\n"
                                  "DOVRA_MOUSE(10, 50);\n"
                                  "DOVRA_KBD(113);\n"
                                  "DOVRA_KBD(-23);\n"
                                  "DOVRA_MOUSE(-240, 132);\n"
                                  "DOVRA_MOUSE(-240, 232);\n"
                                  "DOVRA_MOUSE(-240, 207);\n"
                                  "DOVRA_MOUSE(-240, 182);\n"
                                  "DOVRA_PERIODIC(49);\n");
    const std::vector<COLORREF> at_the_end = picture();
    EXPECT_EQ(pixel(on_scoop.x + 4, on_scoop.y), RED) << "the bar";

    Kinds played = run({ctrl('P'), after_playback(type_x)});
    EXPECT_FALSE(checked(IDM_PLAYBACK));
    ASSERT_EQ(played.back(), DOVRA_KBD);
    played.pop_back();
    EXPECT_EQ(played, recorded);
    EXPECT_EQ(state.topping_count, 2);
    EXPECT_TRUE(picture() == at_the_end);
    EXPECT_EQ(log_lines().back(), "EOF encountered in script file DOVRA.SCR\n");
    EXPECT_EQ(state.frame_count, 100);
}

TEST_F(Program, PlayOneStepAtATime) {
    write_script_file("DOVRA_MOUSE(-240, 232);\nDOVRA_PERIODIC(2);\n");
    EXPECT_EQ(run({ctrl('O')}), Kinds{DOVRA_MOUSE});
    show();
    EXPECT_EQ(pixel(0, 120), ICE_BLUE) << "the played click added a scoop";
    // The animation stopped: time alone brings nothing, each Ctrl+O one step.
    EXPECT_EQ(run({tick, tick, ctrl('O')}), Kinds{DOVRA_PERIODIC});
    EXPECT_EQ(run({ctrl('O')}), Kinds{DOVRA_PERIODIC});
    EXPECT_EQ(state.frame_count, 2);
    // At the end of the script the step is missing; the user's click comes.
    EXPECT_EQ(run({ctrl('O'), click(ADD_SCOOP)}), Kinds{DOVRA_MOUSE});
    EXPECT_EQ(lines_logged("EOF encountered in script file DOVRA.SCR\n"), 1);
    EXPECT_EQ(state.scoops, 3);
    // And the next starts again from the first line.
    EXPECT_EQ(run({ctrl('O'), type_x}), (Kinds{DOVRA_MOUSE, DOVRA_KBD}));
    EXPECT_EQ(state.scoops, 3);
    EXPECT_EQ(state.frame_count, 2);
    EXPECT_FALSE(checked(IDM_PLAYBACK));
}

// The Run menu read back after each command, from its item or its shortcut.
TEST_F(Program, RunMenuFollowsTheCommands) {
    write_script_file("DOVRA_PERIODIC(1000);\n");
    struct Row {
        const char *name;
        std::vector<Action> actions;
        bool logging, record, playback;
    } rows[] = {
        {"start", {}, false, false, false},
        {"the Logging item", {choose(IDM_LOGGING)}, true, false, false},
        {"Ctrl+L", {ctrl('L')}, false, false, false},
        {"the Playback item", {choose(IDM_PLAYBACK)}, false, false, true},
        {"Ctrl+P", {ctrl('P')}, false, false, false},
        {"Ctrl+P again", {ctrl('P')}, false, false, true},
        {"the animation's items",
         {choose(IDM_ANIMATE), choose(IDM_HALT), choose(IDM_ADVANCE_FRAME)},
         false,
         false,
         true},
        {"the animation's shortcuts", {ctrl('A'), ctrl('H'), ctrl('F')}, false, false, true},
        {"the grayed lines and ids of no item",
         {choose(IDM_INFO), choose(0), choose(10), choose(0xFFFF)},
         false,
         false,
         true},
        {"the Record item during playback", {choose(IDM_RECORD)}, false, true, false},
        {"Ctrl+L while recording", {ctrl('L')}, true, true, false},
        {"Ctrl+R", {ctrl('R')}, true, false, false},
        {"the Play one item", {choose(IDM_PLAY_ONE)}, true, false, false},
        {"the Record item", {choose(IDM_RECORD)}, true, true, false},
        {"Ctrl+R again", {ctrl('R')}, true, false, false},
    };
    for (Row &row : rows) {
        row.actions.push_back(type_x);
        run(row.actions);
        EXPECT_EQ(checked(IDM_LOGGING), row.logging) << row.name;
        EXPECT_EQ(checked(IDM_RECORD), row.record) << row.name;
        EXPECT_EQ(checked(IDM_PLAYBACK), row.playback) << row.name;
        for (UINT id = IDM_ANIMATE; id <= IDM_INFO; id++) {
            const UINT item = GetMenuState(run_menu, id, MF_BYCOMMAND);
            const UINT unchecked = id == IDM_INFO ? UINT{MF_GRAYED} : 0u;
            if (id != IDM_LOGGING && id != IDM_RECORD && id != IDM_PLAYBACK) {
                EXPECT_EQ(item, unchecked) << row.name << ", item " << id;
            } else {
                EXPECT_EQ(item & ~UINT{MF_CHECKED}, 0u) << row.name << ", item " << id;
            }
        }
    }
    EXPECT_FALSE(state.done);
}

// Hostile sequences of use. After each, a click (the probe) must still come
// as DOVRA_MOUSE at its position and do what it does.
struct Hostile {
    const char *name;
    std::function<void()> prepare; // the directory as the user left it
    std::vector<Action> actions;
    Point probe;
    std::function<void(const ConeState &)> expect; // after the probe
};

void two_scoops(const ConeState &s) {
    EXPECT_EQ(s.scoops, 2);
    EXPECT_EQ(s.topping_count, 0);
    EXPECT_EQ(s.status, STATUS_ADD);
}

void nothing_to_prepare() {}

std::vector<Action> every_letter_but_q_with_ctrl_held() {
    std::vector<Action> actions = {[] { headless_key_down(graphics_window, VK_CONTROL, 0); }};
    for (unsigned letter = 'A'; letter <= 'Z'; letter++) {
        if (letter != 'Q') { // Ctrl+Q would end the run
            actions.push_back(type(letter, static_cast<unsigned char>(letter - 'A' + 1)));
        }
    }
    actions.push_back([] { headless_key_up(graphics_window, VK_CONTROL); });
    return actions;
}

std::vector<Action> eleven_toppings() {
    std::vector<Action> actions;
    for (int i = 0; i < 11; i++) {
        actions.push_back(click(ADD_TOPPING));
        actions.push_back(click({-30 + 6 * i, 40}));
    }
    return actions;
}

const Hostile HOSTILE[] = {
    {"eleven toppings", nothing_to_prepare, eleven_toppings(), ADD_SCOOP,
     [](const ConeState &s) {
         EXPECT_EQ(s.topping_count, 10);
         EXPECT_EQ(s.scoops, 2);
     }},
    {"four scoops",
     nothing_to_prepare,
     {click(ADD_SCOOP), click(ADD_SCOOP), click(ADD_SCOOP), click(ADD_SCOOP)},
     REMOVE_SCOOP,
     two_scoops},
    {"no scoop left to remove",
     nothing_to_prepare,
     {click(REMOVE_SCOOP), click(REMOVE_SCOOP)},
     ADD_SCOOP,
     two_scoops},
    {"topping buttons with no topping",
     nothing_to_prepare,
     {click(SELECT_TOPPING), click(CHANGE_TOPPING), click(CHANGE_COLOR), click({0, 26})},
     ADD_SCOOP,
     [](const ConeState &s) {
         EXPECT_EQ(s.scoops, 2);
         EXPECT_EQ(s.topping_count, 1) << "the click on the scoops placed one";
         EXPECT_EQ(s.topping_kind[0], TOPPING_CIRCLE);
         EXPECT_EQ(s.topping_color[0], 2);
     }},
    {"Record during Playback",
     [] { write_script_file("DOVRA_PERIODIC(1000);\n"); },
     {ctrl('P'), ctrl('R')},
     ADD_SCOOP,
     [](const ConeState &s) {
         EXPECT_EQ(s.scoops, 2);
         EXPECT_TRUE(checked(IDM_RECORD));
         EXPECT_FALSE(checked(IDM_PLAYBACK));
         EXPECT_EQ(read_script_file(), "DOVRA_MOUSE(-240, 232);\n");
     }},
    {"Playback during recording",
     nothing_to_prepare,
     {ctrl('R'), click(ADD_SCOOP), ctrl('P')},
     REMOVE_SCOOP,
     [](const ConeState &s) {
         EXPECT_EQ(s.scoops, 2) << "added, added again by the playback, removed";
         EXPECT_FALSE(checked(IDM_RECORD));
         EXPECT_EQ(read_script_file(), "DOVRA_MOUSE(-240, 232);\n");
     }},
    {"Play one while recording",
     nothing_to_prepare,
     {ctrl('R'), click(ADD_SCOOP), ctrl('O')},
     REMOVE_SCOOP,
     [](const ConeState &s) {
         EXPECT_EQ(s.scoops, 2) << "added, added again by the step, removed";
         EXPECT_FALSE(checked(IDM_RECORD));
         EXPECT_EQ(read_script_file(), "DOVRA_MOUSE(-240, 232);\n");
     }},
    {"Play one at the end of a script",
     [] { write_script_file("DOVRA_KBD(120);\n"); },
     {ctrl('O'), ctrl('O'), ctrl('O')},
     ADD_SCOOP,
     [](const ConeState &s) {
         EXPECT_EQ(s.scoops, 2);
         EXPECT_EQ(lines_logged("EOF encountered in script file DOVRA.SCR\n"), 1);
     }},
    {"an empty script", [] { write_script_file(""); }, {ctrl('P')}, ADD_SCOOP, two_scoops},
    {"a DOVRA.SCR that is a directory, then Ctrl+P",
     [] { fs::create_directory(SCRIPT_FILE_NAME); },
     {ctrl('P')},
     ADD_SCOOP,
     [](const ConeState &s) {
         two_scoops(s);
         EXPECT_EQ(lines_logged("Cannot open script file DOVRA.SCR for reading\n"), 1);
         EXPECT_FALSE(checked(IDM_PLAYBACK));
     }},
    {"recording into a DOVRA.SCR that is a directory",
     [] { fs::create_directory(SCRIPT_FILE_NAME); },
     {ctrl('R'), click(ADD_SCOOP), ctrl('R')},
     REMOVE_SCOOP,
     [](const ConeState &s) {
         EXPECT_EQ(s.scoops, 1);
         EXPECT_GE(lines_logged("Cannot open script file DOVRA.SCR for writing\n"), 1);
         EXPECT_TRUE(fs::is_directory(SCRIPT_FILE_NAME));
     }},
    {"a script of lines that are no steps",
     [] { write_script_file("garbage\n\n\nDOVRA_\nDOVRA_MOUSE(a, b);\nDOVRA_M\n"); },
     {ctrl('P'), ctrl('P'), ctrl('P'), ctrl('P'), ctrl('P')},
     ADD_SCOOP,
     [](const ConeState &s) {
         two_scoops(s);
         EXPECT_FALSE(checked(IDM_PLAYBACK));
     }},
    {"a script with a zero byte and a line of 2000 characters",
     [] {
         const char zero_byte[] = "DOVRA_\0MOUSE(1, 2);\n";
         write_script_file(std::string(zero_byte, sizeof zero_byte - 1) + "DOVRA_KBD(" +
                           std::string(2000, '7') + ");\n");
     },
     {ctrl('P'), ctrl('P'), ctrl('P'), ctrl('P'), ctrl('P'), ctrl('P'), ctrl('P')},
     ADD_SCOOP,
     [](const ConeState &s) {
         two_scoops(s);
         EXPECT_FALSE(checked(IDM_PLAYBACK));
     }},
    {"a script of extreme numbers",
     [] {
         write_script_file("DOVRA_MOUSE(2147483647, -2147483648);\n"
                           "DOVRA_MOUSE(99999999999, 1);\n"
                           "DOVRA_KBD(-99999);\n"
                           "DOVRA_PERIODIC(4294967295);\n");
     },
     {ctrl('P'), ctrl('P')},
     ADD_SCOOP,
     [](const ConeState &s) {
         two_scoops(s);
         EXPECT_FALSE(checked(IDM_PLAYBACK));
     }},
    {"clicks far outside the client area",
     nothing_to_prepare,
     {click_client(-1, -1), click_client(-40000, 10), click_client(10, 100000),
      click_client(595, 496), click_client(70000, -70000), click_client(INT_MAX, INT_MIN)},
     ADD_SCOOP,
     two_scoops},
    {"the log window closed, then Ctrl+L",
     nothing_to_prepare,
     {close_box(&log_window), ctrl('L'), tick, tick, ctrl('L'), close_box(&log_window)},
     ADD_SCOOP,
     [](const ConeState &s) {
         two_scoops(s);
         EXPECT_FALSE(IsWindow(log_window));
         EXPECT_GE(log_lines().size(), 19u) << "the lines are still kept";
         EXPECT_FALSE(checked(IDM_LOGGING));
     }},
    {"resizes of the graphics window",
     nothing_to_prepare,
     {resize(0, 0), resize(5000, 5000), resize(800, 700)},
     ADD_SCOOP,
     [](const ConeState &s) {
         two_scoops(s);
         RECT client;
         GetClientRect(graphics_window, &client);
         EXPECT_EQ(origin_x, client.right / 2);
         EXPECT_EQ(origin_y, client.bottom / 2);
     }},
    {"Ctrl held with every letter", nothing_to_prepare, every_letter_but_q_with_ctrl_held(),
     ADD_SCOOP,
     [](const ConeState &s) {
         two_scoops(s);
         EXPECT_TRUE(checked(IDM_LOGGING));
         EXPECT_TRUE(checked(IDM_RECORD));
         EXPECT_FALSE(checked(IDM_PLAYBACK));
         EXPECT_EQ(read_script_file(), "DOVRA_MOUSE(-240, 232);\n");
     }},
    {"Ctrl's release never seen, then letters",
     nothing_to_prepare,
     {[] { headless_key_down(graphics_window, VK_CONTROL, 0); }, type('X', 'x'), type('B', 'b')},
     ADD_SCOOP,
     two_scoops},
    {"grayed lines and ids of no item",
     nothing_to_prepare,
     {choose(IDM_INFO), choose(0), choose(10), choose(0xFFFF)},
     ADD_SCOOP,
     two_scoops},
};

void PrintTo(const Hostile &c, std::ostream *out) {
    *out << c.name;
}

class ProgramUnderHostileUse : public Program, public ::testing::WithParamInterface<Hostile> {};

TEST_P(ProgramUnderHostileUse, StillAnswersAClick) {
    const Hostile &c = GetParam();
    c.prepare();
    std::vector<Action> actions = c.actions;
    actions.push_back(after_playback(click(c.probe)));
    const Kinds kinds = run(actions);
    ASSERT_FALSE(kinds.empty());
    EXPECT_EQ(kinds.back(), DOVRA_MOUSE);
    EXPECT_EQ(event_state.event_x, c.probe.x);
    EXPECT_EQ(event_state.event_y, c.probe.y);
    EXPECT_FALSE(state.done);
    c.expect(state);
}

std::string test_name(const std::string &text) {
    std::string name;
    for (char ch : text) {
        name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Sequences, ProgramUnderHostileUse, ::testing::ValuesIn(HOSTILE),
                         [](const ::testing::TestParamInfo<Hostile> &info) {
                             return test_name(info.param.name);
                         });

// The whole program, WinMain, from start to its end.

class ProgramRun : public ::testing::Test {
  protected:
    int win_main(const std::vector<Action> &actions) {
        at_idle().assign(actions.begin(), actions.end());
        headless_set_idle_hook(idle_moment, nullptr);
        char command_line[] = "";
        const int exit_code =
            WinMain(GetModuleHandleA(nullptr), nullptr, command_line, SW_SHOWNORMAL);
        EXPECT_TRUE(at_idle().empty()) << "the run ended before the user was done";
        return exit_code;
    }
    ScratchDirectory scratch;
    IdleActions idle;
};

// The first repaint shows the start scene at frame 0; a mark put on the
// surface while the program waits is still there at the end, so no other
// repaint followed.
TEST_F(ProgramRun, StartAndQuitAtOnce) {
    bool looked = false;
    const Action look_and_quit = [&looked] {
        looked = true;
        EXPECT_EQ(pixel(0, 60), MAGENTA);
        EXPECT_EQ(pixel(206, 230), YELLOW);
        EXPECT_EQ(pixel(203, 230), WHITE) << "frame 0";
        SetPixel(surface_dc, 590, 2, GREEN);
        ctrl('Q')();
    };
    EXPECT_EQ(win_main({look_and_quit}), 0);
    EXPECT_TRUE(looked);
    EXPECT_EQ(GetPixel(surface_dc, 590, 2), GREEN);
    EXPECT_FALSE(fs::exists(SCRIPT_FILE_NAME));
}

struct Ending {
    const char *name;
    std::function<void()> prepare;
    std::vector<Action> actions;
    bool graphics_window_closed;
    const char *script; // DOVRA.SCR at the end, or null for none
};

const Ending ENDINGS[] = {
    {"Ctrl+Q", nothing_to_prepare, {ctrl('Q')}, false, nullptr},
    {"the Quit item", nothing_to_prepare, {choose(IDM_QUIT)}, false, nullptr},
    {"the close box", nothing_to_prepare, {close_box(&graphics_window)}, true, nullptr},
    {"the log window's close box, a click, then the graphics window's",
     nothing_to_prepare,
     {close_box(&log_window), click(ADD_SCOOP), close_box(&graphics_window)},
     true,
     nullptr},
    {"Ctrl+Q while recording",
     nothing_to_prepare,
     {ctrl('R'), click(ADD_SCOOP), tick, ctrl('Q')},
     false,
     "DOVRA_MOUSE(-240, 232);\nDOVRA_PERIODIC(1);\n"},
    {"the close box while recording",
     nothing_to_prepare,
     {ctrl('R'), click(ADD_SCOOP), tick, tick, close_box(&graphics_window)},
     true,
     "DOVRA_MOUSE(-240, 232);\nDOVRA_PERIODIC(2);\n"},
    {"Ctrl+Q during playback",
     [] { write_script_file("DOVRA_PERIODIC(1000);\n"); },
     {ctrl('P'), ctrl('Q')},
     false,
     "DOVRA_PERIODIC(1000);\n"},
    {"the close box during playback",
     [] { write_script_file("DOVRA_PERIODIC(1000);\n"); },
     {ctrl('P'), close_box(&graphics_window)},
     true,
     "DOVRA_PERIODIC(1000);\n"},
};

void PrintTo(const Ending &c, std::ostream *out) {
    *out << c.name;
}

class ProgramEnding : public ProgramRun, public ::testing::WithParamInterface<Ending> {};

TEST_P(ProgramEnding, ExitCodeZero) {
    const Ending &c = GetParam();
    c.prepare();
    EXPECT_EQ(win_main(c.actions), 0);
    EXPECT_EQ(IsWindow(graphics_window) == FALSE, c.graphics_window_closed);
    EXPECT_EQ(script_stream, nullptr);
    EXPECT_EQ(window_dc, nullptr);
    if (c.script) {
        EXPECT_EQ(read_script_file(), c.script);
    } else {
        EXPECT_FALSE(fs::exists(SCRIPT_FILE_NAME));
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, ProgramEnding, ::testing::ValuesIn(ENDINGS),
                         [](const ::testing::TestParamInfo<Ending> &info) {
                             return test_name(info.param.name);
                         });

} // namespace
