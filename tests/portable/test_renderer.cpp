// The renderer and the drawing calls on the surface, pixel by pixel: box
// corners, circles, outlines, lines, text rows, unknown kinds and the
// background. Runs on the portable layer and on Windows under Wine.
#include "dovra/dovra.h"
#include "dovra/draw/renderer.h"
#include "tests/support/package_fixture.h"
#include "tests/support/portable_support.h"

#include <gtest/gtest.h>

using namespace dovra;

using namespace package_fixture;

namespace {

const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF BLACK = RGB(0, 0, 0);
const COLORREF GREEN = RGB(0, 255, 0);
const COLORREF RED = RGB(255, 0, 0);

class Renderer : public ::testing::Test {
  protected:
    void SetUp() override {
        start();
        logging_on = 0;
        origin_x = 300;
        origin_y = 250;
        paint(WHITE);
    }
    void TearDown() override { logging_on = 1; }

    static void paint(COLORREF color) {
        RECT all{0, 0, SURFACE_WIDTH, SURFACE_HEIGHT};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(surface_dc, &all, brush);
        DeleteObject(brush);
    }
    static COLORREF at(int x, int y) { return GetPixel(surface_dc, x, y); }
    // Surface pixels of this colour within a box, inclusive.
    static int count(COLORREF color, int left, int top, int right, int bottom) {
        int n = 0;
        for (int y = top; y <= bottom; y++) {
            for (int x = left; x <= right; x++) {
                n += at(x, y) == color;
            }
        }
        return n;
    }
    // The pixels of a box, row by row.
    static std::vector<COLORREF> snapshot(int left, int top, int right, int bottom) {
        std::vector<COLORREF> pixels;
        for (int y = top; y <= bottom; y++) {
            for (int x = left; x <= right; x++) {
                pixels.push_back(at(x, y));
            }
        }
        return pixels;
    }
    // First and last rows, within a box, holding any pixel other than white.
    static void ink_rows(int left, int top, int right, int bottom, int *first, int *last) {
        *first = -1;
        *last = -1;
        for (int y = top; y <= bottom; y++) {
            for (int x = left; x <= right; x++) {
                if (at(x, y) != WHITE) {
                    if (*first < 0) {
                        *first = y;
                    }
                    *last = y;
                    break;
                }
            }
        }
    }
};

TEST_F(Renderer, FilledRectangleCoversBothCorners) {
    DisplayRecord r{};
    r.kind = SHAPE_RECTANGLE;
    r.color = 2;
    r.x1 = -1;
    r.y1 = 1;
    r.x2 = 1;
    r.y2 = -1;
    render_record(r);
    EXPECT_EQ(count(RED, 299, 249, 301, 251), 9);
    EXPECT_EQ(count(RED, 290, 240, 310, 260), 9);
}

TEST_F(Renderer, CircleBoxIsCentredOnItsPixel) {
    DOVRA_draw_circle(2, 0, 0, 8);
    // A box 17 pixels wide centred on (300, 250).
    EXPECT_EQ(at(300, 250), RED);
    EXPECT_EQ(at(292, 250), RED);
    EXPECT_EQ(at(308, 250), RED);
    EXPECT_EQ(at(291, 250), WHITE);
    EXPECT_EQ(at(309, 250), WHITE);
    EXPECT_EQ(at(300, 242), RED);
    EXPECT_EQ(at(300, 258), RED);
    EXPECT_EQ(at(300, 259), WHITE);
    // Radius 0 asks for a one-pixel box, in which GDI (as Wine shows it) draws nothing.
    paint(WHITE);
    DOVRA_draw_circle(2, 0, 0, 0);
    EXPECT_EQ(count(RED, 295, 245, 305, 255), 0);
}

TEST_F(Renderer, WideOutlineIsCentredAndKeepsTheInterior) {
    paint(GREEN);
    DOVRA_draw_rectangle(0, -10, 10, 10, -10, 3);
    // The box's left edge is column 290; a 3-pixel pen covers 289..291.
    EXPECT_EQ(at(288, 250), GREEN);
    EXPECT_EQ(at(289, 250), BLACK);
    EXPECT_EQ(at(291, 250), BLACK);
    EXPECT_EQ(at(292, 250), GREEN);
    EXPECT_EQ(at(300, 250), GREEN);
    EXPECT_EQ(at(311, 250), BLACK);
    EXPECT_EQ(at(312, 250), GREEN);
}

TEST_F(Renderer, LineStopsBeforeItsEndPoint) {
    DisplayRecord r{};
    r.kind = SHAPE_LINE;
    r.color = 0;
    r.x2 = 10;
    render_record(r);
    EXPECT_EQ(count(BLACK, 300, 250, 309, 250), 10);
    EXPECT_EQ(at(310, 250), WHITE);
    EXPECT_EQ(count(BLACK, 280, 240, 320, 260), 10);
}

TEST_F(Renderer, PixelRecordSetsOnePixel) {
    DisplayRecord r{};
    r.kind = SHAPE_PIXEL;
    r.color = 2;
    r.width = 40; // not read
    r.x1 = 7;
    r.y1 = -3;
    render_record(r);
    EXPECT_EQ(at(307, 253), RED);
    EXPECT_EQ(count(RED, 280, 230, 330, 280), 1);
}

TEST_F(Renderer, TwoLinesOfTextOneCellApart) {
    HDC dc = surface_dc;
    HFONT font = CreateFontA(-18, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "DOVRA-font");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent;
    GetTextExtentPointA(dc, "A\nB", 3, &extent);
    SelectObject(dc, old);
    DeleteObject(font);
    const int h = extent.cy;
    ASSERT_EQ(h, 20);
    DOVRA_draw_text(0, 0, 0, 18, "A\nB");
    int first, last;
    // A in the cell above the anchor row, B in the cell below it.
    ink_rows(300, 250 - h, 330, 249, &first, &last);
    EXPECT_GE(first, 250 - h);
    EXPECT_LE(last, 249);
    ink_rows(300, 250, 330, 250 + h - 1, &first, &last);
    EXPECT_GE(first, 250);
    EXPECT_GT(last, 250);
    EXPECT_EQ(count(WHITE, 290, 250 + h, 340, 250 + 2 * h), 51 * (h + 1));
}

TEST_F(Renderer, TrailingNewlineAndEmptyText) {
    DOVRA_draw_text(0, 0, 0, 18, "AB\n");
    const std::vector<COLORREF> with_newline = snapshot(295, 220, 339, 279);
    paint(WHITE);
    DOVRA_draw_text(0, 0, 0, 18, "AB");
    EXPECT_TRUE(snapshot(295, 220, 339, 279) == with_newline);
    paint(WHITE);
    surface_dirty = 0;
    DOVRA_draw_text(0, 0, 0, 18, "");
    EXPECT_EQ(surface_dirty, 1u);
    EXPECT_EQ(count(WHITE, 280, 220, 320, 260), 41 * 41);
}

TEST_F(Renderer, UnknownKindsDrawNothingButMarkTheSurface) {
    for (int kind : {6, -1}) {
        surface_dirty = 0;
        DisplayRecord r{};
        r.kind = kind;
        r.color = 0;
        r.x2 = 50;
        r.y2 = -50;
        render_record(r);
        EXPECT_EQ(surface_dirty, 1u) << kind;
        EXPECT_EQ(count(WHITE, 290, 190, 360, 310), 71 * 121) << kind;
    }
}

TEST_F(Renderer, BackgroundHasABlackFrame) {
    paint(GREEN);
    surface_dirty = 0;
    DOVRA_clear_window();
    EXPECT_EQ(surface_dirty, 1u);
    for (int x : {0, 300, 600}) {
        EXPECT_EQ(at(x, 0), BLACK);
        EXPECT_EQ(at(x, 539), BLACK);
    }
    for (int y : {0, 270, 539}) {
        EXPECT_EQ(at(0, y), BLACK);
        EXPECT_EQ(at(600, y), BLACK);
    }
    EXPECT_EQ(at(1, 1), WHITE);
    EXPECT_EQ(at(599, 538), WHITE);
    EXPECT_EQ(at(300, 270), WHITE);
}

TEST_F(Renderer, NewOriginPlacesLaterRecordsOnly) {
    DOVRA_draw_rectangle(2, -1, 1, 1, -1, 0);
    origin_x = 100;
    origin_y = 50;
    DOVRA_draw_rectangle(2, -1, 1, 1, -1, 0);
    EXPECT_EQ(count(RED, 299, 249, 301, 251), 9);
    EXPECT_EQ(count(RED, 99, 49, 101, 51), 9);
}

TEST_F(Renderer, CallsLeaveNoObjectBehind) {
    const int before = portable::live_gdi_objects();
    DOVRA_clear_window();
    DOVRA_draw_circle(6, 0, 25, 57);
    DOVRA_draw_triangle(14, 0, -175, -60, 25, 60, 25, 3);
    DOVRA_draw_rectangle(0, -295, 245, -185, 220, 1);
    DOVRA_draw_text(19, -285, 227, 12, "Add Scoop");
    EXPECT_EQ(portable::live_gdi_objects(), before);
}

} // namespace
