// The process entry on hosts without Win32: main hands the program's
// arguments to WinMain as one command line, as Windows does.
#include "platform/win32.h"

#include <string>

int main(int argc, char **argv) {
    std::string command_line;
    for (int i = 1; i < argc; i++) {
        if (i > 1) {
            command_line += ' ';
        }
        command_line += argv[i];
    }
    return WinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), SW_SHOWNORMAL);
}
