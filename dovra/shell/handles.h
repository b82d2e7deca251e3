// The package's windows and surface handles, process-wide: null until
// start-up creates them. A non-null graphics_window means the package has
// been started.
#pragma once

#include "platform/win32.h"

namespace dovra {

enum {
    SURFACE_WIDTH = 601, // the surface has the graphics window's outer size
    SURFACE_HEIGHT = 540
};

extern HWND graphics_window;
extern HWND log_window;
extern HDC window_dc;          // the graphics window's context, held for the whole run
extern HBITMAP surface_bitmap; // the off-screen surface
extern HDC surface_dc;         // memory context with the surface selected

// Copies the whole surface to the graphics window's client area, as a plain
// copy; nothing once shutdown has released the window's context.
void show_surface();

} // namespace dovra
