// GDI objects of the layer: pens, brushes, fonts and bitmaps, with the stock
// objects, selection into device contexts and deferred deletion.
#pragma once

#include "platform/gdi/surface.h"
#include "platform/win32.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace portable_win32 {

struct GdiObject {
    enum Kind { PEN, BRUSH, FONT, BITMAP };
    Kind kind;
    bool stock = false;
    int selections = 0;            // device contexts that hold it
    bool delete_requested = false; // deleted while selected: goes when released
    // Pens and brushes.
    int pen_style = PS_SOLID;
    int pen_width = 1;
    bool hollow = false; // null brush or null pen
    COLORREF color = 0;
    // Fonts.
    int font_height = 0;
    int font_weight = FW_NORMAL;
    bool fixed_pitch = false;
    std::string face_name;
    // Bitmaps: 0x00RRGGBB pixels, width per row.
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    // Windows owed a block copy of these pixels (deferred_copy.h).
    std::vector<std::weak_ptr<Surface>> owed_to;
};

GdiObject *find_gdi_object(HGDIOBJ handle);
GdiObject *find_gdi_object(HGDIOBJ handle, GdiObject::Kind kind);

// Selection bookkeeping for device contexts: the object is held while
// selected; a deletion requested meanwhile happens when it is released.
void gdi_object_hold(HGDIOBJ handle);
void gdi_object_hold(GdiObject &object); // for a caller that has found it already
void gdi_object_release(HGDIOBJ handle);

// The default bitmap of a new memory device context (one white pixel).
HBITMAP default_bitmap();

// A cleared object of the given kind, to be filled in and added to the
// table by code elsewhere (fonts).
std::unique_ptr<GdiObject> new_gdi_object(GdiObject::Kind kind);
HGDIOBJ add_gdi_object(std::unique_ptr<GdiObject> object);

// Live pens, brushes, fonts and bitmaps, stock objects not counted.
int gdi_object_count();

// The 0x00RRGGBB pixel of a COLORREF, and back.
inline uint32_t pixel_of(COLORREF c) {
    return (static_cast<uint32_t>(GetRValue(c)) << 16) |
           (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}
inline COLORREF colorref_of(uint32_t p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

} // namespace portable_win32
