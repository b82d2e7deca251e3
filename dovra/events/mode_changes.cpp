// The hook through which changes of the package's modes reach whoever shows them.
#include "dovra/events/mode_changes.h"

namespace dovra {

void (*mode_change_hook)() = nullptr;

void modes_changed() {
    if (mode_change_hook) {
        mode_change_hook();
    }
}

} // namespace dovra
