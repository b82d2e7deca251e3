// Timers and the tick count. A due timer yields one WM_TIMER when the queue
// has nothing else; ticks missed meanwhile are not queued up.
#include "platform/backend/backend.h"
#include "platform/core/core_internal.h"
#include "platform/core/window_internal.h"

#include <algorithm>
#include <vector>

namespace portable_win32 {

namespace {

// Win32 raises shorter periods to 10 ms and caps longer ones.
const UINT TIMER_MINIMUM = 10;
const UINT TIMER_MAXIMUM = 0x7FFFFFFF;

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT period;
    uint32_t due;
    TIMERPROC callback;
};

std::vector<Timer> &timers() {
    static std::vector<Timer> list;
    return list;
}

bool is_due(const Timer &t, uint32_t now) {
    return static_cast<int32_t>(now - t.due) >= 0;
}

} // namespace

} // namespace portable_win32

using namespace portable_win32;

DWORD WINAPI GetTickCount(void) {
    return platform_backend().now_ms();
}

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC callback) {
    if (hwnd && !find_window(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const UINT period = std::clamp(elapse, TIMER_MINIMUM, TIMER_MAXIMUM);
    const uint32_t due = GetTickCount() + period;
    if (!hwnd) {
        // A thread timer gets an id of the layer's choosing.
        static UINT_PTR next_thread_id = 0x7000;
        auto existing = std::find_if(timers().begin(), timers().end(),
                                     [&](const Timer &t) { return !t.hwnd && t.id == id; });
        if (id && existing != timers().end()) {
            *existing = Timer{nullptr, id, period, due, callback};
            return id;
        }
        id = ++next_thread_id;
        timers().push_back(Timer{nullptr, id, period, due, callback});
        return id;
    }
    for (Timer &t : timers()) {
        if (t.hwnd == hwnd && t.id == id) {
            t = Timer{hwnd, id, period, due, callback};
            return id ? id : 1;
        }
    }
    timers().push_back(Timer{hwnd, id, period, due, callback});
    return id ? id : 1;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
    auto &list = timers();
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const Timer &t) { return t.hwnd == hwnd && t.id == id; });
    if (it == list.end()) {
        SetLastError(hwnd && !find_window(hwnd) ? ERROR_INVALID_WINDOW_HANDLE
                                                : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    list.erase(it);
    return TRUE;
}

namespace portable_win32 {

void kill_window_timers(HWND hwnd) {
    auto &list = timers();
    list.erase(
        std::remove_if(list.begin(), list.end(), [hwnd](const Timer &t) { return t.hwnd == hwnd; }),
        list.end());
}

bool earliest_timer_due(uint32_t *due) {
    const uint32_t now = GetTickCount();
    bool found = false;
    int32_t best = 0;
    for (const Timer &t : timers()) {
        const int32_t in = static_cast<int32_t>(t.due - now);
        if (!found || in < best) {
            best = in;
            found = true;
        }
    }
    if (found) {
        *due = now + static_cast<uint32_t>(best < 0 ? 0 : best);
    }
    return found;
}

bool take_due_timer(MSG *msg, bool remove) {
    const uint32_t now = GetTickCount();
    Timer *chosen = nullptr;
    for (Timer &t : timers()) {
        if (is_due(t, now) && (!chosen || static_cast<int32_t>(t.due - chosen->due) < 0)) {
            chosen = &t;
        }
    }
    if (!chosen) {
        return false;
    }
    *msg = MSG{};
    msg->hwnd = chosen->hwnd;
    msg->message = WM_TIMER;
    msg->wParam = chosen->id;
    msg->lParam = reinterpret_cast<LPARAM>(chosen->callback);
    msg->time = now;
    if (remove) {
        chosen->due = now + chosen->period;
    }
    return true;
}

} // namespace portable_win32
