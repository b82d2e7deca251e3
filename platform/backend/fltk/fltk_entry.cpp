// Before a desktop program's WinMain: the display opened and the FLTK
// backend chosen, or a one-line reason on standard error why it cannot run.
#include "platform/backend/backend.h"
#include "platform/backend/fltk/fltk.h"
#include "platform/gdi/font_face.h"

#include <cstdio>
#include <string>

bool platform_prepare_backend(const char *program) {
    // Messages start with the program's name and suggest the command as typed.
    const std::string path = program && *program ? program : "program";
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (!resolve_face("Arial", FW_NORMAL, false)) {
        std::fprintf(stderr,
                     "%s: no usable font: fontconfig finds no face that FreeType can load "
                     "(install fonts-dejavu-core or fonts-liberation2)\n",
                     name.c_str());
        return false;
    }
    std::string error;
    if (!fltk_open_display(path.c_str(), &error)) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
        return false;
    }
    platform_set_backend(&fltk_backend());
    return true;
}
