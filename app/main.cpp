// The cone builder's entry point.
#include "app/main_loop.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                   int show_command) {
    cone::ConeState state;
    cone::cone_builder_start(state, instance, previous_instance, command_line, show_command);
    while (!state.done) {
        cone::cone_builder_pass(state);
    }
    cone::cone_builder_end();
    return 0;
}
