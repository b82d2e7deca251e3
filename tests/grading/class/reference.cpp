// The teacher's program for the test class: a red circle at the centre and
// a blue one where each click lands, until the run ends.
#include "dovra/dovra.h"

int main() {
    DOVRA_startup(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
    DOVRA_clear_window();
    DOVRA_draw_circle(2, 0, 0, 50);
    int x = 0, y = 0;
    while (DOVRA_next_event(&x, &y, nullptr) != DOVRA_EXIT) {
        if (x || y) {
            DOVRA_draw_circle(4, x, y, 10);
        }
    }
    DOVRA_shutdown();
    return 0;
}
