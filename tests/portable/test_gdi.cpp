// GDI: shapes pixel for pixel as Wine draws them, default objects, block
// copies and scrolling, extreme arguments, text placement, and the count of
// live objects after drawing.
#include "tests/portable/gdi_wine_checksums.h"
#include "tests/support/gdi_cases.h"
#include "tests/support/memory_surface.h"
#include "tests/support/portable_support.h"

#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

const COLORREF WHITE = RGB(255, 255, 255);

typedef MemorySurface Surface;

TEST(Gdi, ShapesMatchWinePixelForPixel) {
    std::map<std::string, uint32_t> expected;
    for (const WineChecksum &w : wine_checksums) {
        expected[w.name] = w.checksum;
    }
    for (const gdi_cases::Case &c : gdi_cases::cases()) {
        ASSERT_EQ(expected.count(c.name), 1u) << c.name << " has no recorded checksum";
        gdi_cases::run(c, [&](HDC dc) {
            EXPECT_EQ(gdi_cases::checksum(dc, c.width, c.height), expected[c.name])
                << c.name << " (tools/gdi-diff.sh " << c.name << " shows both)";
        });
    }
}

// The shapes the package relies on, counted in pixels: the box excludes its
// right and bottom edges, a line its end point.
TEST(Gdi, PixelsCoveredBySmallShapes) {
    struct Case {
        const char *shape;
        int left, top, right, bottom;
        int pixels;
    } cases[] = {
        {"rectangle", 19, 19, 22, 22, 9}, // a 3 by 3 box
        {"rectangle", 5, 5, 6, 6, 0},     // a one-pixel box: Wine draws nothing
        {"ellipse", 5, 5, 6, 6, 0},       // likewise for a circle of radius 0
        {"ellipse", 4, 4, 7, 7, 5},       // radius 1: a plus sign
        {"line", 10, 20, 20, 20, 10},     // from (10, 20) up to (20, 20)
    };
    for (const Case &c : cases) {
        Surface s(40, 40);
        HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 0, 0));
        HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
        HGDIOBJ old_pen = SelectObject(s.dc(), pen);
        HGDIOBJ old_brush = SelectObject(s.dc(), brush);
        if (std::string(c.shape) == "rectangle") {
            Rectangle(s.dc(), c.left, c.top, c.right, c.bottom);
        } else if (std::string(c.shape) == "ellipse") {
            Ellipse(s.dc(), c.left, c.top, c.right, c.bottom);
        } else {
            MoveToEx(s.dc(), c.left, c.top, nullptr);
            LineTo(s.dc(), c.right, c.bottom);
            EXPECT_EQ(GetPixel(s.dc(), c.right, c.bottom), WHITE);
        }
        EXPECT_EQ(s.count(RGB(255, 0, 0)), c.pixels) << c.shape << " " << c.left;
        SelectObject(s.dc(), old_pen);
        SelectObject(s.dc(), old_brush);
        DeleteObject(pen);
        DeleteObject(brush);
    }
}

