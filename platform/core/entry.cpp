// The process entry on hosts without Win32: main opens the program's
// backend (or, when the environment asks for a headless replay, the replay
// backend) and hands its arguments to WinMain as one command line, as
// Windows does.
#include "platform/backend/backend.h"
#include "platform/backend/replay/replay.h"
#include "platform/win32.h"

#include <string>

int main(int argc, char **argv) {
    const char *program = argc > 0 && argv[0] ? argv[0] : "program";
    const bool replaying = replay_requested();
    if (replaying ? !replay_prepare(program) : !platform_prepare_backend(program)) {
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
    return replaying ? replay_finish(exit_code) : exit_code;
}
