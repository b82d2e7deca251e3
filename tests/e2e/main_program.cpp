// A program as a newcomer writes it, with main as its entry instead of
// WinMain: a red circle, and a blue one where each click lands, until the
// window is closed. Built twice: `int main()` and `int main(int, char **)`.
#include "dovra/dovra.h"

#ifdef MAIN_WITH_ARGUMENTS
int main(int argc, char **argv) {
    (void)argc;
    (void)argv;
#else
int main() {
#endif
    DOVRA_startup(nullptr, nullptr, nullptr, SW_SHOWNORMAL);
    DOVRA_clear_window();
    DOVRA_draw_circle(2, 0, 0, 50);
    int x = 0, y = 0;
    char key = 0;
    int kind;
    while ((kind = DOVRA_next_event(&x, &y, &key)) != DOVRA_EXIT) {
        if (kind == DOVRA_MOUSE) {
            DOVRA_draw_circle(4, x, y, 10);
        }
    }
    DOVRA_shutdown();
    return 0;
}
