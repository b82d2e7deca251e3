// The graphics window's procedure: clicks, characters, timer ticks, size
// changes and repaint requests become the package's state; keys and menu
// commands go to the Run menu.
#pragma once

#include "dovra/shell/handles.h"

namespace dovra {

// The procedure of the graphics window's class, "DrawWndClass".
LRESULT CALLBACK graphics_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

} // namespace dovra
