// Shapes on a device context: rectangles, ellipses, polygons and lines,
// outlined with the selected pen and filled with the selected brush.
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/raster.h"

#include <algorithm>
#include <vector>

namespace portable_win32 {

namespace {

// What a shape needs from its context: the pixels, the pen and the brush.
struct Tools {
    PixelTarget target;
    const GdiObject *pen = nullptr;   // null for the null pen
    const GdiObject *brush = nullptr; // null for the hollow brush
    int pen_width = 0;                // 0 for the null pen, at least 1 otherwise

    bool thin() const { return pen && pen_width <= 1; }
};

// `box`, for a rectangle, is what it covers: with a brush and a one-pixel
// outline it paints every pixel of it.
bool tools_of(HDC dc, Tools *tools, const PixelBox *box = nullptr) {
    const DeviceContext *context = find_dc(dc);
    if (!context) {
        return false;
    }
    const GdiObject *pen = find_gdi_object(context->pen, GdiObject::PEN);
    const GdiObject *brush = find_gdi_object(context->brush, GdiObject::BRUSH);
    tools->pen = pen && !pen->hollow ? pen : nullptr;
    tools->brush = brush && !brush->hollow ? brush : nullptr;
    tools->pen_width = tools->pen ? std::max(1, tools->pen->pen_width) : 0;
    return dc_target(dc, &tools->target, box && tools->thin() && tools->brush ? box : nullptr);
}

SpanWriter pen_writer(const Tools &t) {
    return SpanWriter(t.target, pixel_of(t.pen->color));
}
SpanWriter brush_writer(const Tools &t) {
    return SpanWriter(t.target, pixel_of(t.brush->color));
}

// Outlines a closed path with the pen: one-pixel lines, or wide lines with
// round joins.
void outline_path(const Tools &t, const Point64 *path, std::size_t n) {
    if (!t.pen || n == 0) {
        return;
    }
    const SpanWriter out = pen_writer(t);
    if (t.thin()) {
        for (std::size_t i = 0; i < n; i++) {
            thin_line(out, path[i], path[(i + 1) % n]);
        }
        return;
    }
    const PenDot dot(t.pen_width);
    for (std::size_t i = 0; i < n; i++) {
        wide_line(out, path[i], path[(i + 1) % n], dot);
    }
}

void sort_box(int64_t &left, int64_t &top, int64_t &right, int64_t &bottom) {
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
}

bool rectangle(HDC dc, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    sort_box(left, top, right, bottom);
    const PixelBox covered{left, top, right, bottom};
    Tools t;
    if (!tools_of(dc, &t, &covered)) {
        return false;
    }
    if (left == right || top == bottom) {
        return true;
    }
    // The outline runs through the outermost pixels of [left, right) x [top, bottom).
    right--;
    bottom--;
    if (t.brush) {
        const int64_t inset_start = (t.pen_width + 1) / 2, inset_end = t.pen_width / 2;
        // A one-pixel outline is painted afterwards over the two outer
        // columns of every filled row, so the fill may cover those columns
        // too; the picture is the same, and a box as wide as the target is
        // then one block of memory, filled at the speed of memset.
        const int64_t side_start = t.thin() ? 0 : inset_start, side_end = t.thin() ? -1 : inset_end;
        brush_writer(t).box(top + inset_start, bottom - inset_end, left + side_start,
                            right - side_end);
    }
    const Point64 outline[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    outline_path(t, outline, 4);
    target_changed(dc);
    return true;
}

} // namespace

} // namespace portable_win32

using namespace portable_win32;

BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom) {
    return rectangle(dc, left, top, right, bottom);
}

BOOL WINAPI Ellipse(HDC dc, int left_in, int top_in, int right_in, int bottom_in) {
    int64_t left = left_in, top = top_in, right = right_in, bottom = bottom_in;
    sort_box(left, top, right, bottom);
    // Boxes two pixels or less across are drawn as rectangles.
    if (right - left <= 2 || bottom - top <= 2) {
        return rectangle(dc, left, top, right, bottom);
    }
    Tools t;
    if (!tools_of(dc, &t)) {
        return FALSE;
    }
    if (t.brush) {
        fill_ellipse(brush_writer(t), left, top, right, bottom);
    }
    if (t.pen) {
        ellipse_outline(pen_writer(t), left, top, right, bottom, t.pen_width);
    }
    target_changed(dc);
    return TRUE;
}

BOOL WINAPI Polygon(HDC dc, const POINT *points, int count) {
    Tools t;
    if (!points || count < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!tools_of(dc, &t)) {
        return FALSE;
    }
    // Kept from call to call: polygons of up to SCRATCH_KEPT points cost no
    // allocation once one as large has been drawn.
    static std::vector<Point64> path;
    path.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; i++) {
        path[i] = Point64{points[i].x, points[i].y};
    }
    if (t.brush) {
        fill_polygon(brush_writer(t), path.data(), path.size(), false);
    }
    outline_path(t, path.data(), path.size());
    if (path.capacity() > SCRATCH_KEPT) {
        path = std::vector<Point64>();
    }
    target_changed(dc);
    return TRUE;
}

BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    DeviceContext *context = find_dc(dc);
    if (!context) {
        return FALSE;
    }
    if (previous) {
        *previous = context->position;
    }
    context->position = POINT{x, y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC dc, int x, int y) {
    DeviceContext *context = find_dc(dc);
    Tools t;
    if (!context || !tools_of(dc, &t)) {
        return FALSE;
    }
    const Point64 from{context->position.x, context->position.y};
    const Point64 to{x, y};
    context->position = POINT{x, y};
    if (t.pen) {
        if (t.thin()) {
            thin_line(pen_writer(t), from, to);
        } else {
            wide_line(pen_writer(t), from, to, PenDot(t.pen_width));
        }
        target_changed(dc);
    }
    return TRUE;
}
