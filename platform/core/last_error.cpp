// The thread's last error code (GetLastError, SetLastError).
#include "platform/win32.h"

namespace portable_win32 {

static thread_local DWORD last_error = ERROR_SUCCESS;

} // namespace portable_win32

using namespace portable_win32;

DWORD WINAPI GetLastError(void) {
    return last_error;
}

void WINAPI SetLastError(DWORD error) {
    last_error = error;
}
