// The smallest complete DOVRA program: a red circle and a line of text,
// until the window is closed.
#include "dovra/dovra.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    DOVRA_startup(instance, previous, command_line, show);
    DOVRA_clear_window();
    DOVRA_draw_circle(2, 0, 0, 50);
    DOVRA_draw_text(0, -60, -80, 14, "Hello, DOVRA");
    while (DOVRA_next_event(nullptr, nullptr, nullptr) != DOVRA_EXIT) {
    }
    DOVRA_shutdown();
    return 0;
}
