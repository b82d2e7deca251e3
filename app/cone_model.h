// The cone builder's state and everything a mouse click does to it. Nothing
// here draws: the scene is repainted from the state after every event.
#pragma once

#include <cstdint>

namespace cone {

enum {
    MAX_SCOOPS = 3,
    MAX_TOPPINGS = 10,
    SCOOP_RADIUS = 57,
    TOPPING_COLORS = 24 // the palette's size
};

enum ToppingKind { TOPPING_TRIANGLE = 0, TOPPING_CIRCLE = 1, TOPPING_RECTANGLE = 2 };

enum ConeStatus {
    STATUS_ADD = 1,     // a click on the scoops places a new topping
    STATUS_SELECT = 2,  // a click near a topping's centre selects it
    STATUS_SELECTED = 3 // a click on the scoops moves the selected topping
};

// Rows of the button column, top to bottom.
enum ButtonRow {
    BUTTON_ADD_SCOOP = 0,
    BUTTON_REMOVE_SCOOP = 1,
    BUTTON_ADD_TOPPING = 2,
    BUTTON_SELECT_TOPPING = 3,
    BUTTON_CHANGE_TOPPING = 4,
    BUTTON_CHANGE_COLOR = 5,
    BUTTON_ROWS = 6
};

// Button column geometry: row r spans x -295..-185 and y 245-25r down to 220-25r.
enum {
    BUTTON_LEFT = -295,
    BUTTON_RIGHT = -185,
    BUTTON_TOP = 245,
    BUTTON_HEIGHT = 25,
    BUTTON_BOTTOM = BUTTON_TOP - BUTTON_ROWS * BUTTON_HEIGHT // 95
};

// Scoop k (0 the lowest) is a circle of SCOOP_RADIUS centred at (0, SCOOP_BASE_Y + 57k).
enum { SCOOP_BASE_Y = 25 };

// Entries 0..topping_count-1 of the topping table hold the placed toppings,
// numbered in the order they were placed; the rest are never read.
struct ConeState {
    int32_t scoops;
    int32_t topping_x[MAX_TOPPINGS];
    int32_t topping_y[MAX_TOPPINGS];
    int32_t topping_kind[MAX_TOPPINGS];
    int32_t topping_color[MAX_TOPPINGS];
    int32_t topping_count;
    int32_t status;
    int32_t selected; // meaningful only while status is STATUS_SELECTED
    int32_t frame_count;
    int32_t done;
};

void cone_state_init(ConeState &state);
int in_button_panel(int x, int y);
void press_button(int y, ConeState &state);
int on_scoops(int x, int y, int scoops);
double distance(int x1, int y1, int x2, int y2);
void click_scene(int x, int y, ConeState &state);

} // namespace cone
