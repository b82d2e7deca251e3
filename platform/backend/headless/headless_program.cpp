// The backends of a program linked without a display: none, so it runs
// headless (tests and tools).
#include "platform/backend/backend.h"

const Backend *const *program_display_backends() {
    static const Backend *const none[] = {nullptr};
    return none;
}
