// System metrics: the screen size from the backend and the frame sizes of
// Windows' classic theme as Wine reports them.
#include "platform/core/backend_calls.h"
#include "platform/win32.h"

using namespace portable_win32;

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
        return backend_screen_size().cx;
    case SM_CYSCREEN:
        return backend_screen_size().cy;
    case SM_CYCAPTION:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CYMENU:
        return 19;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    default:
        return 0;
    }
}
