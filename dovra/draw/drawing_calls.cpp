// The drawing calls: each repairs bad arguments with a warning in the log,
// describes what it draws while logging is on, and renders one record.
#include "dovra/draw/drawing_calls.h"
#include "dovra/dovra.h"
#include "dovra/draw/palette.h"
#include "dovra/draw/renderer.h"
#include "dovra/draw/saturate.h"
#include "dovra/shell/bounded_format.h"
#include "dovra/shell/log.h"
#include "dovra/shell/package_state.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>

namespace dovra {

namespace {

// Negation for the repairs: the most negative int becomes the largest one.
int negate(int v) {
    return v == INT_MIN ? INT_MAX : -v;
}

int repaired_width(int width) {
    if (width < 0) {
        DOVRA_log_printf("Width of %d not possible, using width %d\n", width, negate(width));
        width = negate(width);
    }
    return width;
}

} // namespace

int check_color(int color) {
    if (color >= 0 && color < PALETTE_SIZE) {
        return color;
    }
    DOVRA_log_printf("Illegal color %d; using RED.\n", color);
    return PALETTE_RED;
}

int draw_circle(int color, int x, int y, int radius) {
    color = check_color(color);
    if (radius < 0) {
        DOVRA_log_printf("Radius of %d not possible, using radius %d\n", radius, negate(radius));
        radius = negate(radius);
    }
    if (logging_on) {
        DOVRA_log_printf("%s circle at (%d,%d), radius %d\n", palette_name(color), x, y, radius);
    }
    const DisplayRecord r{SHAPE_OVAL,
                          color,
                          0,
                          saturate(static_cast<int64_t>(x) - radius),
                          saturate(static_cast<int64_t>(y) + radius),
                          saturate(static_cast<int64_t>(x) + radius),
                          saturate(static_cast<int64_t>(y) - radius),
                          0,
                          0,
                          nullptr};
    render_record(r);
    return 1;
}

int draw_triangle(int color, int x1, int y1, int x2, int y2, int x3, int y3, int width) {
    color = check_color(color);
    width = repaired_width(width);
    if (logging_on) {
        DOVRA_log_printf("%s triangle at (%d,%d), (%d,%d), (%d,%d)\n", palette_name(color), x1, y1,
                         x2, y2, x3, y3);
    }
    render_record(DisplayRecord{SHAPE_TRIANGLE, color, width, x1, y1, x2, y2, x3, y3, nullptr});
    return 1;
}

int draw_rectangle(int color, int x1, int y1, int x2, int y2, int width) {
    if (x1 > x2) {
        std::swap(x1, x2);
    }
    if (y1 < y2) {
        std::swap(y1, y2);
    }
    color = check_color(color);
    width = repaired_width(width);
    if (logging_on) {
        if (width == 0) {
            DOVRA_log_printf("%s rectangle with bounding box (%d,%d) to (%d,%d), filled\n",
                             palette_name(color), x1, y1, x2, y2);
        } else {
            DOVRA_log_printf(
                "%s rectangle with bounding box (%d,%d) to (%d,%d) with line width %d\n",
                palette_name(color), x1, y1, x2, y2, width);
        }
    }
    render_record(DisplayRecord{SHAPE_RECTANGLE, color, width, x1, y1, x2, y2, 0, 0, nullptr});
    return 1;
}

int draw_text(int color, int x, int y, int ptsize, const char *text) {
    if (ptsize < 0) {
        DOVRA_log_printf("ptsize of %d not possible, using ptsize %d\n", ptsize, negate(ptsize));
        ptsize = negate(ptsize);
    }
    if (ptsize > 127) {
        DOVRA_log_printf("ptsize of %d not possible, using ptsize %d\n", ptsize, 127);
        ptsize = 127;
    }
    color = check_color(color);
    if (!text) {
        text = ""; // no text to draw: an empty one
    }
    if (logging_on) {
        DOVRA_log_printf("%s text at (%d,%d), \"%s\"\n", palette_name(color), x, y, text);
    }
    DisplayRecord r{SHAPE_TEXT, color, 0, x, y, ptsize, 0, 0, 0, nullptr};
    // The text travels in a movable block of its own, freed once drawn; a
    // block that cannot be had skips the drawing.
    const size_t length = std::strlen(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    if (!block) {
        return 1;
    }
    char *copy = static_cast<char *>(GlobalLock(block));
    if (!copy) {
        GlobalFree(block);
        return 1;
    }
    std::memcpy(copy, text, length + 1);
    GlobalUnlock(block);
    r.text = block;
    render_record(r);
    GlobalFree(block);
    return 1;
}

int clear_window() {
    if (logging_on) {
        DOVRA_log_printf("Clearing the graphics window\n");
    }
    fill_background();
    return 1;
}

} // namespace dovra

using namespace dovra;

// Drawing before start-up paints nothing; after shutdown nothing is shown.
static const char NOTHING_DRAWN[] = "nothing drawn";

int DOVRA_draw_circle(int color, int x, int y, int radius) {
    package_running("DOVRA_draw_circle", NOTHING_DRAWN);
    return draw_circle(color, x, y, radius);
}

int DOVRA_draw_triangle(int color, int x1, int y1, int x2, int y2, int x3, int y3, int width) {
    package_running("DOVRA_draw_triangle", NOTHING_DRAWN);
    return draw_triangle(color, x1, y1, x2, y2, x3, y3, width);
}

int DOVRA_draw_rectangle(int color, int x1, int y1, int x2, int y2, int width) {
    package_running("DOVRA_draw_rectangle", NOTHING_DRAWN);
    return draw_rectangle(color, x1, y1, x2, y2, width);
}

int DOVRA_draw_text(int color, int x, int y, int ptsize, const char *text) {
    package_running("DOVRA_draw_text", NOTHING_DRAWN);
    return draw_text(color, x, y, ptsize, text);
}

int DOVRA_draw_printf(int color, int x, int y, int ptsize, const char *format, ...) {
    char buffer[FORMAT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    const int count = format_bounded(buffer, format, args);
    va_end(args);
    package_running("DOVRA_draw_printf", NOTHING_DRAWN);
    draw_text(color, x, y, ptsize, buffer);
    return count;
}

int DOVRA_clear_window(void) {
    package_running("DOVRA_clear_window", NOTHING_DRAWN);
    return clear_window();
}
