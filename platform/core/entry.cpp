// The process entry on hosts without Win32: main opens the program's
// backend and hands its arguments to WinMain as one command line, as
// Windows does.
#include "platform/backend/backend.h"
#include "platform/win32.h"

#include <string>

int main(int argc, char **argv) {
    if (!platform_prepare_backend(argc > 0 && argv[0] ? argv[0] : "program")) {
        return 1;
    }
    std::string command_line;
    for (int i = 1; i < argc; i++) {
        if (i > 1) {
            command_line += ' ';
        }
        command_line += argv[i];
    }
    return WinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), SW_SHOWNORMAL);
}
