// A DOVRA program that never ends: it ignores DOVRA_EXIT and draws nothing,
// so only the replay's limit on its clock can stop it.
#include "dovra/dovra.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                   int show_command) {
    DOVRA_startup(instance, previous_instance, command_line, show_command);
    for (;;) {
        DOVRA_next_event(nullptr, nullptr, nullptr);
    }
}
