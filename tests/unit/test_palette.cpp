// Palette: names and colour words, and lookups of indices outside the table.
#include "dovra/draw/palette.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>

using namespace dovra;

namespace {

TEST(Palette, EveryNameAndColour) {
    struct Case {
        int index;
        const char *name;
        int r, g, b;
    } cases[] = {
        {0, "black", 0, 0, 0},
        {1, "white", 255, 255, 255},
        {2, "red", 255, 0, 0},
        {3, "green", 0, 255, 0},
        {4, "blue", 0, 0, 255},
        {5, "yellow", 255, 255, 0},
        {6, "magenta", 255, 0, 255},
        {7, "cyan", 0, 255, 255},
        {8, "purple", 153, 0, 204},
        {9, "navy blue", 0, 51, 153},
        {10, "dusty plum", 153, 102, 153},
        {11, "ice blue", 153, 255, 255},
        {12, "turquoise", 153, 255, 204},
        {13, "orange", 255, 102, 0},
        {14, "brown", 153, 102, 51},
        {15, "pink", 255, 153, 204},
        {16, "chalk", 255, 255, 153},
        {17, "gold", 204, 153, 51},
        {18, "peach", 255, 153, 102},
        {19, "forest green", 0, 102, 51},
        {20, "sea green", 51, 204, 153},
        {21, "olive", 153, 153, 51},
        {22, "50% gray", 128, 128, 128},
        {23, "20% gray", 204, 204, 204},
    };
    ASSERT_EQ(sizeof cases / sizeof cases[0], static_cast<size_t>(PALETTE_SIZE));
    for (const Case &c : cases) {
        EXPECT_STREQ(palette_name(c.index), c.name);
        const COLORREF color = palette_color(c.index);
        EXPECT_EQ(color, static_cast<COLORREF>(c.r | c.g << 8 | c.b << 16)) << c.name;
        EXPECT_EQ(GetRValue(color), c.r);
        EXPECT_EQ(GetGValue(color), c.g);
        EXPECT_EQ(GetBValue(color), c.b);
    }
}

TEST(Palette, OutOfRangeLooksUpRed) {
    for (int index : {-1, 24, INT_MIN, INT_MAX}) {
        EXPECT_STREQ(palette_name(index), "red") << index;
        EXPECT_EQ(palette_color(index), palette_color(PALETTE_RED)) << index;
    }
}

} // namespace
