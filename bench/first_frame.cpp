// Measures, from outside the program, how long the cone builder takes from
// its start to its first frame on screen: it starts the program, then polls
// the X server every millisecond for the window "DOVRA Graphics" and for
// the cone's colour at the middle of the client area. Prints both times in
// milliseconds, then ends the program.
// Usage: first_frame MENU-BAR-HEIGHT PROGRAM [ARGS...]
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

Window find_window(Display *display, Window under, const char *name) {
    char *title = nullptr;
    if (XFetchName(display, under, &title) && title) {
        const bool match = std::strcmp(title, name) == 0;
        XFree(title);
        if (match) {
            return under;
        }
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, under, &root, &parent, &children, &count)) {
        return 0;
    }
    Window found = 0;
    for (unsigned i = 0; i < count && !found; i++) {
        found = find_window(display, children[i], name);
    }
    if (children) {
        XFree(children);
    }
    return found;
}

// The pixel at (x, y) of a window as 0xRRGGBB, or -1 when it cannot be read.
long pixel_at(Display *display, Window window, int x, int y) {
    XImage *image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        return -1;
    }
    const unsigned long value = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return static_cast<long>(value & 0xFFFFFF);
}

int ignore_errors(Display *, XErrorEvent *) {
    return 0; // the window may not be mapped yet
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: first_frame MENU-BAR-HEIGHT PROGRAM [ARGS...]\n");
        return 2;
    }
    const int menu_height = std::atoi(argv[1]);
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "first_frame: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignore_errors);
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    auto elapsed_ms = [&] {
        return std::chrono::duration<double, std::milli>(clock::now() - start).count();
    };
    double window_ms = -1;
    double frame_ms = -1;
    Window window = 0;
    const long cone_brown = 0x996633;
    while (elapsed_ms() < 30000) {
        if (!window) {
            window = find_window(display, DefaultRootWindow(display), "DOVRA Graphics");
            if (window) {
                window_ms = elapsed_ms();
            }
        } else if (pixel_at(display, window, 297, menu_height + 298) == cone_brown) {
            frame_ms = elapsed_ms();
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    if (frame_ms < 0) {
        std::fprintf(stderr, "first_frame: no first frame within 30 s\n");
        return 1;
    }
    std::printf("window %.1f ms, first frame %.1f ms\n", window_ms, frame_ms);
    return 0;
}
