// A small DOVRA program for end-to-end tests of the desktop backend: it
// shows the log window with logging on, and reports on standard output each
// event it gets and each new size of the log window's client area, so that
// a test driving it from outside can see what reached the program.
#include "dovra/dovra.h"
#include "dovra/shell/windows.h"

#include <cstdio>

using namespace dovra;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    DOVRA_startup(instance, previous, command_line, show);
    DOVRA_clear_window();
    DOVRA_set_logging(1);
    DOVRA_log_printf("desktop probe started\n");
    const HWND log = log_window;
    RECT last{};
    for (;;) {
        DOVRA_draw_circle(4, 0, 0, 40);
        int x = 0, y = 0;
        char key = 0;
        const int kind = DOVRA_next_event(&x, &y, &key);
        RECT now{};
        if (log && IsWindow(log) && GetClientRect(log, &now) &&
            (now.right != last.right || now.bottom != last.bottom)) {
            std::printf("log %dx%d\n", static_cast<int>(now.right), static_cast<int>(now.bottom));
            last = now;
        }
        if (kind == DOVRA_MOUSE) {
            std::printf("click %d %d\n", x, y);
        } else if (kind == DOVRA_KBD) {
            std::printf("key %d\n", static_cast<unsigned char>(key));
        } else if (kind == DOVRA_EXIT) {
            std::printf("exit\n");
            break;
        }
        std::fflush(stdout);
    }
    DOVRA_shutdown();
    return 0;
}
