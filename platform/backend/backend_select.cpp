// Which backend the layer talks to.
#include "platform/backend/backend.h"

static const Backend *active = nullptr;

const Backend &platform_backend() {
    return active ? *active : headless_backend();
}

void platform_set_backend(const Backend *backend) {
    active = backend;
}
