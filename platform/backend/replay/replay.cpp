// Headless replay: any program of the layer run without a display, on the
// headless backend, while the program plays a recorded script. The switch is
// the environment:
//   DOVRA_REPLAY=script          replay this script (the package plays it
//                                from start-up and ends the run at its end)
//   DOVRA_REPLAY_PICTURE=file    the picture at the end (default replay.png)
//   DOVRA_REPLAY_EVERY=N         also one picture every N frames
//   DOVRA_REPLAY_FRAMES=N        the run's limit (default 100000 frames)
// A frame is one showing of the main window (the first window the program
// creates); its picture is that window's client area.
//
// The backend is the headless one with entries of its own: it checks the
// settings when it opens, counts the main window's frames, writes their
// pictures, stops a run that does not end, and writes the last picture when
// the program has returned, from the surface that window's creation handed it.
#include "platform/backend/backend.h"
#include "platform/backend/headless/headless.h"
#include "platform/backend/replay/png_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace portable_win32 {

namespace {

const long DEFAULT_FRAME_LIMIT = 100000;
const long MAX_NUMBER = 1000000000;
// The clock may run for as long as this many frames of the animation
// would take: a program that never shows a frame still meets the limit.
const uint32_t FRAME_PERIOD_MS = 100;

struct Replay {
    std::string program = "program";
    std::string picture = "replay.png";
    long every = 0;
    long frame_limit = DEFAULT_FRAME_LIMIT;
    uint32_t start_ms = 0;
    HWND main_window = nullptr;
    // The main window's client pixels: they outlive the window, so the last
    // picture is there even when the program destroyed it.
    std::shared_ptr<const Surface> main_surface;
    long frames = 0;
};

Replay &replay() {
    static Replay r;
    return r;
}

void fail_line(const std::string &message) {
    std::fprintf(stderr, "%s: %s\n", replay().program.c_str(), message.c_str());
}

// A whole number from 1 to MAX_NUMBER, or the default when the variable is
// unset or empty.
bool number_setting(const char *name, long fallback, long *value, std::string *error) {
    const char *text = std::getenv(name);
    if (!text || !*text) {
        *value = fallback;
        return true;
    }
    errno = 0;
    char *end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || n < 1 || n > MAX_NUMBER) {
        *error = std::string(name) + "=" + text + " is not a whole number from 1 to " +
                 std::to_string(MAX_NUMBER);
        return false;
    }
    *value = n;
    return true;
}

bool script_readable(const std::string &path, std::string *error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        *error = "cannot read the script \"" + path + "\": it is a directory";
        return false;
    }
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = "cannot read the script \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    std::fclose(file);
    return true;
}

// Opens the picture's file without truncating it; a file made only for
// the test is removed again.
bool picture_writable(const std::string &path, std::string *error) {
    std::error_code ignored;
    const bool existed = std::filesystem::exists(path, ignored);
    std::FILE *file = std::fopen(path.c_str(), "ab");
    if (!file) {
        *error = "cannot write the picture \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    std::fclose(file);
    if (!existed) {
        std::remove(path.c_str());
    }
    return true;
}

// "out.png" and frame 30 give "out-000030.png".
std::string numbered_picture(long frame) {
    const std::string &path = replay().picture;
    const std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        dot = path.size();
    }
    char number[32];
    std::snprintf(number, sizeof number, "-%06ld", frame);
    return path.substr(0, dot) + number + path.substr(dot);
}

bool write_picture(const std::string &path, const uint32_t *pixels, int width, int height) {
    std::string error;
    if (!write_png_file(path, pixels, width, height, &error)) {
        fail_line("cannot write the picture \"" + path + "\": " + error);
        return false;
    }
    return true;
}

// The run has gone on past its limit: it is stopped where it is, with no
// last picture, since it never reached its end.
[[noreturn]] void stop_endless_run(const char *how) {
    fail_line(std::string("the replay did not end within ") + std::to_string(replay().frame_limit) +
              " frames (" + how + "; DOVRA_REPLAY_FRAMES sets the limit)");
    std::fflush(nullptr);
    std::_Exit(2);
}

const Backend &base() {
    return headless_backend();
}

void check_clock() {
    const Replay &r = replay();
    const uint32_t elapsed = base().now_ms() - r.start_ms;
    if (static_cast<unsigned long long>(elapsed) >
        static_cast<unsigned long long>(r.frame_limit) * FRAME_PERIOD_MS) {
        stop_endless_run("its clock ran that long");
    }
    if (headless_starved_waits() > r.frame_limit) {
        stop_endless_run("it waits for input that no script gives");
    }
}

void create_window(const BackendWindowInfo &info) {
    Replay &r = replay();
    if (!r.main_window) {
        r.main_window = info.window;
        r.main_surface = info.surface;
    }
    base().create_window(info);
}

// Only the frames that become pictures need their pixels: the others are
// counted, and the package's copy of each into the window is never made.
bool wants_pixels(HWND window) {
    const Replay &r = replay();
    return window == r.main_window && r.every && (r.frames + 1) % r.every == 0;
}

void present(HWND window, const uint32_t *pixels, int width, int height) {
    base().present(window, pixels, width, height);
    Replay &r = replay();
    if (window != r.main_window) {
        return;
    }
    r.frames++;
    if (r.every && r.frames % r.every == 0 &&
        !write_picture(numbered_picture(r.frames), pixels, width, height)) {
        std::fflush(nullptr);
        std::_Exit(1);
    }
    if (r.frames > r.frame_limit) {
        stop_endless_run("that many frames were shown");
    }
}

void wait_input(bool has_deadline, uint32_t deadline) {
    base().wait_input(has_deadline, deadline);
    check_clock();
}

void poll_idle(bool has_deadline, uint32_t deadline) {
    base().poll_idle(has_deadline, deadline);
    check_clock();
}

bool open(const char *program, std::string *error) {
    Replay &r = replay();
    const std::string path = program && *program ? program : "program";
    r.program = path.substr(path.find_last_of('/') + 1);
    if (const char *picture = std::getenv("DOVRA_REPLAY_PICTURE"); picture && *picture) {
        r.picture = picture;
    }
    const char *script = std::getenv("DOVRA_REPLAY");
    const bool ready =
        number_setting("DOVRA_REPLAY_EVERY", 0, &r.every, error) &&
        number_setting("DOVRA_REPLAY_FRAMES", DEFAULT_FRAME_LIMIT, &r.frame_limit, error) &&
        script_readable(script ? script : "", error) && picture_writable(r.picture, error);
    r.start_ms = base().now_ms();
    return ready;
}

// The program returned `exit_code`: its last picture is written. The
// process's exit code: the program's, or 1 when there was no picture to
// write or it could not be written.
int finish(int exit_code) {
    const Replay &r = replay();
    bool written = false;
    if (const Surface *s = r.main_surface.get()) {
        written = write_picture(r.picture, surface_pixels(*s), s->width, s->height);
    } else {
        fail_line("no picture: the program created no window");
    }
    if (exit_code != 0) {
        return exit_code;
    }
    return written ? 0 : 1;
}

} // namespace

// The headless backend's table, with the replay's own entries.
const Backend &replay_backend() {
    static const Backend table = [] {
        Backend b = headless_backend();
        b.name = "replay";
        b.open = open;
        b.finish = finish;
        b.create_window = create_window;
        b.present = present;
        b.wants_pixels = wants_pixels;
        b.wait_input = wait_input;
        b.poll_idle = poll_idle;
        return b;
    }();
    return table;
}

} // namespace portable_win32
