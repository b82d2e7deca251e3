// The cone scene as the package describes it in the log: the start picture
// line by line, what scoops and toppings add, the animation by frame, the
// fallbacks for unknown statuses and topping kinds, and the text sizes, which
// the descriptions leave out, checked against the surface.
#include "app/scene.h"
#include "dovra/dovra.h"
#include "tests/support/package_fixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace cone;

using namespace package_fixture;

namespace {

typedef std::vector<std::string> Lines;

// One pass over the start state, in drawing order.
const Lines start_scene = {
    "white rectangle with bounding box (-300,250) to (300,-250), filled\n",
    "black rectangle with bounding box (-295,245) to (-185,220) with line width 1\n",
    "forest green text at (-285,227), \"Add Scoop\"\n",
    "black rectangle with bounding box (-295,220) to (-185,195) with line width 1\n",
    "red text at (-285,202), \"Remove Scoop\"\n",
    "black rectangle with bounding box (-295,195) to (-185,170) with line width 1\n",
    "black text at (-285,177), \"Add Topping\"\n",
    "black rectangle with bounding box (-295,170) to (-185,145) with line width 1\n",
    "black text at (-285,152), \"Select Topping\"\n",
    "black rectangle with bounding box (-295,145) to (-185,120) with line width 1\n",
    "black text at (-285,127), \"Change Topping\"\n",
    "black rectangle with bounding box (-295,120) to (-185,95) with line width 1\n",
    "black text at (-285,102), \"Change Color\"\n",
    "blue text at (-130,-215), \"Click on the cone to add a topping\"\n",
    "magenta circle at (0,25), radius 57\n",
    "brown triangle at (0,-175), (-60,25), (60,25)\n",
    "yellow circle at (280,230), radius 75\n",
    "magenta circle at (-60,9), radius 8\n",
    "magenta triangle at (-60,25), (-52,9), (-68,9)\n",
};
const size_t SCOOPS_AT = 14, CONE_AT = 15, ANIMATION_AT = 16;

struct Topping {
    int x, y, kind, color;
};

ConeState state_with(int scoops, const std::vector<Topping> &toppings, int status = STATUS_ADD,
                     int frame = 0) {
    ConeState s;
    cone_state_init(s);
    s.scoops = scoops;
    s.status = status;
    s.frame_count = frame;
    s.topping_count = static_cast<int>(toppings.size());
    for (size_t i = 0; i < toppings.size() && i < MAX_TOPPINGS; i++) {
        s.topping_x[i] = toppings[i].x;
        s.topping_y[i] = toppings[i].y;
        s.topping_kind[i] = toppings[i].kind;
        s.topping_color[i] = toppings[i].color;
    }
    return s;
}

class Scene : public ::testing::Test {
  protected:
    void SetUp() override {
        start();
        reset_log();
    }
    // The lines one drawing logs; the ring keeps the last 25.
    static Lines logged(const std::function<void()> &draw) {
        reset_log();
        draw();
        return log_lines();
    }
    // The surface after a drawing on a clear one, logging off.
    static std::vector<COLORREF> picture(const std::function<void()> &draw) {
        logging_on = 0;
        DOVRA_clear_window();
        draw();
        std::vector<COLORREF> pixels;
        pixels.reserve(SURFACE_WIDTH * SURFACE_HEIGHT);
        for (int y = 0; y < SURFACE_HEIGHT; y++) {
            for (int x = 0; x < SURFACE_WIDTH; x++) {
                pixels.push_back(GetPixel(surface_dc, x, y));
            }
        }
        logging_on = 1;
        return pixels;
    }
};

TEST_F(Scene, StartSceneInOrder) {
    ConeState s;
    cone_state_init(s);
    EXPECT_EQ(logged([&] { draw_scene(s); }), start_scene);
}

TEST_F(Scene, ScoopsAndToppingsAddTheirCalls) {
    struct Case {
        const char *name;
        int scoops;
        std::vector<Topping> toppings;
        Lines scoop_lines;   // in place of the start scene's one scoop
        Lines topping_lines; // between the cone and the animation
    } cases[] = {
        {"two scoops",
         2,
         {},
         {"ice blue circle at (0,82), radius 57\n", "magenta circle at (0,25), radius 57\n"},
         {}},
        {"three scoops",
         3,
         {},
         {"blue circle at (0,139), radius 57\n", "ice blue circle at (0,82), radius 57\n",
          "magenta circle at (0,25), radius 57\n"},
         {}},
        {"triangle topping",
         1,
         {{10, 40, TOPPING_TRIANGLE, 8}},
         {"magenta circle at (0,25), radius 57\n"},
         {"purple triangle at (3,33), (17,33), (10,47)\n"}},
        {"circle topping",
         1,
         {{-20, 50, TOPPING_CIRCLE, 2}},
         {"magenta circle at (0,25), radius 57\n"},
         {"red circle at (-20,50), radius 8\n", "white text at (-22,48), \"m\"\n"}},
        {"rectangle topping",
         1,
         {{5, 60, TOPPING_RECTANGLE, 13}},
         {"magenta circle at (0,25), radius 57\n"},
         {"orange rectangle with bounding box (-1,62) to (11,58), filled\n"}},
        {"toppings in the order placed",
         2,
         {{0, 90, TOPPING_RECTANGLE, 0},
          {1, 30, TOPPING_CIRCLE, 23},
          {2, 31, TOPPING_TRIANGLE, 19}},
         {"ice blue circle at (0,82), radius 57\n", "magenta circle at (0,25), radius 57\n"},
         {"black rectangle with bounding box (-6,92) to (6,88), filled\n",
          "20% gray circle at (1,30), radius 8\n", "white text at (-1,28), \"m\"\n",
          "forest green triangle at (-5,24), (9,24), (2,38)\n"}},
    };
    for (const Case &c : cases) {
        const ConeState s = state_with(c.scoops, c.toppings);
        Lines expected(start_scene.begin(), start_scene.begin() + SCOOPS_AT);
        expected.insert(expected.end(), c.scoop_lines.begin(), c.scoop_lines.end());
        expected.push_back(start_scene[CONE_AT]);
        expected.insert(expected.end(), c.topping_lines.begin(), c.topping_lines.end());
        expected.insert(expected.end(), start_scene.begin() + ANIMATION_AT, start_scene.end());
        EXPECT_EQ(logged([&] { draw_scene(s); }), expected) << c.name;
    }
}

TEST_F(Scene, CountsBeyondTheTablesDrawOnlyWhatTheTablesHold) {
    EXPECT_EQ(logged([] { draw_scoops(0); }), Lines{});
    EXPECT_EQ(logged([] { draw_scoops(5); }), (Lines{"blue circle at (0,139), radius 57\n",
                                                     "ice blue circle at (0,82), radius 57\n",
                                                     "magenta circle at (0,25), radius 57\n"}));
    ConeState s = state_with(1, std::vector<Topping>(MAX_TOPPINGS, {0, 40, TOPPING_RECTANGLE, 0}));
    s.topping_count = MAX_TOPPINGS + 2;
    const Lines lines = logged([&] { draw_toppings(s); });
    EXPECT_EQ(lines,
              Lines(MAX_TOPPINGS, "black rectangle with bounding box (-6,42) to (6,38), filled\n"));
}

TEST_F(Scene, PulseRadiusByFrame) {
    struct Case {
        int frame, radius;
    } cases[] = {{0, 75}, {1, 77}, {2, 79},  {3, 81},  {4, 83},  {5, 80},  {6, 78},  {7, 76},
                 {8, 74}, {9, 72}, {10, 75}, {14, 83}, {15, 80}, {19, 72}, {20, 75}, {1234, 83}};
    for (const Case &c : cases) {
        EXPECT_EQ(logged([&] { draw_pulse(280, 230, 75, c.frame); }),
                  Lines{"yellow circle at (280,230), radius " + std::to_string(c.radius) + "\n"})
            << "frame " << c.frame;
    }
}

TEST_F(Scene, DripPositionByFrame) {
    struct Case {
        int frame, point_y;
    } cases[] = {{0, 25},   {1, 20},    {2, 14},  {3, 9},     {4, 3},   {5, -2},
                 {10, -30}, {49, -244}, {50, 25}, {99, -244}, {100, 25}};
    for (const Case &c : cases) {
        const std::string d = std::to_string(c.point_y), base = std::to_string(c.point_y - 16);
        EXPECT_EQ(logged([&] { draw_drip(-60, 25, 6, c.frame); }),
                  (Lines{"magenta circle at (-60," + base + "), radius 8\n",
                         "magenta triangle at (-60," + d + "), (-52," + base + "), (-68," + base +
                             ")\n"}))
            << "frame " << c.frame;
    }
}

TEST_F(Scene, StatusLines) {
    const char *error = "Status error -- this status code not implemented";
    struct Case {
        int status;
        const char *line;
        int color, ptsize;
        const char *text;
    } cases[] = {
        {1, "blue text at (-130,-215), \"Click on the cone to add a topping\"\n", 4, 18,
         "Click on the cone to add a topping"},
        {2, "green text at (-130,-215), \"Click the center of the topping to select it.\"\n", 3, 17,
         "Click the center of the topping to select it."},
        {3,
         "red text at (-130,-215), \"Topping selected. Click cone to move it, or a button to "
         "alter it.\"\n",
         2, 11, "Topping selected. Click cone to move it, or a button to alter it."},
        {0, "black text at (-130,-215), \"Status error -- this status code not implemented\"\n", 0,
         18, error},
        {4, "black text at (-130,-215), \"Status error -- this status code not implemented\"\n", 0,
         18, error},
        {-1, "black text at (-130,-215), \"Status error -- this status code not implemented\"\n", 0,
         18, error},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(logged([&] { draw_status(c.status); }), Lines{c.line}) << c.status;
        // The size shows only on the surface.
        const auto drawn = picture([&] { draw_status(c.status); });
        EXPECT_EQ(drawn, picture([&] { DOVRA_draw_text(c.color, -130, -215, c.ptsize, c.text); }))
            << c.status;
        EXPECT_NE(drawn,
                  picture([&] { DOVRA_draw_text(c.color, -130, -215, c.ptsize + 1, c.text); }))
            << c.status;
    }
}

TEST_F(Scene, ToppingLettersAndUnknownKinds) {
    struct Case {
        int kind;
        const char *line; // the text drawn after any shape
        const char *text;
    } cases[] = {
        {TOPPING_CIRCLE, "white text at (18,-32), \"m\"\n", "m"},
        {3, "white text at (18,-32), \"Oops\"\n", "Oops"},
        {-1, "white text at (18,-32), \"Oops\"\n", "Oops"},
        {100, "white text at (18,-32), \"Oops\"\n", "Oops"},
    };
    for (const Case &c : cases) {
        const ConeState s = state_with(1, {{20, -30, c.kind, 0}});
        const Lines lines = logged([&] { draw_toppings(s); });
        ASSERT_FALSE(lines.empty()) << c.kind;
        EXPECT_EQ(lines.back(), c.line) << c.kind;
        EXPECT_EQ(lines.size(), c.kind == TOPPING_CIRCLE ? 2u : 1u) << c.kind;
        // Unknown kinds draw the text alone; the text is 9 high either way. A
        // dark patch underneath makes the white text show.
        const auto backdrop = [] { DOVRA_draw_rectangle(0, 0, -50, 60, 0, 0); };
        const auto text_at = [&](int ptsize) {
            return [&, ptsize] {
                backdrop();
                if (c.kind == TOPPING_CIRCLE) {
                    DOVRA_draw_circle(0, 20, -30, 8);
                }
                DOVRA_draw_text(1, 18, -32, ptsize, c.text);
            };
        };
        const auto drawn = picture([&] {
            backdrop();
            draw_toppings(s);
        });
        EXPECT_EQ(drawn, picture(text_at(9))) << c.kind;
        EXPECT_NE(drawn, picture(text_at(10))) << c.kind;
    }
}

TEST_F(Scene, ButtonLabelsAreTwelveHigh) {
    const int colors[BUTTON_ROWS] = {19, 2, 0, 0, 0, 0};
    const char *labels[BUTTON_ROWS] = {"Add Scoop",      "Remove Scoop",   "Add Topping",
                                       "Select Topping", "Change Topping", "Change Color"};
    const auto buttons_at = [&](int ptsize) {
        return [&, ptsize] {
            for (int r = 0; r < BUTTON_ROWS; r++) {
                DOVRA_draw_rectangle(0, -295, 245 - 25 * r, -185, 220 - 25 * r, 1);
                DOVRA_draw_text(colors[r], -285, 227 - 25 * r, ptsize, labels[r]);
            }
        };
    };
    const auto drawn = picture(draw_buttons);
    EXPECT_EQ(drawn, picture(buttons_at(12)));
    EXPECT_NE(drawn, picture(buttons_at(13)));
}

TEST_F(Scene, BusySceneLogsOnlyDescriptionsAndNothingWithLoggingOff) {
    const ConeState s = state_with(
        3, {{0, 100, TOPPING_CIRCLE, 23}, {-30, 60, TOPPING_TRIANGLE, 0}}, STATUS_SELECTED, 37);
    // 19 calls, two more scoops, three for the toppings: no warnings among them.
    const Lines lines = logged([&] { draw_scene(s); });
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines.front(), start_scene.front());
    EXPECT_EQ(lines.back(), "magenta triangle at (-60,-178), (-52,-194), (-68,-194)\n");
    reset_log();
    logging_on = 0;
    draw_scene(s);
    EXPECT_EQ(log_lines(), Lines{});
}

} // namespace
