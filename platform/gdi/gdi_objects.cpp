// Pens, brushes, fonts and bitmaps: creation, stock objects and deletion.
#include "platform/gdi/gdi_objects.h"
#include "platform/core/accounting.h"
#include "platform/core/handle_table.h"
#include "platform/gdi/deferred_copy.h"
#include "platform/gdi/device_context.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace portable_win32 {

namespace {

HandleTable<GdiObject> &objects() {
    static HandleTable<GdiObject> table;
    return table;
}

int live_stock_objects = 0;

// Objects of deleted pens, brushes, fonts and bitmaps, cleared and kept for
// the next creation: a program that makes and deletes a pen and a brush for
// every shape then costs no heap allocation per shape.
std::vector<std::unique_ptr<GdiObject>> &spares() {
    static std::vector<std::unique_ptr<GdiObject>> list;
    return list;
}
const std::size_t SPARE_LIMIT = 32;

void discard(HGDIOBJ handle) {
    if (GdiObject *bitmap = find_gdi_object(handle, GdiObject::BITMAP)) {
        // A copy still owed from the bitmap keeps its pixels.
        const PixelBox all{0, 0, bitmap->width, bitmap->height};
        before_bitmap_changes(*bitmap, &all);
    }
    std::unique_ptr<GdiObject> o = objects().take(handle);
    if (o && spares().size() < SPARE_LIMIT) {
        *o = GdiObject(); // frees a bitmap's pixels and a font's name now
        spares().push_back(std::move(o));
    }
}

HGDIOBJ add(std::unique_ptr<GdiObject> object) {
    if (object->stock) {
        live_stock_objects++;
    }
    return reinterpret_cast<HGDIOBJ>(objects().add(std::move(object)));
}

std::unique_ptr<GdiObject> make(GdiObject::Kind kind) {
    std::unique_ptr<GdiObject> o;
    if (spares().empty()) {
        o = std::make_unique<GdiObject>();
    } else {
        o = std::move(spares().back());
        spares().pop_back();
    }
    o->kind = kind;
    return o;
}

HGDIOBJ make_stock(int index) {
    std::unique_ptr<GdiObject> o;
    switch (index) {
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case GRAY_BRUSH:
    case DKGRAY_BRUSH:
    case BLACK_BRUSH: {
        static const COLORREF colors[] = {RGB(255, 255, 255), RGB(192, 192, 192),
                                          RGB(128, 128, 128), RGB(64, 64, 64), RGB(0, 0, 0)};
        o = make(GdiObject::BRUSH);
        o->color = colors[index];
        break;
    }
    case NULL_BRUSH:
        o = make(GdiObject::BRUSH);
        o->hollow = true;
        break;
    case WHITE_PEN:
    case BLACK_PEN:
        o = make(GdiObject::PEN);
        o->color = index == WHITE_PEN ? RGB(255, 255, 255) : RGB(0, 0, 0);
        o->pen_width = 0;
        break;
    case NULL_PEN:
        o = make(GdiObject::PEN);
        o->pen_style = PS_NULL;
        o->hollow = true;
        break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
        o = make(GdiObject::FONT);
        o->font_height = 12;
        o->fixed_pitch = true;
        o->face_name = "Courier New";
        break;
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT:
        o = make(GdiObject::FONT);
        o->font_height = index == SYSTEM_FONT ? 16 : 13;
        o->face_name = "Arial";
        break;
    default:
        return nullptr;
    }
    o->stock = true;
    return add(std::move(o));
}

} // namespace

std::unique_ptr<GdiObject> new_gdi_object(GdiObject::Kind kind) {
    return make(kind);
}

HGDIOBJ add_gdi_object(std::unique_ptr<GdiObject> object) {
    return add(std::move(object));
}

GdiObject *find_gdi_object(HGDIOBJ handle) {
    return handle ? objects().find(handle) : nullptr;
}

GdiObject *find_gdi_object(HGDIOBJ handle, GdiObject::Kind kind) {
    GdiObject *o = find_gdi_object(handle);
    return o && o->kind == kind ? o : nullptr;
}

void gdi_object_hold(HGDIOBJ handle) {
    if (GdiObject *o = find_gdi_object(handle)) {
        gdi_object_hold(*o);
    }
}

void gdi_object_hold(GdiObject &object) {
    object.selections++;
}

void gdi_object_release(HGDIOBJ handle) {
    GdiObject *o = find_gdi_object(handle);
    if (!o) {
        return;
    }
    o->selections = std::max(0, o->selections - 1);
    if (o->selections == 0 && o->delete_requested) {
        discard(handle);
    }
}

HBITMAP default_bitmap() {
    static HBITMAP bitmap = [] {
        auto o = make(GdiObject::BITMAP);
        o->stock = true;
        o->width = 1;
        o->height = 1;
        o->pixels.assign(1, 0x00FFFFFF);
        return reinterpret_cast<HBITMAP>(add(std::move(o)));
    }();
    return bitmap;
}

} // namespace portable_win32

using namespace portable_win32;

HGDIOBJ WINAPI GetStockObject(int index) {
    static HGDIOBJ stock[DEFAULT_GUI_FONT + 1] = {};
    if (index < 0 || index > DEFAULT_GUI_FONT) {
        return nullptr;
    }
    if (!stock[index]) {
        stock[index] = make_stock(index);
    }
    return stock[index];
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    auto o = make(GdiObject::PEN);
    o->pen_style = style;
    o->pen_width = width < 0 ? 0 : width;
    o->color = color & 0x00FFFFFF;
    o->hollow = style == PS_NULL;
    return reinterpret_cast<HPEN>(add(std::move(o)));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    auto o = make(GdiObject::BRUSH);
    o->color = color & 0x00FFFFFF;
    return reinterpret_cast<HBRUSH>(add(std::move(o)));
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!find_dc(dc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // A bitmap of 32-bit pixels: the layer's screen format. The pixel count
    // is bounded so that no size can exhaust memory or overflow the buffer.
    if (width < 0 || height < 0 || static_cast<int64_t>(width) * height > (1 << 26)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (width == 0 || height == 0) {
        width = height = 1;
    }
    auto o = make(GdiObject::BITMAP);
    o->width = width;
    o->height = height;
    o->pixels.assign(static_cast<std::size_t>(width) * height, 0);
    return reinterpret_cast<HBITMAP>(add(std::move(o)));
}

BOOL WINAPI DeleteObject(HGDIOBJ handle) {
    GdiObject *o = find_gdi_object(handle);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (o->stock) {
        return TRUE;
    }
    if (o->selections > 0) {
        o->delete_requested = true;
        return TRUE;
    }
    discard(handle);
    return TRUE;
}

namespace portable_win32 {

int gdi_object_count() {
    return static_cast<int>(objects().size()) - live_stock_objects;
}

} // namespace portable_win32
