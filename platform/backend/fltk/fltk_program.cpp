// The backends of a desktop program: its windows shown through FLTK.
#include "platform/backend/backend.h"
#include "platform/backend/fltk/fltk.h"

namespace portable_win32 {

const Backend *const *program_display_backends() {
    static const Backend *const desktop[] = {&fltk_backend(), nullptr};
    return desktop;
}

} // namespace portable_win32
