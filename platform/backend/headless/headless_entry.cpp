// Before WinMain of a program without a display: the headless backend,
// which is the layer's default, needs nothing.
#include "platform/backend/backend.h"

bool platform_prepare_backend(const char *) {
    return true;
}
