// The log: the ring of the last 25 lines, each in a movable block, the
// logging switch, and the log window that shows the lines.
#pragma once

#include "platform/win32.h"

#include <cstdint>

namespace dovra {

enum {
    LOG_SLOTS = 25,
    LOG_LINE_LIMIT = 1023 // characters of one formatted line
};

struct LogRing {
    HGLOBAL slots[LOG_SLOTS];
    int32_t log_first; // oldest stored line; -1 while empty
    int32_t log_next;  // slot of the next line
};

extern LogRing log_ring;
extern uint8_t logging_on; // 0 or 1; the drawing calls describe what they draw while 1

// Draws one line at the bottom of the log window, after scrolling the rest
// up by a line. A trailing newline is dropped (in place) and not drawn.
void log_paint_line(char *text);

// Paints every stored line, oldest first, so the newest ends at the bottom.
void log_repaint();

LRESULT CALLBACK log_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

} // namespace dovra
