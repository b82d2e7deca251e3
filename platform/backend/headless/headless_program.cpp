// The backends of a program linked without a display: none, so it runs
// headless (tests and tools).
#include "platform/backend/backend.h"

namespace portable_win32 {

const Backend *const *program_display_backends() {
    static const Backend *const none[] = {nullptr};
    return none;
}

} // namespace portable_win32
