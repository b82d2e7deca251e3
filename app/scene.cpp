// Painting the cone scene: background, button column, status line, scoops,
// cone, toppings and the two animated figures, each through the package's
// drawing calls.
#include "app/scene.h"

#include "dovra/dovra.h"

namespace cone {

namespace {

// Palette indices used by the scene.
enum {
    INK_BLACK = 0,
    INK_WHITE = 1,
    INK_RED = 2,
    INK_GREEN = 3,
    INK_BLUE = 4,
    INK_YELLOW = 5,
    INK_MAGENTA = 6,
    INK_ICE_BLUE = 11,
    INK_BROWN = 14,
    INK_FOREST_GREEN = 19
};

struct ButtonLabel {
    const char *text;
    int color;
};

const ButtonLabel button_labels[BUTTON_ROWS] = {
    {"Add Scoop", INK_FOREST_GREEN}, {"Remove Scoop", INK_RED},     {"Add Topping", INK_BLACK},
    {"Select Topping", INK_BLACK},   {"Change Topping", INK_BLACK}, {"Change Color", INK_BLACK},
};

enum { BUTTON_TEXT_SIZE = 12, BUTTON_TEXT_INSET = 10 };

struct StatusLine {
    int color;
    int ptsize;
    const char *text;
};

// Indexed by status - 1; the last entry stands for every other status.
const StatusLine status_lines[] = {
    {INK_BLUE, 18, "Click on the cone to add a topping"},
    {INK_GREEN, 17, "Click the center of the topping to select it."},
    {INK_RED, 11, "Topping selected. Click cone to move it, or a button to alter it."},
    {INK_BLACK, 18, "Status error -- this status code not implemented"},
};

enum { STATUS_X = -130, STATUS_Y = -215 };

// By scoop index, counted from the lowest.
const int scoop_colors[MAX_SCOOPS] = {INK_MAGENTA, INK_ICE_BLUE, INK_BLUE};

enum { TOPPING_TEXT_SIZE = 9 };

// The drip falls from its start y to the bottom of the background in this
// many frames, then starts again.
enum { DRIP_FRAMES = 50, DRIP_BOTTOM = -250 };

// The texts hold no per-cent sign; passing them through "%s" draws and
// describes exactly the same text and keeps them out of the format.
void draw_label(int color, int x, int y, int ptsize, const char *text) {
    DOVRA_draw_printf(color, x, y, ptsize, "%s", text);
}

} // namespace

void draw_background() {
    DOVRA_draw_rectangle(INK_WHITE, -300, -250, 300, 250, 0);
}

void draw_buttons() {
    for (int r = 0; r < BUTTON_ROWS; r++) {
        const int top = BUTTON_TOP - BUTTON_HEIGHT * r;
        DOVRA_draw_rectangle(INK_BLACK, BUTTON_LEFT, top, BUTTON_RIGHT, top - BUTTON_HEIGHT, 1);
        // The label sits 12 below the button's top edge, less half its height.
        draw_label(button_labels[r].color, BUTTON_LEFT + BUTTON_TEXT_INSET,
                   top - 12 - BUTTON_TEXT_SIZE / 2, BUTTON_TEXT_SIZE, button_labels[r].text);
    }
}

void draw_status(int status) {
    const int last = sizeof status_lines / sizeof status_lines[0] - 1;
    const StatusLine &line = status >= STATUS_ADD && status <= STATUS_SELECTED
                                 ? status_lines[status - 1]
                                 : status_lines[last];
    draw_label(line.color, STATUS_X, STATUS_Y, line.ptsize, line.text);
}

void draw_scoops(int scoops) {
    // The colour table has one entry per possible scoop; more are not drawn.
    if (scoops > MAX_SCOOPS) {
        scoops = MAX_SCOOPS;
    }
    // Top scoop first, so each lower scoop is painted over the one above it.
    for (int k = scoops - 1; k >= 0; k--) {
        DOVRA_draw_circle(scoop_colors[k], 0, SCOOP_BASE_Y + SCOOP_RADIUS * k, SCOOP_RADIUS);
    }
}

void draw_cone() {
    DOVRA_draw_triangle(INK_BROWN, 0, -175, -60, SCOOP_BASE_Y, 60, SCOOP_BASE_Y, 0);
}

void draw_triangle_topping(int x, int y, int color) {
    DOVRA_draw_triangle(color, x - 7, y - 7, x + 7, y - 7, x, y + 7, 0);
}

void draw_circle_topping(int x, int y, int color) {
    DOVRA_draw_circle(color, x, y, 8);
    draw_label(INK_WHITE, x - 2, y - 2, TOPPING_TEXT_SIZE, "m");
}

void draw_rectangle_topping(int x, int y, int color) {
    DOVRA_draw_rectangle(color, x - 6, y - 2, x + 6, y + 2, 0);
}

void draw_toppings(const ConeState &state) {
    // Never read past the table, whatever the count says.
    const int count = state.topping_count < MAX_TOPPINGS ? state.topping_count : MAX_TOPPINGS;
    for (int i = 0; i < count; i++) {
        const int x = state.topping_x[i];
        const int y = state.topping_y[i];
        const int col = state.topping_color[i];
        switch (state.topping_kind[i]) {
        case TOPPING_TRIANGLE:
            draw_triangle_topping(x, y, col);
            break;
        case TOPPING_CIRCLE:
            draw_circle_topping(x, y, col);
            break;
        case TOPPING_RECTANGLE:
            draw_rectangle_topping(x, y, col);
            break;
        default:
            draw_label(INK_WHITE, x - 2, y - 2, TOPPING_TEXT_SIZE, "Oops");
            break;
        }
    }
}

void draw_pulse(int x, int y, int r, int frame_count) {
    // Ten frames a cycle: five growing by 2, then five shrinking by 2 from r + 5.
    const int p = frame_count % 10;
    const int q = frame_count % 5;
    const int radius = p < 5 ? r + 2 * q : r + 5 - 2 * q;
    DOVRA_draw_circle(INK_YELLOW, x, y, radius);
}

void draw_drip(int x, int y, int col, int frame_count) {
    // The point of the drop falls from y to the bottom in DRIP_FRAMES frames.
    const int k = frame_count % DRIP_FRAMES;
    const int d = y - (k * (y - DRIP_BOTTOM)) / DRIP_FRAMES;
    DOVRA_draw_circle(col, x, d - 16, 8);
    DOVRA_draw_triangle(col, x, d, x + 8, d - 16, x - 8, d - 16, 0);
}

void draw_scene(const ConeState &state) {
    draw_background();
    draw_buttons();
    draw_status(state.status);
    draw_scoops(state.scoops);
    draw_cone();
    draw_toppings(state);
    draw_pulse(280, 230, 75, state.frame_count);
    draw_drip(-60, 25, INK_MAGENTA, state.frame_count);
}

} // namespace cone
