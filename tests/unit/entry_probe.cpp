// A program whose entry is WinMain: exits 0 when it received what the
// process entry must hand it (instance, no previous instance, the command
// line without the program name, a show command), else a distinct code.
#include "platform/win32.h"

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                   int show_command) {
    if (!instance) {
        return 1;
    }
    if (previous_instance) {
        return 2;
    }
    if (!command_line || std::strcmp(command_line, "one two") != 0) {
        return 3;
    }
    if (show_command < SW_HIDE || show_command > SW_SHOWDEFAULT) {
        return 4;
    }
    return 0;
}
