// The portable layer's GDI cost: filling the whole 601 x 540 surface, the
// shapes of the cone scene's start frame, and shapes far larger than the
// surface, which must cost about what the surface does.
#include "platform/win32.h"
#include "tests/support/memory_surface.h"

#include <benchmark/benchmark.h>
#include <climits>

namespace {

// A bitmap of the cone builder's surface size.
struct Surface : MemorySurface {
    Surface() : MemorySurface(601, 540) {}
};

// One shape drawn as the renderer draws it: its own pen and brush.
template <class Draw> void with_pen_and_brush(HDC dc, COLORREF color, int width, Draw draw) {
    HPEN pen = CreatePen(PS_SOLID, width, color);
    HBRUSH brush = width == 0 ? CreateSolidBrush(color) : nullptr;
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, brush ? brush : GetStockObject(NULL_BRUSH));
    draw();
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(pen);
    if (brush) {
        DeleteObject(brush);
    }
}

void BM_FillSurface(benchmark::State &state) {
    Surface s;
    for (auto _ : state) {
        with_pen_and_brush(s.dc(), RGB(255, 255, 255), 0,
                           [&] { Rectangle(s.dc(), 0, 0, 601, 540); });
    }
    state.SetItemsProcessed(state.iterations() * 601 * 540);
}
BENCHMARK(BM_FillSurface);

// The non-text shapes of the start scene, in surface pixels around (297, 248).
void BM_ConeSceneShapes(benchmark::State &state) {
    Surface s;
    const int ox = 297, oy = 248;
    for (auto _ : state) {
        with_pen_and_brush(s.dc(), RGB(255, 255, 255), 0,
                           [&] { Rectangle(s.dc(), ox - 300, oy - 250, ox + 301, oy + 251); });
        for (int r = 0; r < 6; r++) {
            with_pen_and_brush(s.dc(), RGB(0, 0, 0), 1, [&] {
                Rectangle(s.dc(), ox - 295, oy - 245 + 25 * r, ox - 184, oy - 219 + 25 * r);
            });
        }
        with_pen_and_brush(s.dc(), RGB(255, 0, 255), 0,
                           [&] { Ellipse(s.dc(), ox - 57, oy - 82, ox + 58, oy + 33); });
        with_pen_and_brush(s.dc(), RGB(153, 102, 51), 0, [&] {
            POINT cone[3] = {{ox, oy + 175}, {ox - 60, oy - 25}, {ox + 60, oy - 25}};
            Polygon(s.dc(), cone, 3);
        });
        with_pen_and_brush(s.dc(), RGB(255, 255, 0), 0,
                           [&] { Ellipse(s.dc(), ox + 205, oy - 305, ox + 356, oy - 154); });
        with_pen_and_brush(s.dc(), RGB(255, 0, 255), 0,
                           [&] { Ellipse(s.dc(), ox - 68, oy - 1, ox - 51, oy + 16); });
        with_pen_and_brush(s.dc(), RGB(255, 0, 255), 0, [&] {
            POINT drip[3] = {{ox - 60, oy - 25}, {ox - 52, oy - 9}, {ox - 68, oy - 9}};
            Polygon(s.dc(), drip, 3);
        });
    }
}
BENCHMARK(BM_ConeSceneShapes);

// Shapes of extreme size: the cost follows the visible pixels.
void BM_HugeCircle(benchmark::State &state) {
    Surface s;
    const int r = 1000000000;
    for (auto _ : state) {
        with_pen_and_brush(s.dc(), RGB(255, 0, 0), 0,
                           [&] { Ellipse(s.dc(), 300 - r, 270 - r, 301 + r, 271 + r); });
    }
}
BENCHMARK(BM_HugeCircle);

void BM_ExtremePolygon(benchmark::State &state) {
    Surface s;
    POINT p[3] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}};
    for (auto _ : state) {
        with_pen_and_brush(s.dc(), RGB(0, 0, 255), 0, [&] { Polygon(s.dc(), p, 3); });
    }
}
BENCHMARK(BM_ExtremePolygon);

void BM_LineAcrossIntRange(benchmark::State &state) {
    Surface s;
    for (auto _ : state) {
        with_pen_and_brush(s.dc(), RGB(0, 0, 0), static_cast<int>(state.range(0)), [&] {
            MoveToEx(s.dc(), INT_MIN, INT_MIN, nullptr);
            LineTo(s.dc(), INT_MAX, INT_MAX);
        });
    }
}
BENCHMARK(BM_LineAcrossIntRange)->Arg(0)->Arg(100000);

} // namespace

BENCHMARK_MAIN();
