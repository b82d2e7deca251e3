// The package's window and surface handles.
#include "dovra/shell/windows.h"

HWND graphics_window = nullptr;
HWND log_window = nullptr;
HDC window_dc = nullptr;
HBITMAP surface_bitmap = nullptr;
HDC surface_dc = nullptr;
