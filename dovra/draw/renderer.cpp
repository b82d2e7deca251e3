// Rendering records onto the surface: package coordinates (y upwards, around
// the origin) become surface pixels, and each record gets its own pen, brush
// or font, released before it returns.
#include "dovra/draw/renderer.h"
#include "dovra/draw/palette.h"
#include "dovra/draw/saturate.h"
#include "dovra/draw/text_encoding.h"
#include "dovra/shell/handles.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

namespace dovra {

uint32_t surface_dirty = 1;
int32_t origin_x = 0;
int32_t origin_y = 0;

namespace {

// The transform saturates, so no coordinate overflows.
int surface_x(int64_t x) {
    return saturate(origin_x + x);
}
int surface_y(int64_t y) {
    return saturate(origin_y - y);
}

void draw_shape(const DisplayRecord &r, COLORREF rgb) {
    HPEN pen = CreatePen(PS_SOLID, r.width, rgb);
    HBRUSH solid = r.width == 0 ? CreateSolidBrush(rgb) : nullptr;
    HGDIOBJ old_pen = SelectObject(surface_dc, pen);
    HGDIOBJ old_brush =
        SelectObject(surface_dc, solid ? static_cast<HGDIOBJ>(solid) : GetStockObject(NULL_BRUSH));
    switch (r.kind) {
    case SHAPE_TRIANGLE: {
        POINT points[3] = {{surface_x(r.x1), surface_y(r.y1)},
                           {surface_x(r.x2), surface_y(r.y2)},
                           {surface_x(r.x3), surface_y(r.y3)}};
        Polygon(surface_dc, points, 3);
        break;
    }
    case SHAPE_RECTANGLE:
        // The +1 puts both given corners inside the box.
        Rectangle(surface_dc, surface_x(r.x1), surface_y(r.y1),
                  surface_x(static_cast<int64_t>(r.x2) + 1),
                  surface_y(static_cast<int64_t>(r.y2) - 1));
        break;
    case SHAPE_OVAL:
        Ellipse(surface_dc, surface_x(r.x1), surface_y(r.y1),
                surface_x(static_cast<int64_t>(r.x2) + 1),
                surface_y(static_cast<int64_t>(r.y2) - 1));
        break;
    default:
        break;
    }
    SelectObject(surface_dc, old_pen);
    SelectObject(surface_dc, old_brush);
    DeleteObject(pen);
    if (solid) {
        DeleteObject(solid);
    }
}

void draw_line(const DisplayRecord &r, COLORREF rgb) {
    HPEN pen = CreatePen(PS_SOLID, r.width, rgb);
    HGDIOBJ old_pen = SelectObject(surface_dc, pen);
    MoveToEx(surface_dc, surface_x(r.x1), surface_y(r.y1), nullptr);
    LineTo(surface_dc, surface_x(r.x2), surface_y(r.y2));
    SelectObject(surface_dc, old_pen);
    DeleteObject(pen);
}

// The text calls for each kind of text: bytes drawn as Windows-1252, and
// UTF-16 (see text_encoding.h for which text is which).
void measure_text(const char *text, int count, SIZE *extent) {
    GetTextExtentPointA(surface_dc, text, count, extent);
}
void measure_text(const WCHAR *text, int count, SIZE *extent) {
    GetTextExtentPoint32W(surface_dc, text, count, extent);
}
void put_text(int x, int y, const char *text, int count) {
    TextOutA(surface_dc, x, y, text, count);
}
void put_text(int x, int y, const WCHAR *text, int count) {
    TextOutW(surface_dc, x, y, text, count);
}

int bounded_count(size_t n) {
    return static_cast<int>(n > INT_MAX ? INT_MAX : n);
}

// The anchor is the lower-left corner of the first line's cell; each newline
// starts a line one cell height lower. Lines are measured and drawn in the
// same units, bytes or UTF-16.
template <typename Unit> void draw_lines(const DisplayRecord &r, const Unit *text, size_t n) {
    SIZE extent{0, 0};
    measure_text(text, bounded_count(n), &extent);
    const int64_t line_height = extent.cy;
    const int x = surface_x(r.x1);
    int64_t line = -1;
    size_t position = 0;
    for (;;) {
        const Unit *newline =
            std::char_traits<Unit>::find(text + position, n - position, static_cast<Unit>('\n'));
        const size_t count =
            newline ? static_cast<size_t>(newline - text) - position : n - position;
        const int64_t y = static_cast<int64_t>(origin_y) - r.y1 + line * line_height;
        put_text(x, saturate(y), text + position, bounded_count(count));
        if (position + count >= n) {
            break;
        }
        line++;
        position += count + 1;
    }
}

void draw_text(const DisplayRecord &r, COLORREF rgb) {
    const char *text = static_cast<const char *>(GlobalLock(r.text));
    if (!text) {
        return; // no block, no text
    }
    SetTextColor(surface_dc, rgb);
    const int old_mode = GetBkMode(surface_dc);
    SetBkMode(surface_dc, TRANSPARENT);
    HFONT font =
        CreateFontA(-r.x2, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "DOVRA-font");
    HGDIOBJ old_font = SelectObject(surface_dc, font);
    const size_t n = std::strlen(text);
    WideText wide;
    if (unicode_text(text, n, &wide)) {
        draw_lines(r, wide.data(), wide.size());
    } else {
        draw_lines(r, text, n);
    }
    GlobalUnlock(r.text);
    SetBkMode(surface_dc, old_mode);
    SelectObject(surface_dc, old_font);
    DeleteObject(font);
}

} // namespace

void render_record(const DisplayRecord &record) {
    // Before start-up there is no surface: nothing is painted.
    if (surface_dc) {
        const COLORREF rgb = palette_color(record.color);
        switch (record.kind) {
        case SHAPE_TRIANGLE:
        case SHAPE_RECTANGLE:
        case SHAPE_OVAL:
            draw_shape(record, rgb);
            break;
        case SHAPE_LINE:
            draw_line(record, rgb);
            break;
        case SHAPE_PIXEL:
            SetPixel(surface_dc, surface_x(record.x1), surface_y(record.y1), rgb);
            break;
        case SHAPE_TEXT:
            draw_text(record, rgb);
            break;
        default:
            break; // any other kind draws nothing
        }
    }
    surface_dirty = 1;
}

void fill_background() {
    if (surface_dc) {
        HBRUSH white = CreateSolidBrush(palette_color(PALETTE_WHITE));
        HGDIOBJ old_brush = SelectObject(surface_dc, white);
        Rectangle(surface_dc, 0, 0, SURFACE_WIDTH, SURFACE_HEIGHT);
        SelectObject(surface_dc, old_brush);
        DeleteObject(white);
    }
    surface_dirty = 1;
}

} // namespace dovra
