// The log window: painting one line at its bottom, repainting all stored
// lines, passing keys on to the graphics window, and the calls that switch
// logging and show or hide the window.
#include "dovra/dovra.h"
#include "dovra/draw/text_encoding.h"
#include "dovra/events/mode_changes.h"
#include "dovra/shell/log.h"
#include "dovra/shell/package_state.h"
#include "dovra/shell/windows.h"

#include <cstring>

namespace dovra {

void log_paint_line(char *text) {
    // Before start-up, or once the user has closed the log window, there is
    // nothing to paint on (GetDC of no window would give the whole screen).
    if (!log_window || !IsWindow(log_window)) {
        return;
    }
    HDC dc = GetDC(log_window);
    if (!dc) {
        return;
    }
    SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    const int line_height = metrics.tmHeight + metrics.tmExternalLeading;
    ScrollDC(dc, 0, -line_height, nullptr, nullptr, nullptr, nullptr);
    RECT client;
    GetClientRect(log_window, &client);

    HBRUSH strip = CreateSolidBrush(GetBkColor(dc));
    HGDIOBJ old_brush = SelectObject(dc, strip);
    HGDIOBJ old_pen = SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, client.left, client.bottom - line_height, client.right, client.bottom + 1);
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(strip);

    int length = static_cast<int>(std::strlen(text));
    if (length > 0 && text[length - 1] == '\n') {
        text[--length] = '\0';
    }
    // A line in UTF-8 shows its characters; any other keeps its Windows-1252 bytes.
    WideText wide;
    if (unicode_text(text, static_cast<size_t>(length), &wide)) {
        TextOutW(dc, client.left + 5, client.bottom - line_height, wide.data(),
                 static_cast<int>(wide.size()));
    } else {
        TextOutA(dc, client.left + 5, client.bottom - line_height, text, length);
    }
    ReleaseDC(log_window, dc);
}

LRESULT CALLBACK log_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        log_repaint();
        EndPaint(window, &paint);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Keys typed here reach the graphics window's shortcuts, in queue order.
        if (graphics_window) {
            PostMessageA(graphics_window, message, wparam, lparam);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

} // namespace dovra

using namespace dovra;

int DOVRA_set_logging(int flag) {
    if (!graphics_window) {
        package_running("DOVRA_set_logging", "nothing changed");
        return 0;
    }
    logging_on = flag ? 1 : 0;
    modes_changed();
    if (logging_on) {
        DOVRA_show_log_window(1);
    }
    return 1;
}

int DOVRA_show_log_window(int flag) {
    // Before start-up there is no log window; ShowWindow reports that by its result.
    if (!log_window) {
        package_running("DOVRA_show_log_window", "there is no log window");
    }
    return ShowWindow(log_window, flag ? SW_SHOW : SW_HIDE);
}
