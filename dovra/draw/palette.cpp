// The palette table and its lookups.
#include "dovra/draw/palette.h"

namespace dovra {

const PaletteEntry palette[PALETTE_SIZE] = {
    {"black", RGB(0, 0, 0)},
    {"white", RGB(255, 255, 255)},
    {"red", RGB(255, 0, 0)},
    {"green", RGB(0, 255, 0)},
    {"blue", RGB(0, 0, 255)},
    {"yellow", RGB(255, 255, 0)},
    {"magenta", RGB(255, 0, 255)},
    {"cyan", RGB(0, 255, 255)},
    {"purple", RGB(153, 0, 204)},
    {"navy blue", RGB(0, 51, 153)},
    {"dusty plum", RGB(153, 102, 153)},
    {"ice blue", RGB(153, 255, 255)},
    {"turquoise", RGB(153, 255, 204)},
    {"orange", RGB(255, 102, 0)},
    {"brown", RGB(153, 102, 51)},
    {"pink", RGB(255, 153, 204)},
    {"chalk", RGB(255, 255, 153)},
    {"gold", RGB(204, 153, 51)},
    {"peach", RGB(255, 153, 102)},
    {"forest green", RGB(0, 102, 51)},
    {"sea green", RGB(51, 204, 153)},
    {"olive", RGB(153, 153, 51)},
    {"50% gray", RGB(128, 128, 128)},
    {"20% gray", RGB(204, 204, 204)},
};

static int valid_index(int index) {
    return index >= 0 && index < PALETTE_SIZE ? index : PALETTE_RED;
}

const char *palette_name(int index) {
    return palette[valid_index(index)].name;
}

COLORREF palette_color(int index) {
    return palette[valid_index(index)].color;
}

} // namespace dovra
