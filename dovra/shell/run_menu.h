// The Run menu: its command ids and handle, the Ctrl key as the graphics
// window has seen it, building the menu, and the commands that its items and
// their Ctrl-letter shortcuts carry out.
#pragma once

#include "platform/win32.h"

#include <cstdint>

namespace dovra {

enum {
    IDM_ANIMATE = 1,
    IDM_HALT = 2,
    IDM_ADVANCE_FRAME = 3,
    IDM_LOGGING = 4,
    IDM_RECORD = 5,
    IDM_PLAYBACK = 6,
    IDM_PLAY_ONE = 7,
    IDM_QUIT = 8,
    IDM_INFO = 9
};

extern HMENU run_menu;     // null until the graphics window builds it
extern uint32_t ctrl_down; // 1 from a key-down of Ctrl to its key-up, else 0

// Builds the menu bar with the Run menu and attaches it to `window`; called
// while the graphics window is being created.
void build_run_menu(HWND window);

// Sets the check marks of Logging, Record Script and Playback Script from
// logging_on, recording and playing_back; the menu's hook for every change
// of those modes.
void show_modes_in_menu();

// Flips logging_on and the Logging check mark; the log window stays as it is.
void toggle_logging();

// Carries out the command with this id (1..8); every other id does nothing.
void run_command(UINT id);

// Key-down and key-up of the graphics window: Ctrl is tracked, and a letter
// of the shortcut table carries out its command while Ctrl is down.
void run_menu_key_down(WPARAM key);
void run_menu_key_up(WPARAM key);

} // namespace dovra
