// A program as a newcomer writes it: everything at global scope, with the
// everyday names a graphics program reaches for (recording, palette,
// log_window, window_dc, find_window, distance, draw_text, Window). The
// package must leave all of them to the program: it links, and each global
// still holds what the program put there when the run is over.
#include "dovra/dovra.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

int recording = 0; // events this program has been given
int palette[3];    // the program's own three colours
int log_window;    // the line of the next note the program draws
int window_dc;     // texts drawn through draw_text below

int draw_text(int color, int x, int y, int size, const char *text) {
    ++window_dc;
    return DOVRA_draw_text(color, x, y, size, text);
}

class Window {
  public:
    Window(const char *title, int x, int y) : title_(title), x_(x), y_(y) {}
    const char *title() const { return title_; }
    int draw(int color) const { return draw_text(color, x_, y_, 12, title_); }

  private:
    const char *title_;
    int x_, y_;
};

std::vector<Window *> windows;

// The index of the window with this title, or -1.
int find_window(const char *title) {
    for (size_t i = 0; i < windows.size(); ++i) {
        if (std::strcmp(windows[i]->title(), title) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

double distance(double dx, double dy) {
    return std::sqrt(dx * dx + dy * dy);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    palette[0] = 4;
    palette[1] = 2;
    palette[2] = 19;
    log_window = 200;
    Window title("scoops", -280, 230), status("status", -280, -230);
    windows.push_back(&title);
    windows.push_back(&status);

    DOVRA_startup(instance, previous, command_line, show);
    DOVRA_clear_window();
    int drawn = 0;
    for (Window *window : windows) {
        window->draw(palette[0]);
        ++drawn;
    }
    int events = 0;
    int x = 0, y = 0;
    char key = 0;
    int kind;
    while ((kind = DOVRA_next_event(&x, &y, &key)) != DOVRA_EXIT) {
        ++events;
        ++recording;
        if (kind == DOVRA_MOUSE) {
            DOVRA_draw_circle(palette[1], x, y, static_cast<int>(distance(x, y)) % 40 + 5);
        } else if (kind == DOVRA_KBD) {
            char note[32];
            std::snprintf(note, sizeof note, "key %c", key);
            draw_text(palette[2], 0, log_window, 10, note);
            ++drawn;
            log_window -= 14;
        }
    }
    windows[find_window("status")]->draw(palette[2]);
    ++drawn;
    DOVRA_shutdown();

    const int notes = (200 - log_window) / 14;
    const bool kept = recording == events && palette[0] == 4 && palette[1] == 2 &&
                      palette[2] == 19 && window_dc == drawn && (200 - log_window) % 14 == 0 &&
                      notes <= events && windows.size() == 2 && find_window("scoops") == 0 &&
                      distance(3, 4) == 5.0;
    if (!kept) {
        std::fprintf(stderr,
                     "user_globals: the program's globals changed under it: recording %d (%d "
                     "events), palette %d %d %d, log_window %d, window_dc %d (%d drawn)\n",
                     recording, events, palette[0], palette[1], palette[2], log_window, window_dc,
                     drawn);
        return 1;
    }
    return 0;
}
