// The package's shell against the platform: the Run menu as start-up builds
// it, its commands from the menu and from Ctrl-letter keys, and the graphics
// window's messages (size, clicks, characters, ticks, repaint, close). Runs on
// the portable layer and on Windows under Wine, where every case shares one
// process: the case that closes the windows comes last.
#include "dovra/dovra.h"
#include "dovra/draw/renderer.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "dovra/shell/log.h"
#include "dovra/shell/run_menu.h"
#include "dovra/shell/windows.h"
#include "tests/support/package_fixture.h"
#include "tests/support/portable_support.h"
#include "tests/support/scratch_directory.h"

#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace dovra;

namespace fs = std::filesystem;

namespace {

// Every case runs in a fresh directory of its own.
class InScratchDirectory : public ::testing::Environment {
  public:
    void SetUp() override { scratch = std::make_unique<ScratchDirectory>(); }
    void TearDown() override { scratch.reset(); }

  private:
    std::unique_ptr<ScratchDirectory> scratch;
};

[[maybe_unused]] const ::testing::Environment *const scratch_directory =
    ::testing::AddGlobalTestEnvironment(new InScratchDirectory);

bool checked(UINT id) {
    return (GetMenuState(run_menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// What the commands change, read back in one piece.
struct State {
    int animate, step, logging, recording, playback, play_one;
    bool operator==(const State &o) const {
        return animate == o.animate && step == o.step && logging == o.logging &&
               recording == o.recording && playback == o.playback && play_one == o.play_one;
    }
};

State state_now() {
    return State{animate_on, single_step, logging_on, recording, playing_back, play_one};
}

std::ostream &operator<<(std::ostream &out, const State &s) {
    return out << "animate " << s.animate << " step " << s.step << " logging " << s.logging
               << " recording " << s.recording << " playback " << s.playback << " play_one "
               << s.play_one;
}

struct Input {
    UINT message;
    WPARAM wparam;
};

const Input CTRL_DOWN{WM_KEYDOWN, VK_CONTROL};
const Input CTRL_UP{WM_KEYUP, VK_CONTROL};
Input down(WPARAM key) {
    return Input{WM_KEYDOWN, key};
}
Input up(WPARAM key) {
    return Input{WM_KEYUP, key};
}
Input command(WPARAM id) {
    return Input{WM_COMMAND, id};
}

// Posts each input and takes everything it leads to before the next one, as
// the platform delivers typed keys: the character of a key-down comes before
// the next key message. True when a quit message was taken.
bool deliver(HWND window, const std::vector<Input> &inputs) {
    bool quit = false;
    for (const Input &in : inputs) {
        const LPARAM lparam = in.message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001u) : 1;
        PostMessageA(window, in.message, in.wparam, in.message == WM_COMMAND ? 0 : lparam);
        for (const MSG &msg : portable::drain()) {
            quit = quit || msg.message == WM_QUIT;
        }
    }
    return quit;
}

class Shell : public ::testing::Test {
  protected:
    void SetUp() override {
        package_fixture::start();
        portable::drain();
        ctrl_down = 0;
        if (recording) {
            stop_recording();
        }
        if (playing_back) {
            stop_playback();
        }
        play_one = 0;
        animate_on = 0;
        single_step = 0;
        quit_requested = 0;
        if (!logging_on) {
            toggle_logging();
        }
        event_state.event_kind = NO_EVENT;
        event_state.event_key = 0;
    }
    void TearDown() override {
        ctrl_down = 0;
        EXPECT_FALSE(fs::exists(SCRIPT_FILE_NAME)) << "no event was recorded";
    }
};

std::string text_at(HMENU menu, UINT position) {
    char text[128];
    const int n = GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

TEST_F(Shell, RunMenuReadBackByPosition) {
    HMENU bar = GetMenu(graphics_window);
    ASSERT_EQ(GetMenuItemCount(bar), 1);
    EXPECT_EQ(text_at(bar, 0), "&Run");
    ASSERT_EQ(GetSubMenu(bar, 0), run_menu);

    const UINT SEPARATOR = MF_SEPARATOR | MF_GRAYED | MF_DISABLED; // as the platform reports it
    struct Item {
        const char *text;
        UINT id, state;
    } items[] = {
        {"&Animate\tCtrl+A", IDM_ANIMATE, MF_STRING},
        {"&Halt animation\tCtrl+H", IDM_HALT, MF_STRING},
        {"Advance one &frame\tCtrl+F", IDM_ADVANCE_FRAME, MF_STRING},
        {"", 0, SEPARATOR},
        {"&Logging\tCtrl+L", IDM_LOGGING, MF_CHECKED},
        {"", 0, SEPARATOR},
        {"&Record Script\tCtrl+R", IDM_RECORD, MF_STRING},
        {"&Playback Script\tCtrl+P", IDM_PLAYBACK, MF_STRING},
        {"Play &One Script\tCtrl+O", IDM_PLAY_ONE, MF_STRING},
        {"", 0, SEPARATOR},
        {"&Quit\tCtrl+Q", IDM_QUIT, MF_STRING},
        {"", 0, SEPARATOR},
        {"DOVRA graphics package, version 1.0", IDM_INFO, MF_GRAYED},
        {nullptr, IDM_INFO, MF_GRAYED},
        {nullptr, IDM_INFO, MF_GRAYED},
        {nullptr, IDM_INFO, MF_GRAYED},
    };
    const int count = static_cast<int>(sizeof items / sizeof items[0]);
    ASSERT_EQ(GetMenuItemCount(run_menu), count);
    for (UINT i = 0; i < static_cast<UINT>(count); i++) {
        const std::string text = text_at(run_menu, i);
        if (items[i].text) {
            EXPECT_EQ(text, items[i].text) << "position " << i + 1;
        } else {
            // A credit line: one short line of text.
            EXPECT_FALSE(text.empty()) << "position " << i + 1;
            EXPECT_EQ(text.find_first_of("\t\n&"), std::string::npos) << text;
        }
        EXPECT_EQ(GetMenuItemID(run_menu, static_cast<int>(i)), items[i].id)
            << "position " << i + 1;
        EXPECT_EQ(GetMenuState(run_menu, i, MF_BYPOSITION), items[i].state) << "position " << i + 1;
    }
}

// A command from its Ctrl-letter key and from its menu item changes the same
// state; no character of a shortcut becomes an event, and keys that are no
// shortcut change nothing.
TEST_F(Shell, CommandsFromKeysAndFromTheMenu) {
    const State off{0, 0, 1, 0, 0, 0};
    const State on{1, 0, 1, 0, 0, 0};
    struct Case {
        const char *name;
        bool animating; // animate_on before the inputs
        std::vector<Input> inputs;
        State expected;
        bool quit;
        int key; // the character event, or 0 for none
    } cases[] = {
        {"Ctrl+A", false, {CTRL_DOWN, down('A'), up('A'), CTRL_UP}, on, false, 0},
        {"Animate", false, {command(IDM_ANIMATE)}, on, false, 0},
        {"Ctrl+H", true, {CTRL_DOWN, down('H')}, off, false, 0},
        {"Halt", true, {command(IDM_HALT)}, off, false, 0},
        {"Ctrl+F", true, {CTRL_DOWN, down('F')}, {0, 1, 1, 0, 0, 0}, false, 0},
        {"Advance one frame", true, {command(IDM_ADVANCE_FRAME)}, {0, 1, 1, 0, 0, 0}, false, 0},
        {"Ctrl+L", false, {CTRL_DOWN, down('L')}, {0, 0, 0, 0, 0, 0}, false, 0},
        {"Logging", false, {command(IDM_LOGGING)}, {0, 0, 0, 0, 0, 0}, false, 0},
        {"Ctrl+L with two repeats",
         false,
         {CTRL_DOWN, down('L'), down('L'), down('L')},
         {0, 0, 0, 0, 0, 0},
         false,
         0},
        {"Ctrl+R", false, {CTRL_DOWN, down('R')}, {0, 0, 1, 1, 0, 0}, false, 0},
        {"Record", false, {command(IDM_RECORD)}, {0, 0, 1, 1, 0, 0}, false, 0},
        {"Ctrl+P", true, {CTRL_DOWN, down('P')}, {0, 0, 1, 0, 1, 0}, false, 0},
        {"Playback", true, {command(IDM_PLAYBACK)}, {0, 0, 1, 0, 1, 0}, false, 0},
        {"Ctrl+O", true, {CTRL_DOWN, down('O')}, {0, 0, 1, 0, 0, 1}, false, 0},
        {"Play one", true, {command(IDM_PLAY_ONE)}, {0, 0, 1, 0, 0, 1}, false, 0},
        {"Ctrl+Q", false, {CTRL_DOWN, down('Q')}, off, true, 0},
        {"Quit", false, {command(IDM_QUIT)}, off, true, 0},
        {"Ctrl+Shift+A",
         false,
         {CTRL_DOWN, down(VK_SHIFT), down('A'), up('A'), up(VK_SHIFT)},
         on,
         false,
         0},
        // F1 (0x70) and numpad 1 (0x61) have the codes of the lower-case p and a.
        {"Ctrl with keys outside the table",
         true,
         {CTRL_DOWN, down('B'), down('Z'), down('1'), down(0x70), down(0x61), down(VK_SPACE)},
         on,
         false,
         0},
        {"A alone", false, {down('A'), up('A')}, off, false, 'a'},
        {"Ctrl pressed and released, then A",
         false,
         {CTRL_DOWN, CTRL_UP, down('A')},
         off,
         false,
         'a'},
        {"Letter key-ups while Ctrl is held", true, {CTRL_DOWN, up('H'), up('Q')}, on, false, 0},
        {"Information line", true, {command(IDM_INFO)}, on, false, 0},
        {"Unknown ids", true, {command(0), command(10), command(0xFFFF)}, on, false, 0},
    };
    for (const Case &c : cases) {
        SetUp();
        animate_on = c.animating ? 1 : 0;
        EXPECT_EQ(deliver(graphics_window, c.inputs), c.quit) << c.name;
        EXPECT_EQ(state_now(), c.expected) << c.name;
        // The check marks follow their flags.
        EXPECT_EQ(checked(IDM_LOGGING), logging_on == 1) << c.name;
        EXPECT_EQ(checked(IDM_RECORD), recording == 1) << c.name;
        EXPECT_EQ(checked(IDM_PLAYBACK), playing_back == 1) << c.name;
        if (c.key) {
            EXPECT_EQ(event_state.event_kind, DOVRA_KBD) << c.name;
            // On a desktop the letter's case follows Caps Lock.
            EXPECT_EQ(std::tolower(static_cast<unsigned char>(event_state.event_key)), c.key)
                << c.name;
        } else {
            EXPECT_EQ(event_state.event_kind, NO_EVENT) << c.name;
        }
    }
}

// Keys typed while the log window has the focus reach the same commands.
TEST_F(Shell, ShortcutsFromTheLogWindow) {
    EXPECT_TRUE(deliver(log_window, {CTRL_DOWN, down('A'), down('Q')}));
    EXPECT_EQ(animate_on, 1);
    EXPECT_EQ(ctrl_down, 1u);
    deliver(log_window, {CTRL_UP});
    EXPECT_EQ(ctrl_down, 0u);
}

// Each switch pressed twice is back where it started, check mark included;
// logging leaves the log window as it was, and a recording with no event in
// it leaves no file (checked after every case).
TEST_F(Shell, SwitchesPressedTwice) {
    struct Case {
        WPARAM key;
        UINT id;
        const uint8_t *flag;
        uint8_t first, second;
        bool log_window_shown;
    } cases[] = {
        {'L', IDM_LOGGING, &logging_on, 0, 1, true},
        {'L', IDM_LOGGING, &logging_on, 0, 1, false},
        {'R', IDM_RECORD, &recording, 1, 0, true},
        {'P', IDM_PLAYBACK, &playing_back, 1, 0, true},
    };
    for (const Case &c : cases) {
        SetUp();
        DOVRA_show_log_window(c.log_window_shown);
        deliver(graphics_window, {CTRL_DOWN, down(c.key), up(c.key)});
        EXPECT_EQ(*c.flag, c.first) << static_cast<char>(c.key);
        EXPECT_EQ(checked(c.id), c.first == 1) << static_cast<char>(c.key);
        deliver(graphics_window, {down(c.key), up(c.key), CTRL_UP});
        EXPECT_EQ(*c.flag, c.second) << static_cast<char>(c.key);
        EXPECT_EQ(checked(c.id), c.second == 1) << static_cast<char>(c.key);
        EXPECT_EQ(IsWindowVisible(log_window) != 0, c.log_window_shown) << c.key;
        EXPECT_FALSE(fs::exists(SCRIPT_FILE_NAME)) << static_cast<char>(c.key);
    }
    DOVRA_show_log_window(1);
}

TEST_F(Shell, SizeSetsTheOriginToTheMiddleOfTheClientArea) {
    RECT client;
    GetClientRect(graphics_window, &client);
    // Start-up gave the window its size already.
    EXPECT_EQ(origin_x, client.right / 2);
    EXPECT_EQ(origin_y, client.bottom / 2);
    // The client rectangle counts, not what the message carries.
    origin_x = origin_y = -1;
    SendMessageA(graphics_window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1, 1));
    EXPECT_EQ(origin_x, client.right / 2);
    EXPECT_EQ(origin_y, client.bottom / 2);
}

TEST_F(Shell, ClickPositionInPackageCoordinates) {
    struct Case {
        int x, y;
        int32_t event_x, event_y;
    } cases[] = {
        {10, 20, -287, 228},
        {297, 248, 0, 0},
        {0, 0, -297, 248},
        // Both halves are taken unsigned.
        {0xFFFF, 0xFFFF, 65535 - 297, 248 - 65535},
    };
    for (const Case &c : cases) {
        origin_x = 297;
        origin_y = 248;
        event_state.event_kind = NO_EVENT;
        SendMessageA(graphics_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        EXPECT_EQ(event_state.event_kind, DOVRA_MOUSE) << c.x << "," << c.y;
        EXPECT_EQ(event_state.event_x, c.event_x) << c.x << "," << c.y;
        EXPECT_EQ(event_state.event_y, c.event_y) << c.x << "," << c.y;
    }
    SendMessageA(graphics_window, WM_SIZE, 0, 0); // the real origin again
}

TEST_F(Shell, CharactersUnlessCtrlIsDown) {
    struct Case {
        uint32_t ctrl;
        WPARAM wparam;
        int32_t kind;
        char key;
    } cases[] = {
        {0, 'a', DOVRA_KBD, 'a'},
        {0, 'A', DOVRA_KBD, 'A'},
        {0, 0xE9, DOVRA_KBD, static_cast<char>(0xE9)}, // é in Windows-1252
        {0, 0x1E41, DOVRA_KBD, 'A'},                   // the low 8 bits
        {1, 'a', NO_EVENT, 0},
        {1, 0x01, NO_EVENT, 0}, // the control character of Ctrl+A
    };
    for (const Case &c : cases) {
        ctrl_down = c.ctrl;
        event_state.event_kind = NO_EVENT;
        event_state.event_key = 0;
        SendMessageA(graphics_window, WM_CHAR, c.wparam, 1);
        EXPECT_EQ(event_state.event_kind, c.kind) << c.wparam;
        EXPECT_EQ(event_state.event_key, c.key) << c.wparam;
    }
}

TEST_F(Shell, AnyTimerMessageIsATick) {
    for (WPARAM id : {WPARAM{2}, WPARAM{0}, WPARAM{1234}}) {
        tick_pending = 0;
        SendMessageA(graphics_window, WM_TIMER, id, 0);
        EXPECT_EQ(tick_pending, 1u) << id;
    }
}

TEST_F(Shell, RepaintCopiesTheWholeSurface) {
    const COLORREF GREEN = RGB(0, 255, 0);
    const COLORREF BLUE = RGB(0, 0, 255);
    RECT all{0, 0, SURFACE_WIDTH, SURFACE_HEIGHT};
    RECT block{100, 50, 110, 60};
    HBRUSH green = CreateSolidBrush(GREEN);
    HBRUSH blue = CreateSolidBrush(BLUE);
    FillRect(surface_dc, &all, green);
    FillRect(surface_dc, &block, blue);
    DeleteObject(green);
    DeleteObject(blue);
    surface_dirty = 1;

    // Only a corner needs repainting; the whole surface is copied.
    RECT corner{0, 0, 4, 4};
    InvalidateRect(graphics_window, &corner, FALSE);
    portable::drain();
    EXPECT_EQ(surface_dirty, 0u);
    EXPECT_EQ(GetPixel(window_dc, 105, 55), BLUE);
    EXPECT_EQ(GetPixel(window_dc, 99, 55), GREEN);
    EXPECT_EQ(GetPixel(window_dc, 300, 200), GREEN);
}

TEST_F(Shell, QuitShortcutEndsTheWait) {
    PostMessageA(graphics_window, WM_KEYDOWN, VK_CONTROL, 1);
    PostMessageA(graphics_window, WM_KEYDOWN, 'Q', 1);
    int x = 1, y = 1;
    char key = 1;
    EXPECT_EQ(DOVRA_next_event(&x, &y, &key), DOVRA_EXIT);
}

// Last, since it closes both windows: closing the log window leaves the run
// going, closing the graphics window ends it.
TEST_F(Shell, ClosingTheWindows) {
    PostMessageA(log_window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(graphics_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(origin_x, origin_y));
    int x = 1, y = 1;
    char key = 1;
    EXPECT_EQ(DOVRA_next_event(&x, &y, &key), DOVRA_MOUSE);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_FALSE(IsWindow(log_window));
    EXPECT_EQ(DOVRA_log_printf("after the log window %d\n", 1), 23);

    PostMessageA(graphics_window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(DOVRA_next_event(&x, &y, &key), DOVRA_EXIT);
    EXPECT_FALSE(IsWindow(graphics_window));
    EXPECT_EQ(DOVRA_shutdown(), 1);
    EXPECT_EQ(window_dc, nullptr);
}

} // namespace
