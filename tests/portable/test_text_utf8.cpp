// Text in UTF-8 through DOVRA_draw_text: drawn on the surface, and shown in
// the log window, as the same characters written in Windows-1252. Runs on the
// portable layer and on Windows under Wine.
#include "dovra/dovra.h"
#include "dovra/draw/renderer.h"
#include "tests/support/package_fixture.h"
#include "tests/support/portable_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace package_fixture;

namespace {

const COLORREF WHITE = RGB(255, 255, 255);

// The pixels of a box of a device context, row by row.
std::vector<COLORREF> pixels(HDC dc, int left, int top, int right, int bottom) {
    std::vector<COLORREF> all;
    for (int y = top; y < bottom; y++) {
        for (int x = left; x < right; x++) {
            all.push_back(GetPixel(dc, x, y));
        }
    }
    return all;
}

bool all_white(const std::vector<COLORREF> &box) {
    for (COLORREF c : box) {
        if (c != WHITE) {
            return false;
        }
    }
    return true;
}

void whiten(HDC dc, const RECT &r) {
    HBRUSH white = CreateSolidBrush(WHITE);
    FillRect(dc, &r, white);
    DeleteObject(white);
}

// What one DOVRA_draw_text leaves on the surface around its anchor and, with
// logging on, in the log window's last two lines.
struct Drawn {
    std::vector<COLORREF> surface;
    std::vector<COLORREF> log;
};

Drawn draw(const char *text) {
    RECT surface{0, 0, SURFACE_WIDTH, SURFACE_HEIGHT};
    whiten(surface_dc, surface);
    RECT client;
    GetClientRect(log_window, &client);
    HDC log_dc = GetDC(log_window);
    whiten(log_dc, client);
    DOVRA_draw_text(0, -200, 0, 14, text);
    Drawn drawn;
    drawn.surface = pixels(surface_dc, origin_x - 205, origin_y - 40, origin_x + 40, origin_y + 30);
    drawn.log = pixels(log_dc, 0, client.bottom - 30, 320, client.bottom);
    ReleaseDC(log_window, log_dc);
    return drawn;
}

TEST(TextInUtf8, DrawsAndLogsAsWindows1252Does) {
    start();
    reset_log();
    DOVRA_show_log_window(1);
    portable::drain();
    struct Case {
        const char *utf8;
        const char *cp1252;
    } cases[] = {
        {"caf\xc3\xa9", "caf\xe9"},                                             // café
        {"10 \xe2\x82\xac", "10 \x80"},                                         // 10 €
        {"caf\xc3\xa9\n10 \xe2\x82\xac", "caf\xe9\n10 \x80"},                   // two lines
        {"\xc3\x89t\xc3\xa9 \xe2\x80\x9cq\xe2\x80\x9d", "\xc9t\xe9 \x93q\x94"}, // Été “q”
    };
    for (const Case &c : cases) {
        const Drawn expected = draw(c.cp1252);
        ASSERT_FALSE(all_white(expected.surface)) << c.cp1252;
        ASSERT_FALSE(all_white(expected.log)) << c.cp1252;
        const Drawn drawn = draw(c.utf8);
        EXPECT_TRUE(drawn.surface == expected.surface) << c.cp1252;
        EXPECT_TRUE(drawn.log == expected.log) << c.cp1252;
    }
}

} // namespace
