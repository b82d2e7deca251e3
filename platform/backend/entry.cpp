// The process entry on hosts without Win32: main opens the program's
// backend and hands its arguments to WinMain as one command line, as
// Windows does. Alone in its file, so that a program with a main of its own
// leaves it out.
#include "platform/backend/backend.h"
#include "platform/win32.h"

#include <string>

using namespace portable_win32;

int main(int argc, char **argv) {
    const char *program = argc > 0 && argv[0] ? argv[0] : "program";
    if (!open_program_backend(program, program_display_backends())) {
        return 1;
    }
    std::string command_line;
    for (int i = 1; i < argc; i++) {
        if (i > 1) {
            command_line += ' ';
        }
        command_line += argv[i];
    }
    const int exit_code =
        WinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), SW_SHOWNORMAL);
    return finish_program_backend(exit_code);
}
