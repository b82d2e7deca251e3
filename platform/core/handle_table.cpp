// The process-wide counter behind every handle value.
#include "platform/core/handle_table.h"

namespace portable_win32 {

uintptr_t next_handle_value() {
    // Multiples of 4 from 0x10000 up: never null, never a small integer that
    // a caller might pass by mistake, never reused.
    static uintptr_t next = 0x10000;
    next += 4;
    return next;
}

} // namespace portable_win32
