// Cone model: start values, hit tests, buttons and scene clicks.
#include "app/cone_model.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>

using namespace cone;

namespace {

// Button rows by their y: the bottom line of a row belongs to the row below.
const int ROW_Y[BUTTON_ROWS] = {230, 205, 180, 155, 130, 105};

ConeState fresh() {
    ConeState s;
    cone_state_init(s);
    return s;
}

// Places a topping at (x, y) through the scene, as a user would.
void place(ConeState &s, int x, int y) {
    press_button(ROW_Y[BUTTON_ADD_TOPPING], s);
    const int before = s.topping_count;
    click_scene(x, y, s);
    ASSERT_EQ(s.topping_count, before + 1) << "(" << x << ", " << y << ") is not on the scoops";
}

TEST(ConeModel, StartValues) {
    ConeState s;
    s.scoops = 7;
    s.topping_count = 9;
    s.status = 3;
    s.selected = 4;
    s.frame_count = 99;
    s.done = 1;
    cone_state_init(s);
    EXPECT_EQ(s.scoops, 1);
    EXPECT_EQ(s.topping_count, 0);
    EXPECT_EQ(s.status, STATUS_ADD);
    EXPECT_EQ(s.selected, 0);
    EXPECT_EQ(s.frame_count, 0);
    EXPECT_EQ(s.done, 0);
}

TEST(ConeModel, ButtonPanelBoundsAreStrict) {
    struct Case {
        int x, y, inside;
    } cases[] = {
        {-240, 244, 1}, {-240, 96, 1},   {-294, 170, 1},        {-186, 170, 1},
        {-240, 245, 0}, {-240, 95, 0},   {-295, 170, 0},        {-185, 170, 0},
        {0, 170, 0},    {INT_MIN, 0, 0}, {INT_MAX, INT_MAX, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(in_button_panel(c.x, c.y), c.inside) << c.x << ", " << c.y;
    }
}

TEST(ConeModel, ButtonRowFromY) {
    // Each row is identified by its effect on a state set up to show it.
    struct Case {
        int y;
        int row;
    } cases[] = {
        {244, BUTTON_ADD_SCOOP},      {221, BUTTON_ADD_SCOOP},    {220, BUTTON_REMOVE_SCOOP},
        {196, BUTTON_REMOVE_SCOOP},   {195, BUTTON_ADD_TOPPING},  {170, BUTTON_SELECT_TOPPING},
        {145, BUTTON_CHANGE_TOPPING}, {120, BUTTON_CHANGE_COLOR}, {96, BUTTON_CHANGE_COLOR}};
    for (const Case &c : cases) {
        ConeState s = fresh();
        s.scoops = 2;
        place(s, 0, 60);
        press_button(c.y, s);
        const int effect[BUTTON_ROWS] = {
            s.scoops == 3,
            s.scoops == 1,
            s.status == STATUS_ADD,
            s.status == STATUS_SELECT,
            s.topping_kind[0] == TOPPING_RECTANGLE,
            s.topping_color[0] == 3,
        };
        for (int row = 0; row < BUTTON_ROWS; row++) {
            EXPECT_EQ(effect[row], row == c.row) << "y " << c.y << ", row " << row;
        }
    }
}

TEST(ConeModel, ButtonOutsideColumnChangesNothing) {
    for (int y : {95, 245, 300, -1000, INT_MIN, INT_MAX}) {
        ConeState s = fresh();
        s.scoops = 2;
        place(s, 0, 60);
        const ConeState before = s;
        press_button(y, s);
        EXPECT_EQ(0, memcmp(&s, &before, sizeof s)) << "y " << y;
    }
}

TEST(ConeModel, ScoopLimits) {
    ConeState s = fresh();
    press_button(ROW_Y[BUTTON_REMOVE_SCOOP], s);
    EXPECT_EQ(s.scoops, 1);
    for (int i = 0; i < 4; i++) {
        press_button(ROW_Y[BUTTON_ADD_SCOOP], s);
    }
    EXPECT_EQ(s.scoops, 3);
    press_button(ROW_Y[BUTTON_REMOVE_SCOOP], s);
    EXPECT_EQ(s.scoops, 2);
}

TEST(ConeModel, OnScoops) {
    struct Case {
        int x, y, scoops, on;
    } cases[] = {
        {0, 26, 1, 1},
        {0, 25, 1, 0},
        {0, 0, 1, 0},
        {56, 26, 1, 1},
        {57, 26, 1, 0},
        {0, 82, 1, 0},
        {0, 81, 1, 1},
        {0, 82, 2, 1},
        {0, 138, 2, 1},
        {0, 139, 2, 0},
        {0, 139, 3, 1},
        {0, 195, 3, 1},
        {0, 196, 3, 0},
        {40, 20, 3, 0},
        {INT_MIN, INT_MIN, 3, 0},
        {INT_MAX, INT_MAX, 3, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(on_scoops(c.x, c.y, c.scoops), c.on)
            << "(" << c.x << ", " << c.y << ") with " << c.scoops << " scoops";
    }
}

TEST(ConeModel, Distance) {
    EXPECT_DOUBLE_EQ(distance(0, 0, 3, 4), 5.0);
    EXPECT_DOUBLE_EQ(distance(3, 4, 0, 0), 5.0);
    EXPECT_DOUBLE_EQ(distance(-7, 2, -7, 2), 0.0);
    // Extreme coordinates neither overflow nor lose the sign of a difference.
    EXPECT_DOUBLE_EQ(distance(INT_MIN, 0, INT_MAX, 0), 4294967295.0);
}

TEST(ConeModel, NewToppingIsSelectedRedCircle) {
    ConeState s = fresh();
    click_scene(10, 40, s);
    ASSERT_EQ(s.topping_count, 1);
    EXPECT_EQ(s.topping_x[0], 10);
    EXPECT_EQ(s.topping_y[0], 40);
    EXPECT_EQ(s.topping_kind[0], TOPPING_CIRCLE);
    EXPECT_EQ(s.topping_color[0], 2);
    EXPECT_EQ(s.status, STATUS_SELECTED);
    EXPECT_EQ(s.selected, 0);
}

TEST(ConeModel, ClickOffScoopsPlacesOrMovesNothing) {
    ConeState s = fresh();
    click_scene(0, 0, s); // on the cone
    EXPECT_EQ(s.topping_count, 0);
    EXPECT_EQ(s.status, STATUS_ADD);
    click_scene(0, 40, s);
    click_scene(200, 200, s);
    EXPECT_EQ(s.topping_x[0], 0);
    EXPECT_EQ(s.topping_y[0], 40);
    EXPECT_EQ(s.status, STATUS_SELECTED);
}

TEST(ConeModel, TenToppingsAtMost) {
    ConeState s = fresh();
    for (int i = 0; i < MAX_TOPPINGS; i++) {
        place(s, -40 + 8 * i, 50);
    }
    press_button(ROW_Y[BUTTON_ADD_TOPPING], s);
    EXPECT_EQ(s.status, STATUS_ADD);
    click_scene(0, 40, s);
    EXPECT_EQ(s.topping_count, MAX_TOPPINGS);
    EXPECT_EQ(s.status, STATUS_ADD);
}

TEST(ConeModel, SelectNearCentre) {
    struct Case {
        int dx, dy, selects;
    } cases[] = {{0, 0, 1}, {3, 1, 1},  {-3, -1, 1}, {1, -3, 1}, {2, 2, 1},
                 {3, 2, 0}, {-2, 3, 0}, {4, 0, 0},   {0, -4, 0}};
    for (const Case &c : cases) {
        ConeState s = fresh();
        place(s, 0, 50);
        place(s, 30, 50);
        press_button(ROW_Y[BUTTON_SELECT_TOPPING], s);
        click_scene(0 + c.dx, 50 + c.dy, s);
        EXPECT_EQ(s.status, c.selects ? STATUS_SELECTED : STATUS_SELECT)
            << "offset " << c.dx << ", " << c.dy;
        if (c.selects) {
            EXPECT_EQ(s.selected, 0);
        }
    }
}

TEST(ConeModel, SelectTakesTheLastPlacedInRange) {
    ConeState s = fresh();
    place(s, 0, 50);
    place(s, 4, 50);
    place(s, 40, 50);
    press_button(ROW_Y[BUTTON_SELECT_TOPPING], s);
    click_scene(2, 50, s); // within 3.5 of both the first and the second
    EXPECT_EQ(s.status, STATUS_SELECTED);
    EXPECT_EQ(s.selected, 1);
}

TEST(ConeModel, SelectIgnoresTheScoops) {
    // A topping left behind by a removed scoop can still be selected.
    ConeState s = fresh();
    press_button(ROW_Y[BUTTON_ADD_SCOOP], s);
    place(s, 0, 120);
    press_button(ROW_Y[BUTTON_REMOVE_SCOOP], s);
    EXPECT_EQ(s.topping_y[0], 120);
    press_button(ROW_Y[BUTTON_SELECT_TOPPING], s);
    click_scene(1, 121, s);
    EXPECT_EQ(s.status, STATUS_SELECTED);
    press_button(ROW_Y[BUTTON_CHANGE_COLOR], s);
    EXPECT_EQ(s.topping_color[0], 3);
    click_scene(0, 120, s); // no longer on the scoops: no move
    EXPECT_EQ(s.topping_y[0], 120);
    click_scene(0, 40, s);
    EXPECT_EQ(s.topping_y[0], 40);
}

TEST(ConeModel, MoveDoesNotSelectAnother) {
    ConeState s = fresh();
    place(s, 0, 50);
    place(s, 30, 50);
    click_scene(1, 50, s); // close to topping 0, while topping 1 is selected
    EXPECT_EQ(s.selected, 1);
    EXPECT_EQ(s.topping_x[1], 1);
    EXPECT_EQ(s.topping_x[0], 0);
    EXPECT_EQ(s.status, STATUS_SELECTED);
}

TEST(ConeModel, SelectNeedsAPlacedTopping) {
    ConeState s = fresh();
    press_button(ROW_Y[BUTTON_SELECT_TOPPING], s);
    EXPECT_EQ(s.status, STATUS_ADD);
}

TEST(ConeModel, ChangesActOnlyOnASelection) {
    ConeState s = fresh();
    place(s, 0, 50);
    press_button(ROW_Y[BUTTON_ADD_TOPPING], s); // status 1, selected kept
    EXPECT_EQ(s.selected, 0);
    press_button(ROW_Y[BUTTON_CHANGE_TOPPING], s);
    press_button(ROW_Y[BUTTON_CHANGE_COLOR], s);
    EXPECT_EQ(s.topping_kind[0], TOPPING_CIRCLE);
    EXPECT_EQ(s.topping_color[0], 2);
    press_button(ROW_Y[BUTTON_SELECT_TOPPING], s);
    press_button(ROW_Y[BUTTON_CHANGE_TOPPING], s);
    EXPECT_EQ(s.topping_kind[0], TOPPING_CIRCLE);
}

TEST(ConeModel, KindAndColourCycles) {
    ConeState s = fresh();
    place(s, 0, 50);
    const int kinds[] = {TOPPING_RECTANGLE, TOPPING_TRIANGLE, TOPPING_CIRCLE};
    for (int expected : kinds) {
        press_button(ROW_Y[BUTTON_CHANGE_TOPPING], s);
        EXPECT_EQ(s.topping_kind[0], expected);
    }
    s.topping_color[0] = 22;
    press_button(ROW_Y[BUTTON_CHANGE_COLOR], s);
    EXPECT_EQ(s.topping_color[0], 23);
    press_button(ROW_Y[BUTTON_CHANGE_COLOR], s);
    EXPECT_EQ(s.topping_color[0], 0);
}

TEST(ConeModel, DamagedSelectionIsNotFollowed) {
    // The state is a plain record; a selection that names no placed topping
    // must not reach past the table.
    for (int selected : {-1, 1, int{MAX_TOPPINGS}, INT_MAX}) {
        ConeState s = fresh();
        place(s, 0, 50);
        s.selected = selected;
        const ConeState before = s;
        press_button(ROW_Y[BUTTON_CHANGE_TOPPING], s);
        press_button(ROW_Y[BUTTON_CHANGE_COLOR], s);
        click_scene(0, 40, s);
        EXPECT_EQ(0, memcmp(&s, &before, sizeof s)) << "selected " << selected;
    }
}

} // namespace
