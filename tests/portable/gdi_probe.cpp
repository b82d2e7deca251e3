// GDI probe: draws the shared list of GDI cases and prints each as a
// checksum and, with --pictures, as rows of characters. Built for the
// portable layer and for Windows, so that tools/gdi-diff.sh can compare the
// layer's pixels with Wine's case by case.
#include "tests/support/gdi_cases.h"

#include <cstdio>
#include <cstring>

namespace {

char symbol(COLORREF c) {
    if (c == RGB(255, 255, 255)) {
        return '.';
    }
    if (c == gdi_cases::RED) {
        return 'R';
    }
    if (c == gdi_cases::BLUE) {
        return 'B';
    }
    return '?';
}

} // namespace

int main(int argc, char **argv) {
    const bool pictures = argc > 1 && std::strcmp(argv[1], "--pictures") == 0;
    for (const gdi_cases::Case &c : gdi_cases::cases()) {
        gdi_cases::run(c, [&](HDC dc) {
            std::printf("%-28s %08x\n", c.name.c_str(), gdi_cases::checksum(dc, c.width, c.height));
            if (pictures && c.width <= 40) {
                for (int y = 0; y < c.height; y++) {
                    std::string row;
                    for (int x = 0; x < c.width; x++) {
                        row += symbol(GetPixel(dc, x, y));
                    }
                    std::printf("    %s\n", row.c_str());
                }
            }
        });
    }
    return 0;
}
