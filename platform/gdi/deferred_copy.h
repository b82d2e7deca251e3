// Block copies of a whole frame into a window whose frames nobody sees (a
// replay's): BitBlt only notes the copy, and it is made when the window's
// pixels are needed (a picture, drawing on them, a new size). A program
// that paints each frame on a bitmap and copies it to its window then
// copies little: when it paints the bitmap over for the next frame, the
// bitmap's buffer goes to the window's note, and the bitmap takes a spare
// buffer, with only the pixels outside the painted box copied into it.
#pragma once

#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/surface.h"

namespace portable_win32 {

// A SRCCOPY block copy from the bitmap of `bitmap` onto the window surface
// `surface`, clipped already, that covers the whole surface: noted instead
// of made. False, with nothing done, when the surface's frames are seen.
bool defer_block_copy(HBITMAP handle, GdiObject &bitmap, const SurfaceRef &surface,
                      int64_t source_x, int64_t source_y, int64_t width, int64_t height);

// Before a bitmap's pixels change: every copy owed from them is made. When
// every pixel of `painted` (within the bitmap) is about to be painted over (or the bitmap goes,
// `painted` then all of it), the bitmap's buffer may go to a copy still owed
// instead, the bitmap taking a spare buffer with its pixels outside the box
// copied in: that, when it copies less than making the owed copy would.
void before_bitmap_changes(GdiObject &bitmap, const PixelBox *painted);

} // namespace portable_win32
