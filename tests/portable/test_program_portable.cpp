// The cone builder end to end against the platform: the whole program run
// pass by pass, with input only as window messages (clicks, characters and
// menu commands posted, Ctrl-letter keys sent), judged by the surface's
// pixels, the Run menu's check marks, the log and DOVRA.SCR. Runs on the
// portable layer and, built for Windows, under Wine against real Win32,
// where time is real and the timer ticks on its own: every case starts with
// the animation halted and asserts no timing. Under Wine all cases share one
// process, so the cases that end the run come last.
#include "app/main_loop.h"
#include "dovra/draw/renderer.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "dovra/shell/log.h"
#include "dovra/shell/run_menu.h"
#include "dovra/shell/windows.h"
#include "tests/support/cone_picture.h"
#include "tests/support/event_support.h"
#include "tests/support/package_fixture.h"
#include "tests/support/scratch_directory.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

using namespace dovra;
using namespace cone;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                   int show_command);

namespace fs = std::filesystem;

namespace {

using namespace cone_picture;

// Status-line pixels of the right colour at the least (faces differ).
const int STATUS_PIXELS = 50;

using Kinds = std::vector<int>;

const LPARAM KEY_UP = static_cast<LPARAM>(0xC0000001u);

// Input.

void post_click_client(int x, int y) {
    PostMessageA(graphics_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void post_click(Point p) {
    post_click_client(origin_x + p.x, origin_y - p.y);
}

void post_char(unsigned char ch) {
    PostMessageA(graphics_window, WM_CHAR, ch, 1);
}

void send_command(UINT id) {
    SendMessageA(graphics_window, WM_COMMAND, id, 0);
}

// Ctrl and a letter pressed and released. Sent, so that no translation of a
// posted key makes a character of the letter after Ctrl's release.
void send_shortcut(unsigned letter) {
    SendMessageA(graphics_window, WM_KEYDOWN, VK_CONTROL, 1);
    SendMessageA(graphics_window, WM_KEYDOWN, letter, 1);
    SendMessageA(graphics_window, WM_KEYUP, letter, KEY_UP);
    SendMessageA(graphics_window, WM_KEYUP, VK_CONTROL, KEY_UP);
}

// False also once the menu has gone with its window.
bool checked(UINT id) {
    const UINT state = GetMenuState(run_menu, id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

// Output.

int lines_logged(const std::string &line) {
    const std::vector<std::string> lines = package_fixture::log_lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// Lines added to the log ring since its next slot was `next_before` (fewer
// than 25).
int lines_since(int32_t next_before) {
    return (log_ring.log_next - next_before + LOG_SLOTS) % LOG_SLOTS;
}

// Lines as a text-mode stream writes them: on Windows each ends in CR LF.
std::string as_written(const std::string &lines) {
#ifdef _WIN32
    std::string text;
    for (char ch : lines) {
        text += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    }
    return text;
#else
    return lines;
#endif
}

const char EOF_LINE[] = "EOF encountered in script file DOVRA.SCR\n";

// The application's state, as the main loop owns it: one for the run.
ConeState &cone() {
    static ConeState state;
    return state;
}

int pass() {
    return cone_builder_pass(cone());
}

// A pass ended by a character, which changes nothing: afterwards the surface
// holds the picture of the state as the events so far left it.
void show() {
    post_char('x');
    ASSERT_EQ(pass(), DOVRA_KBD);
}

// Stops a recording or a playback, and closes a stream that a play-one step
// left open, with the Run menu's commands.
void close_the_script() {
    if (checked(IDM_RECORD)) {
        send_command(IDM_RECORD);
    }
    if (checked(IDM_PLAYBACK)) {
        send_command(IDM_PLAYBACK);
    }
    if (script_stream) {
        send_command(IDM_PLAYBACK);
        send_command(IDM_PLAYBACK);
    }
}

// The program as a case expects it: started, halted, neither recording nor
// playing nor logging, with Ctrl released, every character that earlier
// input left queued taken, and the cone at its start. (The cone builder has
// no input that empties the cone, so the model starts again here.)
void bring_to_start() {
    if (!graphics_window) {
        cone_builder_start(cone(), GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    }
    SendMessageA(graphics_window, WM_KEYUP, VK_CONTROL, KEY_UP);
    close_the_script();
    if (checked(IDM_LOGGING)) {
        send_command(IDM_LOGGING);
    }
    send_command(IDM_HALT);
    const unsigned char MARK = 0x7F;
    post_char(MARK);
    for (int i = 0; i < 1000; i++) {
        if (pass() == DOVRA_KBD && static_cast<unsigned char>(event_state.event_key) == MARK) {
            break;
        }
    }
    cone_state_init(cone());
}

class PortableProgram : public ::testing::Test {
  protected:
    void SetUp() override { bring_to_start(); }
    void TearDown() override { close_the_script(); }
    ScratchDirectory scratch;
};

TEST_F(PortableProgram, StartScene) {
    show();
    expect_start_scene(STATUS_PIXELS);
    // The window shows the surface.
    for (Point p : {Point{0, 60}, Point{0, -50}, Point{150, -100}, Point{-60, 12}}) {
        EXPECT_EQ(GetPixel(window_dc, origin_x + p.x, origin_y - p.y), pixel(p.x, p.y))
            << p.x << "," << p.y;
    }
    EXPECT_FALSE(IsWindowVisible(log_window));
}

// Every button and the scoops, one click at a time, each step starting from
// the picture that the one before left.
TEST_F(PortableProgram, ClicksChangeThePicture) {
    for (const ClickStep &step : click_walk()) {
        post_click(step.click);
        EXPECT_EQ(pass(), DOVRA_MOUSE) << step.name;
        show();
        expect_step(step, STATUS_PIXELS);
    }
}

TEST_F(PortableProgram, HaltAdvanceAndAnimate) {
    send_shortcut('A');
    EXPECT_EQ(pass(), DOVRA_PERIODIC);
    EXPECT_EQ(pass(), DOVRA_PERIODIC);
    send_shortcut('H');
    show();
    const std::vector<COLORREF> halted = picture();
    std::this_thread::sleep_for(std::chrono::milliseconds(350)); // ticks come and go
    show();
    EXPECT_EQ(cone().frame_count, 2);
    EXPECT_TRUE(picture() == halted) << "the drip and the pulse stand still";

    // At frame 2 the drop's circle is centred at y -2, at frame 3 at -7.
    EXPECT_EQ(pixel(-60, -14), WHITE);
    send_shortcut('F');
    EXPECT_EQ(pass(), DOVRA_PERIODIC);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    show();
    EXPECT_EQ(cone().frame_count, 3) << "one frame only";
    EXPECT_EQ(pixel(-60, -14), MAGENTA);

    send_shortcut('A');
    EXPECT_EQ(pass(), DOVRA_PERIODIC);
    EXPECT_EQ(pass(), DOVRA_PERIODIC);
    EXPECT_EQ(cone().frame_count, 5);
    send_shortcut('H');
}

TEST_F(PortableProgram, LoggingWritesEveryDrawingOfEveryPass) {
    send_shortcut('L');
    EXPECT_TRUE(checked(IDM_LOGGING));
    int32_t next = log_ring.log_next;
    show();
    EXPECT_EQ(lines_since(next), 19);
    const std::vector<std::string> lines = package_fixture::log_lines();
    ASSERT_GE(lines.size(), 19u);
    EXPECT_EQ(lines[lines.size() - 19],
              "white rectangle with bounding box (-300,250) to (300,-250), filled\n");
    next = log_ring.log_next;
    show();
    EXPECT_EQ(lines_since(next), 19);
    EXPECT_FALSE(IsWindowVisible(log_window)) << "Ctrl+L neither shows nor hides it";
    send_shortcut('L');
    EXPECT_FALSE(checked(IDM_LOGGING));
    next = log_ring.log_next;
    show();
    EXPECT_EQ(lines_since(next), 0);
}

// A recording, its file, and its playback to the same picture. The recorded
// clicks leave the picture as they found it when played over the end of the
// recording (a second red bar on the first), and the 50 ticks bring the
// drip and the pulse round to the same frame.
TEST_F(PortableProgram, RecordingAndPlayback) {
    send_shortcut('R');
    send_shortcut('A');
    Kinds recorded;
    recorded.push_back(pass());
    // With the animation running, input already queued comes before a tick.
    const Point on_scoop{10, 50};
    const std::vector<std::function<void()>> session = {
        [&] { post_click(on_scoop); },   [] { post_char('q'); },
        [] { post_char(233); },          [] { post_click(CHANGE_TOPPING); },
        [] { post_click(ADD_SCOOP); },   [] { post_click(REMOVE_SCOOP); },
        [] { post_click(ADD_TOPPING); },
    };
    for (const auto &input : session) {
        input();
        recorded.push_back(pass());
    }
    for (int i = 0; i < 49; i++) {
        recorded.push_back(pass());
    }
    send_shortcut('R');
    send_shortcut('H');
    Kinds expected = {DOVRA_PERIODIC, DOVRA_MOUSE, DOVRA_KBD,   DOVRA_KBD,
                      DOVRA_MOUSE,    DOVRA_MOUSE, DOVRA_MOUSE, DOVRA_MOUSE};
    expected.insert(expected.end(), 49, DOVRA_PERIODIC);
    EXPECT_EQ(recorded, expected);
    EXPECT_FALSE(checked(IDM_RECORD));
    EXPECT_EQ(read_script_file(), as_written("DOVRA_PERIODIC(1);\n"
                                             "DOVRA_MOUSE(10, 50);\n"
                                             "DOVRA_KBD(113);\n"
                                             "DOVRA_KBD(-23);\n"
                                             "DOVRA_MOUSE(-240, 132);\n"
                                             "DOVRA_MOUSE(-240, 232);\n"
                                             "DOVRA_MOUSE(-240, 207);\n"
                                             "DOVRA_MOUSE(-240, 182);\n"
                                             "DOVRA_PERIODIC(49);\n"));
    show();
    const std::vector<COLORREF> at_the_end = picture();
    EXPECT_EQ(pixel(on_scoop.x + 4, on_scoop.y), RED) << "the bar";

    const int eof_lines = lines_logged(EOF_LINE);
    send_shortcut('P');
    EXPECT_TRUE(checked(IDM_PLAYBACK));
    Kinds played;
    for (std::size_t i = 0; i < expected.size(); i++) {
        played.push_back(pass());
    }
    EXPECT_EQ(played, expected);
    // The end of the script: playback stops and the user's input comes.
    show();
    EXPECT_FALSE(checked(IDM_PLAYBACK));
    EXPECT_EQ(lines_logged(EOF_LINE), eof_lines + 1);
    EXPECT_EQ(cone().topping_count, 2);
    EXPECT_EQ(cone().frame_count, 100);
    EXPECT_TRUE(picture() == at_the_end);
}

TEST_F(PortableProgram, PlayOneStepAtATime) {
    write_script_file("DOVRA_MOUSE(-240, 232);\nDOVRA_PERIODIC(2);\n");
    const int eof_lines = lines_logged(EOF_LINE);
    send_shortcut('O');
    EXPECT_EQ(pass(), DOVRA_MOUSE);
    show();
    EXPECT_EQ(pixel(0, 120), ICE_BLUE) << "the played click added a scoop";
    send_shortcut('O');
    EXPECT_EQ(pass(), DOVRA_PERIODIC);
    send_shortcut('O');
    EXPECT_EQ(pass(), DOVRA_PERIODIC);
    EXPECT_EQ(cone().frame_count, 2);
    // At the end of the script the step is missing; the user's click comes.
    send_shortcut('O');
    post_click(ADD_SCOOP);
    EXPECT_EQ(pass(), DOVRA_MOUSE);
    EXPECT_EQ(lines_logged(EOF_LINE), eof_lines + 1);
    EXPECT_EQ(cone().scoops, 3);
    // And the next starts again from the first line.
    send_shortcut('O');
    EXPECT_EQ(pass(), DOVRA_MOUSE);
    EXPECT_EQ(cone().scoops, 3);
    EXPECT_EQ(cone().frame_count, 2);
    EXPECT_FALSE(checked(IDM_PLAYBACK));
}

// The Run menu read back after each command, from its item or its shortcut,
// and a pass of the program after it.
TEST_F(PortableProgram, RunMenuFollowsTheCommands) {
    write_script_file("DOVRA_PERIODIC(1000);\n");
    auto command = [](UINT id) { return [id] { send_command(id); }; };
    auto shortcut = [](unsigned letter) { return [letter] { send_shortcut(letter); }; };
    struct Row {
        const char *name;
        std::vector<std::function<void()>> inputs;
        bool logging, record, playback;
    } rows[] = {
        {"start", {}, false, false, false},
        {"the Logging item", {command(IDM_LOGGING)}, true, false, false},
        {"Ctrl+L", {shortcut('L')}, false, false, false},
        {"the Playback item", {command(IDM_PLAYBACK)}, false, false, true},
        {"Ctrl+P", {shortcut('P')}, false, false, false},
        {"Ctrl+P again", {shortcut('P')}, false, false, true},
        {"the animation's items",
         {command(IDM_ANIMATE), command(IDM_HALT), command(IDM_ADVANCE_FRAME)},
         false,
         false,
         true},
        {"the animation's shortcuts",
         {shortcut('A'), shortcut('H'), shortcut('F')},
         false,
         false,
         true},
        {"the grayed lines and ids of no item",
         {command(IDM_INFO), command(0), command(10), command(0xFFFF)},
         false,
         false,
         true},
        {"the Record item during playback", {command(IDM_RECORD)}, false, true, false},
        {"Ctrl+L while recording", {shortcut('L')}, true, true, false},
        {"Ctrl+R", {shortcut('R')}, true, false, false},
        {"the Play one item", {command(IDM_PLAY_ONE)}, true, false, false},
        {"the Record item", {command(IDM_RECORD)}, true, true, false},
        {"Ctrl+R again", {shortcut('R')}, true, false, false},
    };
    for (const Row &row : rows) {
        for (const auto &input : row.inputs) {
            input();
        }
        post_char('x');
        pass();
        EXPECT_EQ(checked(IDM_LOGGING), row.logging) << row.name;
        EXPECT_EQ(checked(IDM_RECORD), row.record) << row.name;
        EXPECT_EQ(checked(IDM_PLAYBACK), row.playback) << row.name;
        for (UINT id = IDM_ANIMATE; id <= IDM_INFO; id++) {
            const UINT item = GetMenuState(run_menu, id, MF_BYCOMMAND);
            if (id == IDM_LOGGING || id == IDM_RECORD || id == IDM_PLAYBACK) {
                EXPECT_EQ(item & ~UINT{MF_CHECKED}, 0u) << row.name << ", item " << id;
            } else {
                EXPECT_EQ(item, id == IDM_INFO ? UINT{MF_GRAYED} : 0u)
                    << row.name << ", item " << id;
            }
        }
    }
    EXPECT_FALSE(cone().done);
}

// Hostile sequences of use. After each, a click (the probe) must still come
// as DOVRA_MOUSE at its position and do what it does. The last closes the
// log window, which stays closed for the rest of the run.
TEST_F(PortableProgram, HostileUseStillAnswersAClick) {
    struct Hostile {
        const char *name;
        std::function<void()> use; // input, and the passes that take it
        Point probe;
        std::function<void(const ConeState &)> expect; // after the probe
    };
    const auto clicks = [](std::vector<Point> points) {
        for (Point p : points) {
            post_click(p);
            EXPECT_EQ(pass(), DOVRA_MOUSE);
        }
    };
    const auto two_scoops = [](const ConeState &s) {
        EXPECT_EQ(s.scoops, 2);
        EXPECT_EQ(s.topping_count, 0);
        EXPECT_EQ(s.status, STATUS_ADD);
    };
    int eof_lines = 0;
    int unreadable_lines = 0;
    const Hostile cases[] = {
        {"eleven toppings",
         [&] {
             for (int i = 0; i < 11; i++) {
                 clicks({ADD_TOPPING, {-30 + 6 * i, 40}});
             }
         },
         ADD_SCOOP,
         [](const ConeState &s) {
             EXPECT_EQ(s.topping_count, 10);
             EXPECT_EQ(s.scoops, 2);
         }},
        {"four scoops",
         [&] {
             clicks({ADD_SCOOP, ADD_SCOOP, ADD_SCOOP, ADD_SCOOP});
         },
         REMOVE_SCOOP, two_scoops},
        {"Record during Playback",
         [] {
             write_script_file("DOVRA_PERIODIC(1000);\n");
             send_shortcut('P');
             EXPECT_EQ(pass(), DOVRA_PERIODIC);
             send_shortcut('R');
         },
         ADD_SCOOP,
         [&](const ConeState &s) {
             EXPECT_EQ(s.scoops, 2);
             EXPECT_TRUE(checked(IDM_RECORD));
             EXPECT_FALSE(checked(IDM_PLAYBACK));
             EXPECT_EQ(read_script_file(), as_written("DOVRA_MOUSE(-240, 232);\n"));
         }},
        {"Playback during recording",
         [&] {
             send_shortcut('R');
             clicks({ADD_SCOOP});
             send_shortcut('P');
             EXPECT_EQ(pass(), DOVRA_MOUSE) << "the recorded click";
             post_char('y');
             EXPECT_EQ(pass(), DOVRA_KBD) << "with the end of the script";
         },
         REMOVE_SCOOP,
         [](const ConeState &s) {
             EXPECT_EQ(s.scoops, 2) << "added, added again by the playback, removed";
             EXPECT_FALSE(checked(IDM_RECORD));
             EXPECT_EQ(read_script_file(), as_written("DOVRA_MOUSE(-240, 232);\n"));
         }},
        {"Play one at the end of a script",
         [&] {
             write_script_file("DOVRA_KBD(120);\n");
             eof_lines = lines_logged(EOF_LINE);
             send_shortcut('O');
             EXPECT_EQ(pass(), DOVRA_KBD);
             send_shortcut('O');
             post_char('y');
             EXPECT_EQ(pass(), DOVRA_KBD);
             send_shortcut('O');
             EXPECT_EQ(pass(), DOVRA_KBD);
         },
         ADD_SCOOP,
         [&](const ConeState &s) {
             EXPECT_EQ(s.scoops, 2);
             EXPECT_EQ(lines_logged(EOF_LINE), eof_lines + 1);
         }},
        {"a DOVRA.SCR that is a directory, then Ctrl+P",
         [&] {
             fs::create_directory(SCRIPT_FILE_NAME);
             unreadable_lines = lines_logged("Cannot open script file DOVRA.SCR for reading\n");
             send_shortcut('P');
             post_char('y');
             EXPECT_EQ(pass(), DOVRA_KBD);
         },
         ADD_SCOOP,
         [&](const ConeState &s) {
             EXPECT_EQ(s.scoops, 2);
             EXPECT_EQ(lines_logged("Cannot open script file DOVRA.SCR for reading\n"),
                       unreadable_lines + 1);
             EXPECT_FALSE(checked(IDM_PLAYBACK));
         }},
        {"recording into a DOVRA.SCR that is a directory",
         [&] {
             fs::create_directory(SCRIPT_FILE_NAME);
             send_shortcut('R');
             clicks({ADD_SCOOP});
             send_shortcut('R');
         },
         REMOVE_SCOOP,
         [](const ConeState &s) {
             EXPECT_EQ(s.scoops, 1);
             EXPECT_EQ(package_fixture::log_lines().back(),
                       "Cannot open script file DOVRA.SCR for writing\n");
             EXPECT_TRUE(fs::is_directory(SCRIPT_FILE_NAME));
         }},
        {"a script of lines that are no steps",
         [] {
             write_script_file("garbage\n\n\nDOVRA_\nDOVRA_MOUSE(a, b);\nDOVRA_M\n");
             for (int i = 0; i < 5; i++) {
                 send_shortcut('P');
                 post_char('y');
                 EXPECT_EQ(pass(), DOVRA_KBD);
             }
         },
         ADD_SCOOP,
         [&](const ConeState &s) {
             two_scoops(s);
             EXPECT_FALSE(checked(IDM_PLAYBACK));
         }},
        {"a script of extreme numbers",
         [] {
             write_script_file("DOVRA_MOUSE(2147483647, -2147483648);\n"
                               "DOVRA_MOUSE(99999999999, 1);\n"
                               "DOVRA_KBD(-99999);\n"
                               "DOVRA_PERIODIC(4294967295);\n");
             send_shortcut('P');
             EXPECT_EQ(pass(), DOVRA_MOUSE);
             EXPECT_EQ(pass(), DOVRA_MOUSE);
             EXPECT_EQ(pass(), DOVRA_KBD);
             EXPECT_EQ(pass(), DOVRA_PERIODIC);
             EXPECT_EQ(pass(), DOVRA_PERIODIC);
             send_shortcut('P');
         },
         ADD_SCOOP,
         [&](const ConeState &s) {
             two_scoops(s);
             EXPECT_FALSE(checked(IDM_PLAYBACK));
         }},
        {"clicks far outside the client area",
         [] {
             for (LPARAM position : {MAKELPARAM(-1, -1), MAKELPARAM(-30000, 10),
                                     MAKELPARAM(10, 40000), MAKELPARAM(0xFFFF, 0x8000)}) {
                 PostMessageA(graphics_window, WM_LBUTTONDOWN, MK_LBUTTON, position);
                 EXPECT_EQ(pass(), DOVRA_MOUSE);
             }
         },
         ADD_SCOOP, two_scoops},
        {"Ctrl held with every letter, through the queue",
         [] {
             PostMessageA(graphics_window, WM_KEYDOWN, VK_CONTROL, 1);
             for (unsigned letter = 'A'; letter <= 'Z'; letter++) {
                 if (letter != 'Q') { // Ctrl+Q would end the run
                     PostMessageA(graphics_window, WM_KEYDOWN, letter, 1);
                     PostMessageA(graphics_window, WM_KEYUP, letter, KEY_UP);
                 }
             }
             PostMessageA(graphics_window, WM_KEYUP, VK_CONTROL, KEY_UP);
         },
         ADD_SCOOP,
         [&](const ConeState &s) {
             two_scoops(s);
             EXPECT_TRUE(checked(IDM_LOGGING));
             EXPECT_TRUE(checked(IDM_RECORD));
             EXPECT_FALSE(checked(IDM_PLAYBACK));
             EXPECT_EQ(read_script_file(), as_written("DOVRA_MOUSE(-240, 232);\n"));
         }},
        {"Ctrl's release never seen, then letters",
         [] {
             PostMessageA(graphics_window, WM_KEYDOWN, VK_CONTROL, 1);
             PostMessageA(graphics_window, WM_KEYDOWN, 'X', 1);
             PostMessageA(graphics_window, WM_KEYDOWN, 'B', 1);
         },
         ADD_SCOOP, two_scoops},
        {"grayed lines and ids of no item",
         [] {
             for (UINT id : {UINT{IDM_INFO}, 0u, 10u, 0xFFFFu}) {
                 PostMessageA(graphics_window, WM_COMMAND, id, 0);
             }
         },
         ADD_SCOOP, two_scoops},
        {"the log window closed, then Ctrl+L",
         [] {
             PostMessageA(log_window, WM_CLOSE, 0, 0);
             post_char('y');
             EXPECT_EQ(pass(), DOVRA_KBD);
             send_shortcut('L');
             show();
             send_shortcut('L');
         },
         ADD_SCOOP,
         [&](const ConeState &s) {
             two_scoops(s);
             EXPECT_FALSE(IsWindow(log_window));
             EXPECT_FALSE(checked(IDM_LOGGING));
         }},
    };
    for (const Hostile &c : cases) {
        SCOPED_TRACE(c.name);
        bring_to_start();
        {
            ScratchDirectory own_directory;
            c.use();
            ASSERT_FALSE(checked(IDM_PLAYBACK)) << "playback would take the probe's place";
            post_click(c.probe);
            int kind = 0;
            for (int i = 0; i < 200 && kind != DOVRA_MOUSE; i++) {
                kind = pass(); // characters that the keys made may come first
            }
            EXPECT_EQ(kind, DOVRA_MOUSE);
            EXPECT_EQ(event_state.event_x, c.probe.x);
            EXPECT_EQ(event_state.event_y, c.probe.y);
            EXPECT_FALSE(cone().done);
            c.expect(cone());
            close_the_script();
        }
    }
}

// The quit ends the application's loop, and leaves the windows up: the run
// goes on only because the test drives it on.
TEST_F(PortableProgram, CtrlQAndTheQuitItemEndTheLoop) {
    send_shortcut('Q');
    EXPECT_EQ(pass(), DOVRA_EXIT);
    EXPECT_EQ(cone().done, 1);
    bring_to_start();
    post_click(ADD_SCOOP);
    EXPECT_EQ(pass(), DOVRA_MOUSE);
    PostMessageA(graphics_window, WM_COMMAND, IDM_QUIT, 0);
    EXPECT_EQ(pass(), DOVRA_EXIT);
    EXPECT_EQ(cone().done, 1);
    EXPECT_TRUE(IsWindow(graphics_window));
}

// Last of its kind: the close box ends the run for good.
TEST_F(PortableProgram, TheCloseBoxEndsTheRun) {
    send_shortcut('R');
    post_click(ADD_SCOOP);
    EXPECT_EQ(pass(), DOVRA_MOUSE);
    PostMessageA(graphics_window, WM_CLOSE, 0, 0);
    int kind = 0;
    for (int i = 0; i < 100 && kind != DOVRA_EXIT; i++) {
        kind = pass();
    }
    EXPECT_EQ(kind, DOVRA_EXIT);
    EXPECT_EQ(cone().done, 1);
    EXPECT_FALSE(IsWindow(graphics_window));
    cone_builder_end();
    EXPECT_EQ(window_dc, nullptr);
    EXPECT_EQ(script_stream, nullptr);
    EXPECT_EQ(read_script_file(), as_written("DOVRA_MOUSE(-240, 232);\n"));
}

// WinMain itself, from start to a quit that is already waiting: the start
// scene at frame 0 and exit code 0. Under Wine this runs after the case
// above, in the same process; the program starts a second time there, which
// nothing in it tells from the first.
TEST(PortableProgramRun, StartAndQuitAtOnce) {
    ScratchDirectory scratch;
    PostQuitMessage(0);
    char command_line[] = "";
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, command_line, SW_SHOWNORMAL), 0);
    EXPECT_EQ(window_dc, nullptr);
    EXPECT_EQ(pixel(0, 60), MAGENTA);
    EXPECT_EQ(pixel(206, 230), YELLOW);
    EXPECT_EQ(pixel(203, 230), WHITE) << "frame 0";
    EXPECT_FALSE(fs::exists(SCRIPT_FILE_NAME));
}

} // namespace
