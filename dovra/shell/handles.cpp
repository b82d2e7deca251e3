// The package's window and surface handles, and the copy of the surface to
// the graphics window.
#include "dovra/shell/handles.h"

namespace dovra {

HWND graphics_window = nullptr;
HWND log_window = nullptr;
HDC window_dc = nullptr;
HBITMAP surface_bitmap = nullptr;
HDC surface_dc = nullptr;

void show_surface() {
    if (window_dc && surface_dc) {
        BitBlt(window_dc, 0, 0, SURFACE_WIDTH, SURFACE_HEIGHT, surface_dc, 0, 0, SRCCOPY);
    }
}

} // namespace dovra
