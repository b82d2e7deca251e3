// The one place that decides which backend a program talks to: a headless
// replay when the environment asks for one, else the display backend its
// link library offers, else headless.
#include "platform/backend/backend.h"
#include "platform/gdi/font_face.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace portable_win32 {

namespace {

const Backend *active = nullptr;

bool replay_requested() {
    const char *script = std::getenv("DOVRA_REPLAY");
    return script && *script;
}

// A backend that shows windows draws text in them: without a face that
// FreeType can load, the program would show windows without words.
bool fonts_usable(std::string *error) {
    if (resolve_face("Arial", FW_NORMAL, false)) {
        return true;
    }
    *error = "no usable font: fontconfig finds no face that FreeType can load "
             "(install fonts-dejavu-core or fonts-liberation2)";
    return false;
}

bool open_backend(const Backend &backend, const char *program, std::string *error) {
    if (backend.open && !backend.open(program, error)) {
        return false;
    }
    active = &backend;
    return true;
}

// The program as it was started (its first argument), for messages.
std::string program_as_started() {
    std::ifstream command_line("/proc/self/cmdline", std::ios::binary);
    std::string first;
    std::getline(command_line, first, '\0');
    return first;
}

void finish_at_exit() {
    const int code = finish_program_backend(0);
    if (code != 0) {
        std::_Exit(code);
    }
}

// A program whose own main left out the layer's entry point: its backend is
// chosen, as the entry point would, at the first call that needs one, and
// finishes when the process exits. A program that cannot run says why and
// exits 1, as it would from the entry point.
void open_without_entry() {
    static bool opening = false;
    if (opening) {
        return; // the backend's own opening asked: headless meanwhile
    }
    opening = true;
    const std::string program = program_as_started();
    if (!open_program_backend(program.c_str(), program_display_backends())) {
        std::fflush(nullptr);
        std::exit(1);
    }
    std::atexit(finish_at_exit);
    opening = false;
}

} // namespace

const Backend &platform_backend() {
    if (!active) {
        open_without_entry();
    }
    return active ? *active : headless_backend();
}

bool open_program_backend(const char *program, const Backend *const *display_backends) {
    // Messages start with the program's name and suggest commands as typed.
    const std::string path = program && *program ? program : "program";
    const std::string name = path.substr(path.find_last_of('/') + 1);
    std::string error;
    bool opened = false;
    if (replay_requested()) {
        opened = open_backend(replay_backend(), path.c_str(), &error);
    } else if (!display_backends || !display_backends[0]) {
        opened = open_backend(headless_backend(), path.c_str(), &error);
    } else if (fonts_usable(&error)) {
        for (const Backend *const *b = display_backends; *b && !opened; b++) {
            opened = open_backend(**b, path.c_str(), &error);
        }
    }
    if (!opened) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
    }
    return opened;
}

int finish_program_backend(int exit_code) {
    const Backend &backend = platform_backend();
    return backend.finish ? backend.finish(exit_code) : exit_code;
}

} // namespace portable_win32
