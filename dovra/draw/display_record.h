// DisplayRecord: one drawing operation, built by a drawing call as a local
// value and handed to the renderer by reference; nothing keeps it afterwards.
#pragma once

#include "platform/win32.h"
#include <cstdint>

namespace dovra {

enum ShapeKind {
    SHAPE_TRIANGLE = 0,
    SHAPE_RECTANGLE = 1,
    SHAPE_OVAL = 2,
    SHAPE_LINE = 3,
    SHAPE_PIXEL = 4,
    SHAPE_TEXT = 5
};

// Field use by kind (coordinates are package coordinates, y upwards):
//
//   field  TRIANGLE     RECTANGLE    OVAL            LINE     PIXEL  TEXT
//   width  pen, 0=fill  pen, 0=fill  pen, 0=fill     pen      -      -
//   x1,y1  vertex 1     left, top    box left, top   start    point  anchor
//   x2     vertex 2 x   right        box right       end x    -      point size
//   y2     vertex 2 y   bottom       box bottom      end y    -      -
//   x3,y3  vertex 3     -            -               -        -      -
//
// color is a palette index that has passed check_color. Rectangles and ovals
// have x1 <= x2 and y1 >= y2.
//
// The text of a SHAPE_TEXT record lives in a movable global block of exactly
// length + 1 bytes (GlobalAlloc with GMEM_MOVEABLE), owned by the drawing call
// that made it and freed as soon as the renderer returns. Readers lock the
// handle to reach the text and unlock it afterwards. The handle travels in its
// own pointer-sized field rather than in y2: on 64-bit Windows a movable
// block's handle does not fit in 32 bits.
struct DisplayRecord {
    int32_t kind;
    int32_t color;
    int32_t width;
    int32_t x1;
    int32_t y1;
    int32_t x2;
    int32_t y2;
    int32_t x3;
    int32_t y3;
    HGLOBAL text; // SHAPE_TEXT only; null for every other kind
};

} // namespace dovra
