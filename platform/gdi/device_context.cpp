// Device contexts: creation and release, selection of objects, text and
// background state, and the pixels behind a context.
#include "platform/gdi/device_context.h"
#include "platform/core/accounting.h"
#include "platform/core/handle_table.h"
#include "platform/gdi/deferred_copy.h"
#include "platform/gdi/gdi_objects.h"

#include <algorithm>
#include <memory>

namespace portable_win32 {

namespace {

HandleTable<DeviceContext> &contexts() {
    static HandleTable<DeviceContext> table;
    return table;
}

// Every new context starts with a black one-pixel pen, a white brush and the
// system font, in opaque mode with a white background and black text.
HDC add_context(std::unique_ptr<DeviceContext> dc) {
    dc->pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    dc->brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    dc->font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    if (dc->memory) {
        dc->bitmap = default_bitmap();
    }
    gdi_object_hold(dc->pen);
    gdi_object_hold(dc->brush);
    gdi_object_hold(dc->font);
    gdi_object_hold(dc->bitmap);
    return to_handle<HDC>(contexts().add(std::move(dc)));
}

void remove_context(HDC handle) {
    DeviceContext *dc = find_dc(handle);
    gdi_object_release(dc->pen);
    gdi_object_release(dc->brush);
    gdi_object_release(dc->font);
    gdi_object_release(dc->bitmap);
    contexts().remove(handle);
}

} // namespace

DeviceContext *find_dc(HDC dc) {
    return dc ? contexts().find(dc) : nullptr;
}

namespace {

enum PixelUse { SIZE_ONLY, TO_READ, TO_CHANGE };

bool pixels_of(HDC handle, PixelTarget *target, PixelUse use, const PixelBox *painted) {
    const DeviceContext *dc = find_dc(handle);
    if (!dc) {
        return false;
    }
    if (dc->memory) {
        GdiObject *bitmap = find_gdi_object(dc->bitmap, GdiObject::BITMAP);
        if (!bitmap) {
            return false;
        }
        if (use == TO_CHANGE) {
            const PixelBox box = painted ? PixelBox{std::max<int64_t>(painted->x0, 0),
                                                    std::max<int64_t>(painted->y0, 0),
                                                    std::min<int64_t>(painted->x1, bitmap->width),
                                                    std::min<int64_t>(painted->y1, bitmap->height)}
                                         : PixelBox{0, 0, 0, 0};
            const bool any = box.x0 < box.x1 && box.y0 < box.y1;
            before_bitmap_changes(*bitmap, any ? &box : nullptr);
        }
        *target = PixelTarget{bitmap->pixels.data(), bitmap->width, bitmap->height};
        return true;
    }
    Surface *surface = dc->surface.get();
    if (!surface || surface->detached) {
        return false;
    }
    if (use != SIZE_ONLY) {
        settle_surface(*surface);
    }
    *target = PixelTarget{surface->pixels.data(), surface->width, surface->height};
    return true;
}

} // namespace

bool dc_target(HDC handle, PixelTarget *target, const PixelBox *painted) {
    return pixels_of(handle, target, TO_CHANGE, painted);
}

bool dc_source(HDC handle, PixelTarget *target) {
    return pixels_of(handle, target, TO_READ, nullptr);
}

bool dc_extent(HDC handle, PixelTarget *target) {
    return pixels_of(handle, target, SIZE_ONLY, nullptr);
}

bool defer_copy_to_window(HDC dest, HDC source, int64_t source_x, int64_t source_y, int64_t width,
                          int64_t height) {
    const DeviceContext *to = find_dc(dest);
    const DeviceContext *from = find_dc(source);
    if (!to || !from || to->memory || !to->surface || !from->memory) {
        return false;
    }
    GdiObject *bitmap = find_gdi_object(from->bitmap, GdiObject::BITMAP);
    return bitmap &&
           defer_block_copy(from->bitmap, *bitmap, to->surface, source_x, source_y, width, height);
}

void target_changed(HDC handle) {
    const DeviceContext *dc = find_dc(handle);
    if (dc && dc->surface) {
        dc->surface->changed = true;
    }
}

HDC surface_dc_create(SurfaceRef surface, HWND owner) {
    auto dc = std::make_unique<DeviceContext>();
    dc->surface = std::move(surface);
    dc->owner = owner;
    return add_context(std::move(dc));
}

bool surface_dc_release(HDC handle, HWND owner) {
    const DeviceContext *dc = find_dc(handle);
    if (!dc || dc->memory || dc->owner != owner) {
        return false;
    }
    const bool window_alive = !dc->surface->detached;
    remove_context(handle);
    return window_alive;
}

} // namespace portable_win32

using namespace portable_win32;

HDC WINAPI CreateCompatibleDC(HDC source) {
    if (source && !find_dc(source)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto dc = std::make_unique<DeviceContext>();
    dc->memory = true;
    return add_context(std::move(dc));
}

BOOL WINAPI DeleteDC(HDC handle) {
    const DeviceContext *dc = find_dc(handle);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    remove_context(handle);
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC handle, HGDIOBJ object) {
    DeviceContext *dc = find_dc(handle);
    GdiObject *o = find_gdi_object(object);
    if (!dc || !o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ *slot = nullptr;
    switch (o->kind) {
    case GdiObject::PEN:
        slot = reinterpret_cast<HGDIOBJ *>(&dc->pen);
        break;
    case GdiObject::BRUSH:
        slot = reinterpret_cast<HGDIOBJ *>(&dc->brush);
        break;
    case GdiObject::FONT:
        slot = reinterpret_cast<HGDIOBJ *>(&dc->font);
        break;
    case GdiObject::BITMAP:
        // A bitmap goes into one memory context at a time.
        if (!dc->memory || (o->selections > 0 && dc->bitmap != object)) {
            return nullptr;
        }
        slot = reinterpret_cast<HGDIOBJ *>(&dc->bitmap);
        break;
    }
    HGDIOBJ previous = *slot;
    if (previous != object) {
        gdi_object_hold(*o);
        *slot = object;
        gdi_object_release(previous);
    }
    return previous;
}

COLORREF WINAPI SetTextColor(HDC handle, COLORREF color) {
    DeviceContext *dc = find_dc(handle);
    if (!dc) {
        return CLR_INVALID;
    }
    const COLORREF previous = dc->text_color;
    dc->text_color = color & 0x00FFFFFF;
    return previous;
}

COLORREF WINAPI GetTextColor(HDC handle) {
    const DeviceContext *dc = find_dc(handle);
    return dc ? dc->text_color : CLR_INVALID;
}

int WINAPI SetBkMode(HDC handle, int mode) {
    DeviceContext *dc = find_dc(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int previous = dc->bk_mode;
    dc->bk_mode = mode;
    return previous;
}

int WINAPI GetBkMode(HDC handle) {
    const DeviceContext *dc = find_dc(handle);
    return dc ? dc->bk_mode : 0;
}

COLORREF WINAPI SetBkColor(HDC handle, COLORREF color) {
    DeviceContext *dc = find_dc(handle);
    if (!dc) {
        return CLR_INVALID;
    }
    const COLORREF previous = dc->bk_color;
    dc->bk_color = color & 0x00FFFFFF;
    return previous;
}

COLORREF WINAPI GetBkColor(HDC handle) {
    const DeviceContext *dc = find_dc(handle);
    return dc ? dc->bk_color : CLR_INVALID;
}

namespace portable_win32 {

int platform_live_gdi_objects() {
    return gdi_object_count() + static_cast<int>(contexts().size());
}

} // namespace portable_win32
