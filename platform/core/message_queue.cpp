// The thread's message queue: posted messages, input messages and the quit
// flag, retrieved in Win32's order (posted, input, quit, paint, timer), and
// the wait for the next message.
#include "platform/core/backend_calls.h"
#include "platform/core/core_internal.h"
#include "platform/core/window_internal.h"

#include <algorithm>
#include <deque>

namespace portable_win32 {

namespace {

// Win32 refuses a post once a thread's queue holds 10,000 messages.
const std::size_t POSTED_MESSAGE_LIMIT = 10000;

struct Queue {
    std::deque<MSG> posted;
    std::deque<MSG> input;
    bool quit_pending = false;
    int quit_code = 0;
};

Queue &queue() {
    static Queue q;
    return q;
}

MSG make_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wparam;
    msg.lParam = lparam;
    msg.time = GetTickCount();
    return msg;
}

bool matches(const MSG &msg, HWND hwnd, UINT min, UINT max) {
    if (hwnd && msg.hwnd != hwnd) {
        return false;
    }
    if (min == 0 && max == 0) {
        return true;
    }
    return msg.message >= min && msg.message <= max;
}

bool take_from(std::deque<MSG> &list, MSG *out, HWND hwnd, UINT min, UINT max, bool remove) {
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (matches(*it, hwnd, min, max)) {
            *out = *it;
            if (remove) {
                list.erase(it);
            }
            return true;
        }
    }
    return false;
}

bool in_range(UINT message, UINT min, UINT max) {
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

} // namespace

void queue_input_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    queue().input.push_back(make_message(hwnd, message, wparam, lparam));
}

void remove_window_messages(HWND hwnd) {
    auto of_window = [hwnd](const MSG &m) { return m.hwnd == hwnd; };
    Queue &q = queue();
    q.posted.erase(std::remove_if(q.posted.begin(), q.posted.end(), of_window), q.posted.end());
    q.input.erase(std::remove_if(q.input.begin(), q.input.end(), of_window), q.input.end());
}

bool messages_waiting() {
    take_backend_input();
    const Queue &q = queue();
    if (!q.posted.empty() || !q.input.empty() || q.quit_pending || window_needing_paint()) {
        return true;
    }
    MSG unused;
    return take_due_timer(&unused, false);
}

} // namespace portable_win32

using namespace portable_win32;

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove) {
    present_changed_windows();
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !find_window(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    take_backend_input();
    Queue &q = queue();
    const bool removing = (remove & PM_REMOVE) != 0;
    if (take_from(q.posted, msg, hwnd, filter_min, filter_max, removing) ||
        take_from(q.input, msg, hwnd, filter_min, filter_max, removing)) {
        return TRUE;
    }
    if (q.quit_pending && in_range(WM_QUIT, filter_min, filter_max)) {
        *msg = make_message(nullptr, WM_QUIT, static_cast<WPARAM>(q.quit_code), 0);
        if (removing) {
            q.quit_pending = false;
        }
        return TRUE;
    }
    if (in_range(WM_PAINT, filter_min, filter_max)) {
        // A window keeps asking for paint until its update region is validated.
        HWND dirty = window_needing_paint();
        if (dirty && (!hwnd || hwnd == dirty)) {
            *msg = make_message(dirty, WM_PAINT, 0, 0);
            return TRUE;
        }
    }
    if (in_range(WM_TIMER, filter_min, filter_max)) {
        MSG timer;
        if (take_due_timer(&timer, false) && (!hwnd || timer.hwnd == hwnd)) {
            take_due_timer(msg, removing);
            return TRUE;
        }
    }
    uint32_t timer_due = 0;
    const bool has_timer = earliest_timer_due(&timer_due);
    backend_poll_idle(has_timer, timer_due);
    return FALSE;
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (hwnd && !find_window(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Queue &q = queue();
    if (q.posted.size() >= POSTED_MESSAGE_LIMIT) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    q.posted.push_back(make_message(hwnd, message, wparam, lparam));
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window *w = find_window(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return w->proc(hwnd, message, wparam, lparam);
}

LRESULT WINAPI DispatchMessageA(const MSG *msg) {
    if (!msg) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam) {
        // A timer with a callback calls it instead of the window procedure.
        auto callback = reinterpret_cast<TIMERPROC>(msg->lParam);
        callback(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) {
        return 0;
    }
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void WINAPI PostQuitMessage(int exit_code) {
    queue().quit_pending = true;
    queue().quit_code = exit_code;
}

DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE *handles, DWORD milliseconds,
                                         DWORD wake_mask, DWORD flags) {
    (void)flags;
    // The layer has no kernel objects to wait on; only the queue can wake it.
    if (count != 0 || handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    if ((wake_mask & QS_ALLINPUT) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    present_changed_windows();
    const Backend &backend = platform_backend();
    const uint32_t start = backend.now_ms();
    for (;;) {
        if (messages_waiting()) {
            return WAIT_OBJECT_0;
        }
        const uint32_t now = backend.now_ms();
        const uint32_t waited = now - start;
        bool has_deadline = false;
        uint32_t deadline = 0;
        if (milliseconds != INFINITE) {
            if (waited >= milliseconds) {
                return WAIT_TIMEOUT;
            }
            has_deadline = true;
            deadline = start + milliseconds;
        }
        uint32_t timer_due;
        if (earliest_timer_due(&timer_due) &&
            (!has_deadline || static_cast<int32_t>(timer_due - deadline) < 0)) {
            has_deadline = true;
            deadline = timer_due;
        }
        const uint32_t before = backend.now_ms();
        backend.wait_input(has_deadline, deadline);
        if (!has_deadline && backend.now_ms() == before && !messages_waiting()) {
            // The backend returned without input and without time passing: an
            // endless wait that nothing can end (headless only).
            return WAIT_TIMEOUT;
        }
    }
}