TEST(Gdi, DefaultsOfANewContext) {
    Surface s(8, 8);
    EXPECT_EQ(GetBkMode(s.dc()), OPAQUE);
    EXPECT_EQ(GetBkColor(s.dc()), WHITE);
    EXPECT_EQ(GetTextColor(s.dc()), RGB(0, 0, 0));
    // The default pen is black and one pixel wide, the default brush white.
    Rectangle(s.dc(), 1, 1, 6, 6);
    EXPECT_EQ(GetPixel(s.dc(), 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(s.dc(), 5, 5), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(s.dc(), 3, 3), WHITE);
    EXPECT_EQ(GetPixel(s.dc(), 6, 6), WHITE);
    // SelectObject gives back what it replaced.
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HGDIOBJ previous = SelectObject(s.dc(), pen);
    EXPECT_EQ(previous, GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(s.dc(), previous), pen);
    DeleteObject(pen);
}

TEST(Gdi, HollowBrushKeepsTheInterior) {
    Surface s(20, 20);
    s.fill(RGB(0, 255, 0));
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    HGDIOBJ old_pen = SelectObject(s.dc(), pen);
    HGDIOBJ old_brush = SelectObject(s.dc(), GetStockObject(HOLLOW_BRUSH));
    Rectangle(s.dc(), 3, 3, 17, 17);
    Ellipse(s.dc(), 3, 3, 17, 17);
    EXPECT_EQ(GetPixel(s.dc(), 10, 10), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(s.dc(), 3, 10), RGB(255, 0, 0));
    SelectObject(s.dc(), old_pen);
    SelectObject(s.dc(), old_brush);
    DeleteObject(pen);
}

TEST(Gdi, BlockCopyClipsToBothSides) {
    Surface source(10, 10), dest(10, 10);
    source.fill(RGB(0, 0, 255));
    // Partly outside the source and the destination: only the overlap moves.
    // Here one column (dest 9, source 0) and three rows (dest 0..2, source
    // 7..9) are inside both.
    EXPECT_TRUE(BitBlt(dest.dc(), 6, -2, 8, 8, source.dc(), -3, 5, SRCCOPY));
    EXPECT_EQ(dest.count(RGB(0, 0, 255)), 3);
    const RECT inked = dest.ink_bounds();
    EXPECT_EQ(inked.left, 9);
    EXPECT_EQ(inked.top, 0);
    EXPECT_EQ(inked.right, 9);
    EXPECT_EQ(inked.bottom, 2);
}

TEST(Gdi, ScrollLosesWhatLeavesTheArea) {
    Surface s(10, 10);
    HDC dc = s.dc();
    for (int y = 0; y < 10; y++) {
        SetPixel(dc, 0, y, RGB(y, 0, 0));
    }
    RECT area{0, 0, 10, 10};
    RECT update;
    EXPECT_TRUE(ScrollDC(dc, 0, -3, &area, &area, nullptr, &update));
    for (int y = 0; y < 7; y++) {
        EXPECT_EQ(GetPixel(dc, 0, y), RGB(y + 3, 0, 0)) << y;
    }
    // The uncovered rows keep their old pixels until repainted.
    EXPECT_EQ(GetPixel(dc, 0, 9), RGB(9, 0, 0));
    EXPECT_EQ(update.top, 7);
    EXPECT_EQ(update.bottom, 10);
}

// The layer's own promise, not Win32's: Windows limits GDI coordinates to
// 27 bits, and Wine draws nothing, or wraps around, for these shapes.
#ifndef _WIN32
TEST(Gdi, ExtremeArgumentsAreClippedNotOverflowed) {
    Surface s(64, 48);
    HDC dc = s.dc();
    const int big = 1000000000;
    HPEN wide = CreatePen(PS_SOLID, 100000, RGB(255, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ old_brush = SelectObject(dc, brush);
    // A circle of radius 10^9 centred on the bitmap covers all of it.
    Ellipse(dc, 32 - big, 24 - big, 33 + big, 25 + big);
    EXPECT_EQ(s.count(RGB(0, 0, 255)), 64 * 48);
    s.fill(WHITE);
    // Below the diagonal from corner to corner of the int range.
    POINT corners[3] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}};
    Polygon(dc, corners, 3);
    EXPECT_EQ(GetPixel(dc, 10, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 0, 10), WHITE);
    Rectangle(dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    MoveToEx(dc, INT_MIN, 10, nullptr);
    LineTo(dc, INT_MAX, 10);
    EXPECT_EQ(GetPixel(dc, 0, 10), RGB(0, 0, 0));
    // A pen 100,000 pixels wide along a line across the int range.
    HGDIOBJ old_pen = SelectObject(dc, wide);
    MoveToEx(dc, INT_MIN, 20, nullptr);
    LineTo(dc, INT_MAX, 20);
    EXPECT_EQ(s.count(RGB(255, 0, 0)), 64 * 48);
    Ellipse(dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(GetPixel(dc, 20, 20), RGB(0, 0, 255));
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(wide);
    DeleteObject(brush);
}
#endif

TEST(Gdi, DrawingLeavesNoObjectBehind) {
    Surface s(40, 40);
    const int before = portable::live_gdi_objects();
    for (const gdi_cases::Case &c : gdi_cases::cases()) {
        c.draw(s.dc());
    }
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "DOVRA-font");
    HGDIOBJ old = SelectObject(s.dc(), font);
    TextOutA(s.dc(), 2, 2, "Ab", 2);
    SelectObject(s.dc(), old);
    DeleteObject(font);
    EXPECT_EQ(portable::live_gdi_objects(), before);
}

// Text is checked by placement: which rows hold glyph pixels.
struct TextSize {
    int height; // CreateFontA height: a character height when negative
    int cell;   // the cell height that GetTextExtentPointA reports under Wine
};

TEST(Gdi, TextCellsAndPlacement) {
    const TextSize sizes[] = {{-9, 10}, {-12, 14}, {-18, 20}, {-127, 142}, {0, 16}};
    for (const TextSize &size : sizes) {
        Surface s(700, 320);
        HDC dc = s.dc();
        HFONT font =
            CreateFontA(size.height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "DOVRA-font");
        HGDIOBJ old = SelectObject(dc, font);
        SIZE extent;
        ASSERT_TRUE(GetTextExtentPointA(dc, "A\nB", 3, &extent));
        EXPECT_EQ(extent.cy, size.cell) << size.height;
        SetTextColor(dc, RGB(255, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        // Two lines, the second a cell below the first.
        TextOutA(dc, 10, 20, "Hg", 2);
        TextOutA(dc, 10, 20 + extent.cy, "Hg", 2);
        const RECT ink = s.ink_bounds();
        EXPECT_GE(ink.top, 20) << size.height;
        EXPECT_LT(ink.top, 20 + extent.cy / 2) << size.height;
        EXPECT_GT(ink.bottom, 20 + extent.cy) << size.height;
        EXPECT_LT(ink.bottom, 20 + 2 * extent.cy) << size.height;
        EXPECT_GE(ink.left, 10) << size.height;
        EXPECT_LE(ink.left, 10 + extent.cy / 4) << size.height;
        SelectObject(dc, old);
        DeleteObject(font);
    }
}

// The metrics Wine gives for the face standing in for "DOVRA-font"
// (Liberation Sans; Arial on Windows has the same metrics).
TEST(Gdi, TextMetricsAsUnderWine) {
    struct Case {
        int height, cell, ascent, descent, internal, external, hello;
    } cases[] = {{-9, 10, 8, 2, 1, 0, 21},   {-12, 14, 11, 3, 1, 0, 29},
                 {-18, 20, 16, 4, 2, 1, 41}, {-127, 142, 115, 27, 15, 4, 290},
                 {0, 16, 13, 3, 2, 0, 32},   {12, 12, 10, 2, 1, 0, 24}};
    Surface s(10, 10);
    for (const Case &c : cases) {
        HFONT font =
            CreateFontA(c.height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "DOVRA-font");
        HGDIOBJ old = SelectObject(s.dc(), font);
        TEXTMETRICA tm;
        ASSERT_TRUE(GetTextMetricsA(s.dc(), &tm));
        EXPECT_EQ(tm.tmHeight, c.cell) << c.height;
        EXPECT_EQ(tm.tmAscent, c.ascent) << c.height;
        EXPECT_EQ(tm.tmDescent, c.descent) << c.height;
        EXPECT_EQ(tm.tmInternalLeading, c.internal) << c.height;
        EXPECT_EQ(tm.tmExternalLeading, c.external) << c.height;
        SIZE extent;
        GetTextExtentPointA(s.dc(), "Hello", 5, &extent);
        EXPECT_EQ(extent.cx, c.hello) << c.height;
        SelectObject(s.dc(), old);
        DeleteObject(font);
    }
}

TEST(Gdi, OpaqueTextPaintsItsCell) {
    Surface s(100, 40);
    HDC dc = s.dc();
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "DOVRA-font");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkColor(dc, RGB(0, 0, 255));
    ASSERT_EQ(GetBkMode(dc), OPAQUE);
    SIZE extent;
    GetTextExtentPointA(dc, "Wide", 4, &extent);
    TextOutA(dc, 5, 6, "Wide", 4);
    EXPECT_EQ(GetPixel(dc, 5, 6), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 5 + extent.cx - 1, 6 + extent.cy - 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 5 + extent.cx, 6), WHITE);
    EXPECT_EQ(GetPixel(dc, 5, 6 + extent.cy), WHITE);
    char face[64];
    EXPECT_GT(GetTextFaceA(dc, sizeof face, face), 0);
    SelectObject(dc, old);
    DeleteObject(font);
}

TEST(Gdi, FixedFontHasATwelvePixelLine) {
    Surface s(10, 10);
    HGDIOBJ old = SelectObject(s.dc(), GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(s.dc(), &tm));
    EXPECT_EQ(tm.tmHeight + tm.tmExternalLeading, 12);
    SIZE narrow, wide;
    GetTextExtentPointA(s.dc(), "iiii", 4, &narrow);
    GetTextExtentPointA(s.dc(), "WWWW", 4, &wide);
    EXPECT_EQ(narrow.cx, wide.cx);
    SelectObject(s.dc(), old);
}

} // namespace
