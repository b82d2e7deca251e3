// The cone builder's run: the package is started with the log window hidden,
// logging off and the animation running; then every event is followed by a
// full repaint, until the quit event.
#include "app/main_loop.h"
#include "app/scene.h"

namespace cone {

void cone_builder_start(ConeState &state, HINSTANCE instance, HINSTANCE previous_instance,
                        LPSTR command_line, int show_command) {
    cone_state_init(state);
    DOVRA_startup(instance, previous_instance, command_line, show_command);
    DOVRA_show_log_window(0);
    DOVRA_set_logging(0);
    DOVRA_clear_window();
    DOVRA_set_animation(ANIM_MODE_RUN);
}

void apply_event(int kind, int x, int y, ConeState &state) {
    switch (kind) {
    case DOVRA_MOUSE:
        if (in_button_panel(x, y)) {
            press_button(y, state);
        } else {
            click_scene(x, y, state);
        }
        break;
    case DOVRA_PERIODIC:
        state.frame_count++;
        break;
    case DOVRA_EXIT:
        state.done = 1;
        break;
    default:
        break; // a character changes nothing
    }
}

int cone_builder_pass(ConeState &state) {
    draw_scene(state);
    int x = 0;
    int y = 0;
    char key = 0; // received and never looked at
    const int kind = DOVRA_next_event(&x, &y, &key);
    apply_event(kind, x, y, state);
    return kind;
}

void cone_builder_end() {
    DOVRA_shutdown();
}

} // namespace cone
