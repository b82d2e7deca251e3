// The Run menu: its items in order, the commands behind them and the
// Ctrl-letter shortcuts, which the graphics window's own key handling
// recognises (there is no accelerator table).
#include "dovra/shell/run_menu.h"
#include "dovra/events/event_state.h"
#include "dovra/events/mode_changes.h"
#include "dovra/events/script.h"
#include "dovra/shell/log.h"

namespace dovra {

HMENU run_menu = nullptr;
uint32_t ctrl_down = 0;

namespace {

struct MenuEntry {
    UINT flags;
    UINT id;
    const char *text; // null for a separator
};

// Top to bottom. The shortcut texts after the tab are labels only.
const MenuEntry RUN_MENU_ENTRIES[] = {
    {MF_STRING, IDM_ANIMATE, "&Animate\tCtrl+A"},
    {MF_STRING, IDM_HALT, "&Halt animation\tCtrl+H"},
    {MF_STRING, IDM_ADVANCE_FRAME, "Advance one &frame\tCtrl+F"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING | MF_CHECKED, IDM_LOGGING, "&Logging\tCtrl+L"}, // logging_on starts at 1
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING, IDM_RECORD, "&Record Script\tCtrl+R"},
    {MF_STRING, IDM_PLAYBACK, "&Playback Script\tCtrl+P"},
    {MF_STRING, IDM_PLAY_ONE, "Play &One Script\tCtrl+O"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING, IDM_QUIT, "&Quit\tCtrl+Q"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_STRING | MF_GRAYED, IDM_INFO, "DOVRA graphics package, version 1.0"},
    {MF_STRING | MF_GRAYED, IDM_INFO, "Cones built one scoop at a time"},
    {MF_STRING | MF_GRAYED, IDM_INFO, "Drawing, scripts and the log in one window"},
    {MF_STRING | MF_GRAYED, IDM_INFO, "Thanks to everyone who tried it out"},
};

struct Shortcut {
    WPARAM key; // virtual-key code of the letter, upper case
    UINT command;
};

void set_check(UINT id, bool checked) {
    CheckMenuItem(run_menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

const Shortcut SHORTCUTS[] = {
    {'A', IDM_ANIMATE}, {'H', IDM_HALT},     {'F', IDM_ADVANCE_FRAME}, {'L', IDM_LOGGING},
    {'R', IDM_RECORD},  {'P', IDM_PLAYBACK}, {'O', IDM_PLAY_ONE},      {'Q', IDM_QUIT},
};

} // namespace

void build_run_menu(HWND window) {
    HMENU menu_bar = CreateMenu();
    run_menu = CreatePopupMenu();
    for (const MenuEntry &entry : RUN_MENU_ENTRIES) {
        AppendMenuA(run_menu, entry.flags, entry.id, entry.text);
    }
    AppendMenuA(menu_bar, MF_POPUP, reinterpret_cast<UINT_PTR>(run_menu), "&Run");
    // From here on the window owns the bar.
    SetMenu(window, menu_bar);
    DrawMenuBar(window);
    mode_change_hook = show_modes_in_menu;
}

void show_modes_in_menu() {
    if (run_menu) {
        set_check(IDM_LOGGING, logging_on != 0);
        set_check(IDM_RECORD, recording != 0);
        set_check(IDM_PLAYBACK, playing_back != 0);
    }
}

void toggle_logging() {
    logging_on = logging_on ? 0 : 1;
    modes_changed();
}

void run_command(UINT id) {
    switch (id) {
    case IDM_ANIMATE:
        animate_on = 1;
        break;
    case IDM_HALT:
        animate_on = 0;
        break;
    case IDM_ADVANCE_FRAME:
        animate_on = 0;
        single_step = 1;
        break;
    case IDM_LOGGING:
        toggle_logging();
        break;
    case IDM_RECORD:
        if (recording) {
            stop_recording();
        } else {
            start_recording();
        }
        break;
    case IDM_PLAYBACK:
        if (playing_back) {
            stop_playback();
        } else {
            start_playback();
        }
        break;
    case IDM_PLAY_ONE:
        play_one_step();
        break;
    case IDM_QUIT:
        // The event pump turns the quit message into DOVRA_EXIT.
        PostQuitMessage(0);
        break;
    default:
        break; // the information lines and unknown ids
    }
}

void run_menu_key_down(WPARAM key) {
    if (key == VK_CONTROL) {
        ctrl_down = 1;
        return;
    }
    if (ctrl_down != 1) {
        return;
    }
    // Shift plays no part: a letter key arrives as its upper-case code.
    for (const Shortcut &shortcut : SHORTCUTS) {
        if (shortcut.key == key) {
            run_command(shortcut.command);
            return;
        }
    }
}

void run_menu_key_up(WPARAM key) {
    if (key == VK_CONTROL) {
        ctrl_down = 0;
    }
}

} // namespace dovra
