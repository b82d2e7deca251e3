// DOVRA's public interface: the calls an application makes, the event kinds
// that DOVRA_next_event returns and the animation modes of DOVRA_set_animation.
#pragma once

#include "platform/win32.h"

#if defined(__GNUC__) || defined(__clang__)
#define DOVRA_PRINTF_FORMAT(format_index, first_arg)                                               \
    __attribute__((format(printf, format_index, first_arg)))
#else
#define DOVRA_PRINTF_FORMAT(format_index, first_arg)
#endif

// Event kinds returned by DOVRA_next_event.
enum {
    DOVRA_MOUSE = 1,    // a left click; x and y hold its position
    DOVRA_KBD = 2,      // a character; key holds it
    DOVRA_PERIODIC = 3, // one animation tick
    DOVRA_EXIT = 4      // the program is to end
};

// Modes of DOVRA_set_animation. Every other value is accepted and changes nothing.
enum {
    ANIM_MODE_STOP = 0, // no periodic events
    ANIM_MODE_STEP = 1, // one periodic event
    ANIM_MODE_RUN = 2,  // one periodic event per tick
    ANIM_MODE_EXIT = 5  // every later wait returns DOVRA_EXIT
};

// Start-up and shutdown: the graphics and log windows, the off-screen surface
// and the 100 ms timer. Both return 1.
int DOVRA_startup(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                  int show_command);
int DOVRA_shutdown(void);

// Drawing in package coordinates: origin at the centre of the graphics window,
// y upwards. Colours are palette indices 0..23; width 0 means filled. Bad
// arguments are repaired and reported in the log. All return 1, except
// DOVRA_draw_printf, which returns the formatted character count.
int DOVRA_draw_circle(int color, int x, int y, int radius);
int DOVRA_draw_triangle(int color, int x1, int y1, int x2, int y2, int x3, int y3, int width);
int DOVRA_draw_rectangle(int color, int x1, int y1, int x2, int y2, int width);
int DOVRA_draw_text(int color, int x, int y, int ptsize, const char *text);
int DOVRA_draw_printf(int color, int x, int y, int ptsize, const char *format, ...)
    DOVRA_PRINTF_FORMAT(5, 6);
int DOVRA_clear_window(void);

// Waits for the next event and returns its kind; writes all three outputs.
int DOVRA_next_event(int *x, int *y, char *key);

// Control calls: 1 when done, 0 when the package has not been started.
int DOVRA_set_animation(int mode);
int DOVRA_set_logging(int flag);

// Shows (non-zero) or hides (zero) the log window; non-zero when it was visible.
int DOVRA_show_log_window(int flag);

// Appends one formatted line to the log; returns the formatted character count.
int DOVRA_log_printf(const char *format, ...) DOVRA_PRINTF_FORMAT(1, 2);
