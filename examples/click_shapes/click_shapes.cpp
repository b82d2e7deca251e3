// Shapes where you click, a DOVRA example: each click draws the chosen shape
// there and writes a line in the log window. Keys: c circle, t triangle,
// r rectangle, o outline or filled, n next colour, l logging of every drawing
// call on or off, w log window shown or hidden, x clears the picture.
#include "dovra/dovra.h"

namespace {

const int WHITE = 1;
const int BLACK = 0;
const int COLORS[] = {4, 2, 19, 13, 8, 14}; // blue, red, forest green, orange, purple, brown
const int COLOR_COUNT = sizeof COLORS / sizeof COLORS[0];
const int SIZE = 25;

struct Choice {
    char shape = 'c';
    bool filled = true;
    int color = 0;
    bool logging = false;
    bool log_shown = true;
    int shapes = 0;
};

const char *shape_name(char shape) {
    switch (shape) {
    case 't':
        return "triangle";
    case 'r':
        return "rectangle";
    default:
        return "circle";
    }
}

void draw_help() {
    DOVRA_draw_text(BLACK, -290, 228, 10, "Click to draw. c circle, t triangle, r rectangle,");
    DOVRA_draw_text(BLACK, -290, 212, 10,
                    "o outline/filled, n colour, l logging, w log window, x clear");
}

// The status line at the bottom, painted over the last one. Text stands on
// its y coordinate.
void draw_status(const Choice &choice) {
    DOVRA_draw_rectangle(WHITE, -297, -220, 297, -248, 0);
    DOVRA_draw_printf(BLACK, -290, -238, 10, "%d shapes. Next: %s %s. Logging %s.", choice.shapes,
                      choice.filled ? "filled" : "outlined", shape_name(choice.shape),
                      choice.logging ? "on" : "off");
}

void draw_shape(const Choice &choice, int x, int y) {
    const int color = COLORS[choice.color];
    const int width = choice.filled ? 0 : 2;
    switch (choice.shape) {
    case 't':
        DOVRA_draw_triangle(color, x, y + SIZE, x - SIZE, y - SIZE, x + SIZE, y - SIZE, width);
        break;
    case 'r':
        DOVRA_draw_rectangle(color, x - SIZE, y + SIZE / 2, x + SIZE, y - SIZE / 2, width);
        break;
    default:
        if (choice.filled) {
            DOVRA_draw_circle(color, x, y, SIZE);
        } else {
            // A ring: the shape's colour, then white inside.
            DOVRA_draw_circle(color, x, y, SIZE);
            DOVRA_draw_circle(WHITE, x, y, SIZE - 3);
        }
        break;
    }
}

void key_pressed(Choice &choice, char key) {
    switch (key) {
    case 'c':
    case 't':
    case 'r':
        choice.shape = key;
        break;
    case 'o':
        choice.filled = !choice.filled;
        break;
    case 'n':
        choice.color = (choice.color + 1) % COLOR_COUNT;
        break;
    case 'l':
        choice.logging = !choice.logging;
        DOVRA_set_logging(choice.logging ? 1 : 0);
        break;
    case 'w':
        choice.log_shown = !choice.log_shown;
        DOVRA_show_log_window(choice.log_shown ? 1 : 0);
        break;
    case 'x':
        DOVRA_clear_window();
        draw_help();
        choice.shapes = 0;
        DOVRA_log_printf("Cleared\n");
        break;
    default:
        break;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                   int show_command) {
    DOVRA_startup(instance, previous_instance, command_line, show_command);
    DOVRA_show_log_window(1);
    DOVRA_set_animation(ANIM_MODE_STOP);
    Choice choice;
    DOVRA_clear_window();
    draw_help();
    for (;;) {
        draw_status(choice);
        int x = 0;
        int y = 0;
        char key = 0;
        const int kind = DOVRA_next_event(&x, &y, &key);
        if (kind == DOVRA_EXIT) {
            break;
        }
        if (kind == DOVRA_MOUSE) {
            draw_shape(choice, x, y);
            choice.shapes++;
            DOVRA_log_printf("Shape %d: %s at (%d, %d)\n", choice.shapes, shape_name(choice.shape),
                             x, y);
        } else if (kind == DOVRA_KBD) {
            key_pressed(choice, key);
        }
    }
    DOVRA_shutdown();
    return 0;
}
