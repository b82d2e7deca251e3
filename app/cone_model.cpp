// Cone model: start values, hit tests of the button column and the scoops,
// and the effect of a click on a button or on the scene.
#include "app/cone_model.h"

#include <cmath>

namespace cone {

void cone_state_init(ConeState &state) {
    state = ConeState{};
    state.scoops = 1;
    state.topping_count = 0;
    state.status = STATUS_ADD;
    state.selected = 0;
    state.frame_count = 0;
    state.done = 0;
}

int in_button_panel(int x, int y) {
    return x > BUTTON_LEFT && x < BUTTON_RIGHT && y > BUTTON_BOTTOM && y < BUTTON_TOP;
}

// A selection is acted on only while it names a placed topping; the state is
// a plain record, so this keeps a damaged one from indexing past the table.
static bool has_selection(const ConeState &state) {
    return state.status == STATUS_SELECTED && state.selected >= 0 &&
           state.selected < state.topping_count && state.topping_count <= MAX_TOPPINGS;
}

void press_button(int y, ConeState &state) {
    // Rows exist only for y inside the column; testing first also keeps
    // 245 - y from overflowing for extreme values of y.
    if (y <= BUTTON_BOTTOM || y >= BUTTON_TOP) {
        return;
    }
    const int row = (BUTTON_TOP - y) / BUTTON_HEIGHT;
    switch (row) {
    case BUTTON_ADD_SCOOP:
        if (state.scoops < MAX_SCOOPS) {
            state.scoops++;
        }
        break;
    case BUTTON_REMOVE_SCOOP:
        if (state.scoops > 1) {
            state.scoops--;
        }
        break;
    case BUTTON_ADD_TOPPING:
        state.status = STATUS_ADD;
        break;
    case BUTTON_SELECT_TOPPING:
        if (state.topping_count > 0) {
            state.status = STATUS_SELECT;
        }
        break;
    case BUTTON_CHANGE_TOPPING:
        if (has_selection(state)) {
            int &kind = state.topping_kind[state.selected];
            kind = (kind + 1) % 3;
        }
        break;
    case BUTTON_CHANGE_COLOR:
        if (has_selection(state)) {
            int &color = state.topping_color[state.selected];
            color = (color + 1) % TOPPING_COLORS;
        }
        break;
    default:
        break;
    }
}

double distance(int x1, int y1, int x2, int y2) {
    // In double precision, so that no difference or square overflows.
    const double dx = static_cast<double>(x2) - static_cast<double>(x1);
    const double dy = static_cast<double>(y2) - static_cast<double>(y1);
    return std::sqrt(std::pow(dx, 2.0) + std::pow(dy, 2.0));
}

int on_scoops(int x, int y, int scoops) {
    // Only the upper half of the lowest scoop shows; the cone covers the rest.
    if (distance(x, y, 0, SCOOP_BASE_Y) < SCOOP_RADIUS && y > SCOOP_BASE_Y) {
        return 1;
    }
    for (int k = 1; k < scoops && k < MAX_SCOOPS; k++) {
        if (distance(x, y, 0, SCOOP_BASE_Y + SCOOP_RADIUS * k) < SCOOP_RADIUS) {
            return 1;
        }
    }
    return 0;
}

void click_scene(int x, int y, ConeState &state) {
    if (state.status == STATUS_ADD && state.topping_count >= 0 &&
        state.topping_count < MAX_TOPPINGS) {
        if (on_scoops(x, y, state.scoops)) {
            const int n = state.topping_count;
            state.topping_x[n] = x;
            state.topping_y[n] = y;
            state.topping_kind[n] = TOPPING_CIRCLE;
            state.topping_color[n] = 2; // red
            state.selected = n;
            state.topping_count = n + 1;
            state.status = STATUS_SELECTED;
        }
    } else if (state.status == STATUS_SELECTED) {
        if (has_selection(state) && on_scoops(x, y, state.scoops)) {
            state.topping_x[state.selected] = x;
            state.topping_y[state.selected] = y;
        }
    } else if (state.status == STATUS_SELECT) {
        // Every topping is tested, so the last placed one in range wins.
        for (int i = 0; i < state.topping_count && i < MAX_TOPPINGS; i++) {
            if (distance(x, y, state.topping_x[i], state.topping_y[i]) < 3.5) {
                state.selected = i;
                state.status = STATUS_SELECTED;
            }
        }
    }
}

} // namespace cone
