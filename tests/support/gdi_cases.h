// The GDI cases shared by the probe program and the portable shape test:
// each draws into a white memory bitmap of its own size.
#pragma once

#include "platform/win32.h"
#include "tests/support/memory_surface.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gdi_cases {

inline const COLORREF RED = RGB(255, 0, 0);
inline const COLORREF BLUE = RGB(0, 0, 255);

struct Case {
    std::string name;
    int width, height;
    std::function<void(HDC)> draw;
};

// Selects a pen of `pen_width` (negative: the null pen) and either a solid
// brush or the hollow one, draws, and restores.
inline void with_tools(HDC dc, int pen_width, bool filled, const std::function<void()> &draw) {
    HPEN pen = pen_width < 0 ? static_cast<HPEN>(GetStockObject(NULL_PEN))
                             : CreatePen(PS_SOLID, pen_width, RED);
    HBRUSH brush =
        filled ? CreateSolidBrush(BLUE) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, brush);
    draw();
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    if (pen_width >= 0) {
        DeleteObject(pen);
    }
    if (filled) {
        DeleteObject(brush);
    }
}

inline std::vector<Case> cases() {
    std::vector<Case> list;
    for (int pen : {-1, 0, 1, 2, 3, 4, 5}) {
        for (bool filled : {true, false}) {
            const std::string tag = "pen" + std::to_string(pen) + (filled ? "_fill" : "_hollow");
            list.push_back({"rect_" + tag, 24, 20, [=](HDC dc) {
                                with_tools(dc, pen, filled, [&] { Rectangle(dc, 4, 3, 18, 15); });
                            }});
            list.push_back({"rect_small_" + tag, 12, 12, [=](HDC dc) {
                                with_tools(dc, pen, filled, [&] { Rectangle(dc, 4, 4, 7, 6); });
                            }});
            list.push_back({"ellipse_" + tag, 26, 22, [=](HDC dc) {
                                with_tools(dc, pen, filled, [&] { Ellipse(dc, 3, 3, 22, 16); });
                            }});
            list.push_back({"tri_" + tag, 26, 22, [=](HDC dc) {
                                POINT p[3] = {{13, 2}, {22, 18}, {3, 18}};
                                with_tools(dc, pen, filled, [&] { Polygon(dc, p, 3); });
                            }});
            list.push_back({"star_" + tag, 26, 26, [=](HDC dc) {
                                POINT p[5] = {{13, 1}, {20, 23}, {2, 9}, {24, 9}, {6, 23}};
                                with_tools(dc, pen, filled, [&] { Polygon(dc, p, 5); });
                            }});
            list.push_back({"flat_" + tag, 20, 12, [=](HDC dc) {
                                POINT p[3] = {{2, 2}, {10, 6}, {18, 10}};
                                with_tools(dc, pen, filled, [&] { Polygon(dc, p, 3); });
                            }});
        }
    }
    for (int box : {1, 3, 4, 5, 6, 7, 17, 115, 167}) {
        for (int pen : {0, 1, 3}) {
            list.push_back({"circle" + std::to_string(box) + "_pen" + std::to_string(pen), box + 8,
                            box + 8, [=](HDC dc) {
                                with_tools(dc, pen, pen == 0,
                                           [&] { Ellipse(dc, 4, 4, 4 + box, 4 + box); });
                            }});
        }
    }
    struct Line {
        int x0, y0, x1, y1;
    };
    const Line lines[] = {{2, 5, 20, 5},  {5, 2, 5, 20},  {2, 2, 20, 20}, {20, 20, 2, 2},
                          {2, 3, 21, 9},  {21, 9, 2, 3},  {3, 2, 9, 21},  {9, 21, 3, 2},
                          {2, 18, 20, 4}, {20, 4, 2, 18}, {4, 4, 4, 4},   {2, 10, 21, 11},
                          {2, 2, 6, 4},   {6, 4, 2, 2},   {2, 4, 6, 2},   {6, 2, 2, 4},
                          {2, 2, 4, 6},   {4, 6, 2, 2},   {4, 2, 2, 6},   {2, 6, 4, 2}};
    for (int pen : {0, 1, 2, 3, 4}) {
        int i = 0;
        for (const Line &l : lines) {
            list.push_back(
                {"line" + std::to_string(i++) + "_pen" + std::to_string(pen), 24, 24, [=](HDC dc) {
                     HPEN p = CreatePen(PS_SOLID, pen, RED);
                     HGDIOBJ old = SelectObject(dc, p);
                     MoveToEx(dc, l.x0, l.y0, nullptr);
                     LineTo(dc, l.x1, l.y1);
                     SelectObject(dc, old);
                     DeleteObject(p);
                 }});
        }
    }
    list.push_back({"polyline_joins_pen4", 30, 30, [](HDC dc) {
                        HPEN p = CreatePen(PS_SOLID, 4, RED);
                        HGDIOBJ old = SelectObject(dc, p);
                        MoveToEx(dc, 4, 4, nullptr);
                        LineTo(dc, 24, 8);
                        LineTo(dc, 8, 24);
                        SelectObject(dc, old);
                        DeleteObject(p);
                    }});
    list.push_back({"half_outside", 20, 20, [](HDC dc) {
                        with_tools(dc, 0, true, [&] {
                            Ellipse(dc, -10, -6, 12, 14);
                            Rectangle(dc, 15, 15, 40, 40);
                        });
                    }});
    return list;
}

// Checksum of a bitmap's pixels (FNV-1a over red, green, blue).
inline uint32_t checksum(HDC dc, int w, int h) {
    uint32_t hash = 2166136261u;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            const COLORREF c = GetPixel(dc, x, y);
            for (int k = 0; k < 3; k++) {
                hash = (hash ^ ((c >> (8 * k)) & 0xFF)) * 16777619u;
            }
        }
    }
    return hash;
}

// Draws one case into a fresh white bitmap, calls `inspect` with the
// memory context, and releases everything.
inline void run(const Case &c, const std::function<void(HDC)> &inspect) {
    const MemorySurface surface(c.width, c.height);
    c.draw(surface.dc());
    inspect(surface.dc());
}

} // namespace gdi_cases
