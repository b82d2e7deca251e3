// Block copies into a window that wait until its pixels are needed: noting
// them, making them, and handing a bitmap's buffer over to them.
#include "platform/gdi/deferred_copy.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace portable_win32 {

namespace {

// The copy `surface` owes no longer comes from `handle`'s bitmap.
void forget_owed(HBITMAP handle, const Surface &surface) {
    GdiObject *bitmap = find_gdi_object(handle, GdiObject::BITMAP);
    if (!bitmap) {
        return;
    }
    auto &list = bitmap->owed_to;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const std::weak_ptr<Surface> &w) {
                                  const SurfaceRef s = w.lock();
                                  return !s || s.get() == &surface;
                              }),
               list.end());
}

// The pixels the owed copy comes from, `width` a row; null when gone.
const uint32_t *owed_source(const OwedCopy &owed) {
    if (!owed.held.empty()) {
        return owed.held.data();
    }
    const GdiObject *bitmap = find_gdi_object(owed.bitmap, GdiObject::BITMAP);
    if (!bitmap || bitmap->width != owed.source_width || bitmap->height != owed.source_height) {
        return nullptr;
    }
    return bitmap->pixels.data();
}

// The copy is made or no longer needed: its source is let go of, and a
// buffer it held is kept for the next one.
void release_source(Surface &surface) {
    OwedCopy &owed = surface.owed;
    if (owed.held.empty()) {
        forget_owed(owed.bitmap, surface);
    } else {
        owed.spare.swap(owed.held);
        owed.held.clear();
    }
}

} // namespace

bool defer_block_copy(HBITMAP handle, GdiObject &bitmap, const SurfaceRef &surface,
                      int64_t source_x, int64_t source_y, int64_t width, int64_t height) {
    if (!surface || !surface->frames_unseen || surface->detached) {
        return false;
    }
    OwedCopy &owed = surface->owed;
    // The new copy covers all of the old one: that one is never needed.
    if (owed.pending) {
        release_source(*surface);
    }
    owed.pending = true;
    owed.bitmap = handle;
    owed.source_width = bitmap.width;
    owed.source_height = bitmap.height;
    owed.source_x = source_x;
    owed.source_y = source_y;
    owed.width = width;
    owed.height = height;
    bitmap.owed_to.push_back(surface);
    return true;
}

void settle_surface(Surface &surface) {
    OwedCopy &owed = surface.owed;
    if (!owed.pending) {
        return;
    }
    owed.pending = false;
    const uint32_t *source = owed_source(owed);
    if (source && owed.width <= surface.width && owed.height <= surface.height) {
        const std::size_t row_bytes = static_cast<std::size_t>(owed.width) * sizeof(uint32_t);
        for (int64_t row = 0; row < owed.height; row++) {
            std::memcpy(surface.pixels.data() + row * surface.width,
                        source + (owed.source_y + row) * owed.source_width + owed.source_x,
                        row_bytes);
        }
    }
    release_source(surface);
}

const uint32_t *surface_pixels(const Surface &surface) {
    // Making the owed copy changes no pixel that anyone has seen.
    settle_surface(const_cast<Surface &>(surface));
    return surface.pixels.data();
}

void before_bitmap_changes(GdiObject &bitmap, const PixelBox *painted) {
    if (bitmap.owed_to.empty()) {
        return; // every drawing call on a bitmap comes here
    }
    std::vector<SurfaceRef> owing;
    for (const std::weak_ptr<Surface> &w : bitmap.owed_to) {
        if (SurfaceRef s = w.lock()) {
            if (s->owed.pending && s->owed.held.empty()) {
                owing.push_back(std::move(s));
            }
        }
    }
    bitmap.owed_to.clear();
    if (owing.empty()) {
        return;
    }
    // One window can take the buffer over, when that copies less.
    SurfaceRef taker;
    if (painted) {
        const int64_t outside = int64_t{bitmap.width} * bitmap.height -
                                (painted->x1 - painted->x0) * (painted->y1 - painted->y0);
        const OwedCopy &last = owing.back()->owed;
        if (outside < last.width * last.height) {
            taker = owing.back();
        }
    }
    for (const SurfaceRef &s : owing) {
        if (s != taker) {
            settle_surface(*s);
        }
    }
    if (!taker) {
        return;
    }
    OwedCopy &owed = taker->owed;
    owed.held.swap(bitmap.pixels);
    bitmap.pixels.swap(owed.spare);
    owed.spare.clear();
    bitmap.pixels.resize(owed.held.size());
    // The pixels outside the box keep their values; those inside are
    // painted next.
    const int64_t w = bitmap.width;
    const uint32_t *from = owed.held.data();
    uint32_t *to = bitmap.pixels.data();
    auto keep = [&](int64_t y, int64_t x0, int64_t x1) {
        if (x1 > x0) {
            std::memcpy(to + y * w + x0, from + y * w + x0,
                        static_cast<std::size_t>(x1 - x0) * sizeof(uint32_t));
        }
    };
    for (int64_t y = 0; y < bitmap.height; y++) {
        if (y < painted->y0 || y >= painted->y1) {
            keep(y, 0, w);
        } else {
            keep(y, 0, painted->x0);
            keep(y, painted->x1, w);
        }
    }
}

} // namespace portable_win32
