// The Run menu's command ids and handle.
#pragma once

#include "platform/win32.h"

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

extern HMENU run_menu; // null until the graphics window builds it
