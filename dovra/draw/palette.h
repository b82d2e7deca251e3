// The package's fixed 24-colour palette: the name of each colour, used in log
// descriptions, and its 32-bit colour word, used for pens, brushes and text.
#pragma once

#include "platform/win32.h"

namespace dovra {

enum {
    PALETTE_SIZE = 24,
    PALETTE_BLACK = 0,
    PALETTE_WHITE = 1, // the background
    PALETTE_RED = 2    // the substitute for an invalid index
};

struct PaletteEntry {
    const char *name;
    COLORREF color;
};

extern const PaletteEntry palette[PALETTE_SIZE];

// Lookups by index. Callers validate first (check_color); an index outside
// 0..23 still gives red rather than reading past the table.
const char *palette_name(int index);
COLORREF palette_color(int index);

} // namespace dovra
