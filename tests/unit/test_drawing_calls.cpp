// The drawing calls' repairs, warnings and descriptions, in order, with
// logging on and off; bounded formatting; and what the calls leave behind.
#include "dovra/dovra.h"
#include "dovra/draw/drawing_calls.h"
#include "platform/core/accounting.h"
#include "tests/support/package_fixture.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace dovra;
using namespace portable_win32;

using namespace package_fixture;

namespace {

typedef std::vector<std::string> Lines;

TEST(DrawingCalls, BeforeStartUpNothingIsPainted) {
    ASSERT_EQ(surface_dc, nullptr) << "runs in a process of its own";
    const int objects = platform_live_gdi_objects();
    surface_dirty = 0;
    EXPECT_EQ(DOVRA_draw_circle(2, 0, 0, 10), 1);
    EXPECT_EQ(DOVRA_draw_text(2, 0, 0, 12, "x"), 1);
    EXPECT_EQ(DOVRA_clear_window(), 1);
    EXPECT_EQ(platform_live_gdi_objects(), objects);
    EXPECT_EQ(surface_dirty, 1u);
}

class Calls : public ::testing::Test {
  protected:
    void SetUp() override {
        start();
        reset_log();
    }
    // The lines a call logs, with logging on and with it off.
    Lines logged(bool logging, const std::function<void()> &call) {
        reset_log();
        logging_on = logging;
        call();
        return log_lines();
    }
};

TEST_F(Calls, WarningsAndDescriptionsInOrder) {
    struct Case {
        const char *call;
        std::function<void()> run;
        Lines on;  // with logging on
        Lines off; // with logging off
    } cases[] = {
        {"circle with bad colour and radius",
         [] { DOVRA_draw_circle(30, 0, 0, -5); },
         {"Illegal color 30; using RED.\n", "Radius of -5 not possible, using radius 5\n",
          "red circle at (0,0), radius 5\n"},
         {"Illegal color 30; using RED.\n", "Radius of -5 not possible, using radius 5\n"}},
        {"rectangle given corners in any order",
         [] { DOVRA_draw_rectangle(1, 300, -250, -300, 250, 0); },
         {"white rectangle with bounding box (-300,250) to (300,-250), filled\n"},
         {}},
        {"outlined rectangle",
         [] { DOVRA_draw_rectangle(0, 0, 0, 10, 10, 2); },
         {"black rectangle with bounding box (0,10) to (10,0) with line width 2\n"},
         {}},
        {"rectangle: colour before width",
         [] { DOVRA_draw_rectangle(99, 5, 5, 0, 0, -1); },
         {"Illegal color 99; using RED.\n", "Width of -1 not possible, using width 1\n",
          "red rectangle with bounding box (0,5) to (5,0) with line width 1\n"},
         {"Illegal color 99; using RED.\n", "Width of -1 not possible, using width 1\n"}},
        {"text: both size repairs, then colour",
         [] { DOVRA_draw_text(40, 1, 2, -200, "hi"); },
         {"ptsize of -200 not possible, using ptsize 200\n",
          "ptsize of 200 not possible, using ptsize 127\n", "Illegal color 40; using RED.\n",
          "red text at (1,2), \"hi\"\n"},
         {"ptsize of -200 not possible, using ptsize 200\n",
          "ptsize of 200 not possible, using ptsize 127\n", "Illegal color 40; using RED.\n"}},
        {"text of size 128",
         [] { DOVRA_draw_text(0, 0, 0, 128, "x"); },
         {"ptsize of 128 not possible, using ptsize 127\n", "black text at (0,0), \"x\"\n"},
         {"ptsize of 128 not possible, using ptsize 127\n"}},
        {"text sizes 127 and 0 pass",
         [] {
             DOVRA_draw_text(0, 0, 0, 127, "a");
             DOVRA_draw_text(0, 0, 0, 0, "");
         },
         {"black text at (0,0), \"a\"\n", "black text at (0,0), \"\"\n"},
         {}},
        {"triangle: the width is repaired and not described",
         [] { DOVRA_draw_triangle(3, 1, 2, 3, 4, 5, 6, -3); },
         {"Width of -3 not possible, using width 3\n", "green triangle at (1,2), (3,4), (5,6)\n"},
         {"Width of -3 not possible, using width 3\n"}},
        {"most negative radius",
         [] { DOVRA_draw_circle(23, 7, 8, INT_MIN); },
         {"Radius of -2147483648 not possible, using radius 2147483647\n",
          "20% gray circle at (7,8), radius 2147483647\n"},
         {"Radius of -2147483648 not possible, using radius 2147483647\n"}},
        {"most negative width and size",
         [] {
             DOVRA_draw_rectangle(0, 0, 0, 1, 1, INT_MIN);
             DOVRA_draw_text(0, 0, 0, INT_MIN, "");
         },
         {"Width of -2147483648 not possible, using width 2147483647\n",
          "black rectangle with bounding box (0,1) to (1,0) with line width 2147483647\n",
          "ptsize of -2147483648 not possible, using ptsize 2147483647\n",
          "ptsize of 2147483647 not possible, using ptsize 127\n", "black text at (0,0), \"\"\n"},
         {"Width of -2147483648 not possible, using width 2147483647\n",
          "ptsize of -2147483648 not possible, using ptsize 2147483647\n",
          "ptsize of 2147483647 not possible, using ptsize 127\n"}},
        {"clearing", [] { DOVRA_clear_window(); }, {"Clearing the graphics window\n"}, {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(logged(true, c.run), c.on) << c.call;
        EXPECT_EQ(logged(false, c.run), c.off) << c.call;
    }
}

TEST_F(Calls, CheckColor) {
    struct Case {
        int color, result;
        bool warns;
    } cases[] = {{0, 0, false}, {23, 23, false}, {24, 2, true}, {-1, 2, true}, {INT_MIN, 2, true}};
    for (const Case &c : cases) {
        reset_log();
        EXPECT_EQ(check_color(c.color), c.result) << c.color;
        EXPECT_EQ(log_lines().size(), c.warns ? 1u : 0u) << c.color;
    }
}

TEST_F(Calls, PrintfDrawsAndDescribesTheFormattedText) {
    EXPECT_EQ(DOVRA_draw_printf(4, -3, 9, 12, "%d-%s", 12345, "ab"), 8);
    EXPECT_EQ(log_lines(), (Lines{"blue text at (-3,9), \"12345-ab\"\n"}));
    // Longer than 1023 characters: cut, and the count is what was drawn.
    reset_log();
    const std::string long_text(5000, 'y');
    EXPECT_EQ(DOVRA_draw_printf(0, 0, 0, 12, "%s", long_text.c_str()), 1023);
    const Lines lines = log_lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 1023u); // the description is bounded as well
    EXPECT_EQ(DOVRA_draw_printf(0, 0, 0, 12, nullptr), 0);
}

TEST_F(Calls, EveryCallLeavesObjectsAndBlocksAsFound) {
    logging_on = 0;
    const int objects = platform_live_gdi_objects();
    const int blocks = platform_live_memory_blocks();
    DOVRA_clear_window();
    DOVRA_draw_circle(6, 0, 25, 57);
    DOVRA_draw_triangle(14, 0, -175, -60, 25, 60, 25, 0);
    DOVRA_draw_triangle(14, 0, -175, -60, 25, 60, 25, 4);
    DOVRA_draw_rectangle(0, -295, 245, -185, 220, 1);
    DOVRA_draw_rectangle(5, -10, 10, 10, -10, 0);
    DOVRA_draw_text(19, -285, 227, 12, "Add Scoop");
    DOVRA_draw_printf(1, -2, -2, 9, "m");
    EXPECT_EQ(platform_live_gdi_objects(), objects);
    EXPECT_EQ(platform_live_memory_blocks(), blocks);
}

TEST_F(Calls, TextWithoutABlockIsSkipped) {
    logging_on = 1;
    origin_x = 300;
    origin_y = 250;
    DOVRA_clear_window();
    surface_dirty = 0;
    reset_log();
    const int blocks = platform_live_memory_blocks();
    // With logging off the text block is the call's only allocation.
    logging_on = 0;
    platform_fail_next_allocations(1);
    EXPECT_EQ(DOVRA_draw_text(0, 0, 0, 18, "Blocked"), 1);
    EXPECT_EQ(surface_dirty, 0u); // nothing was rendered
    EXPECT_EQ(platform_live_memory_blocks(), blocks);
    for (int y = 220; y < 250; y++) {
        for (int x = 300; x < 380; x++) {
            ASSERT_EQ(GetPixel(surface_dc, x, y), RGB(255, 255, 255)) << x << "," << y;
        }
    }
    // A log line whose block cannot be had is not stored; the ring stays whole.
    platform_fail_next_allocations(1);
    EXPECT_EQ(DOVRA_log_printf("lost\n"), 5);
    EXPECT_EQ(log_ring.log_first, -1);
    DOVRA_log_printf("kept\n");
    EXPECT_EQ(log_lines(), (Lines{"kept\n"}));
}

TEST_F(Calls, ExtremeShapesAreDrawnWithoutOverflow) {
    logging_on = 1;
    DOVRA_draw_circle(2, INT_MAX, INT_MIN, INT_MAX);
    DOVRA_draw_circle(2, 0, 0, 1000000000);
    // A circle of radius 10^9 around the origin covers the whole surface.
    EXPECT_EQ(GetPixel(surface_dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(surface_dc, SURFACE_WIDTH - 1, SURFACE_HEIGHT - 1), RGB(255, 0, 0));
    DOVRA_draw_triangle(3, INT_MIN, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX, 100000);
    DOVRA_draw_rectangle(4, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 0);
    DOVRA_draw_text(0, INT_MAX, INT_MIN, 127, "far\naway\n");
    EXPECT_EQ(log_lines().size(), 5u);
}

} // namespace
