// The thread's last error code (GetLastError, SetLastError).
#include "platform/win32.h"

static thread_local DWORD last_error = ERROR_SUCCESS;

DWORD WINAPI GetLastError(void) {
    return last_error;
}

void WINAPI SetLastError(DWORD error) {
    last_error = error;
}
