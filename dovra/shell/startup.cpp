// Start-up and shutdown of the package, and the graphics window's procedure,
// which turns clicks, characters, timer ticks, size changes and repaint
// requests into the package's state and hands keys and menu commands to the
// Run menu.
#include "dovra/dovra.h"
#include "dovra/draw/palette.h"
#include "dovra/draw/renderer.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "dovra/shell/log.h"
#include "dovra/shell/log_mirror.h"
#include "dovra/shell/package_state.h"
#include "dovra/shell/run_menu.h"
#include "dovra/shell/windows.h"

namespace dovra {

namespace {

enum {
    TICK_TIMER_ID = 2,
    TICK_PERIOD_MS = 100,
};

const char GRAPHICS_CLASS[] = "DrawWndClass";
const char LOG_CLASS[] = "TextWndClass";

// Both classes differ only in name and procedure.
void register_classes(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(palette_color(PALETTE_WHITE));
    // No menu of this name exists; the graphics window builds its own bar.
    wc.lpszMenuName = "generic";
    wc.lpfnWndProc = graphics_window_proc;
    wc.lpszClassName = GRAPHICS_CLASS;
    RegisterClassA(&wc);
    wc.lpfnWndProc = log_window_proc;
    wc.lpszClassName = LOG_CLASS;
    RegisterClassA(&wc);
}

void set_origin(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    origin_x = client.left + (client.right - client.left) / 2;
    origin_y = client.top + (client.bottom - client.top) / 2;
}

// The whole surface goes to the window, whatever part of it was uncovered.
void paint(HWND window) {
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    show_surface();
    EndPaint(window, &ps);
    surface_dirty = 0;
}

} // namespace

} // namespace dovra

using namespace dovra;

int DOVRA_startup(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                  int show_command) {
    (void)command_line;
    // A program whose entry is main has no instance to pass: the program's own.
    if (!instance) {
        instance = GetModuleHandleA(nullptr);
    }
    if (!previous_instance) {
        register_classes(instance);
    }
    const int screen_width = GetSystemMetrics(SM_CXSCREEN);
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    animate_on = 0;
    single_step = 0;

    // Its WM_CREATE builds the Run menu before this returns.
    graphics_window =
        CreateWindowExA(0, GRAPHICS_CLASS, "DOVRA Graphics", WS_CAPTION | WS_SYSMENU, 0, 0,
                        SURFACE_WIDTH, SURFACE_HEIGHT, nullptr, nullptr, instance, nullptr);
    // Across the bottom third of the screen.
    log_window = CreateWindowExA(0, LOG_CLASS, "DOVRA Text", WS_OVERLAPPEDWINDOW, 0,
                                 (2 * screen_height) / 3 + 1, screen_width, screen_height / 3,
                                 nullptr, nullptr, instance, nullptr);

    // Held for the whole run: every copy of the surface to the screen uses it.
    window_dc = GetDC(graphics_window);
    surface_bitmap = CreateCompatibleBitmap(window_dc, SURFACE_WIDTH, SURFACE_HEIGHT);
    surface_dc = CreateCompatibleDC(window_dc);
    SelectObject(surface_dc, surface_bitmap);

    ShowWindow(log_window, show_command);
    ShowWindow(graphics_window, show_command);
    SetTimer(graphics_window, TICK_TIMER_ID, TICK_PERIOD_MS, nullptr);
    package_started();
    start_replay_if_asked();
    return 1;
}

int DOVRA_shutdown(void) {
    package_running("DOVRA_shutdown", "nothing to shut down");
    package_shut_down();
    ReleaseDC(graphics_window, window_dc);
    // Nothing copies to the screen any more through a released context.
    window_dc = nullptr;
    finish_script();
    close_log_mirror();
    return 1;
}

namespace dovra {

LRESULT CALLBACK graphics_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE:
        build_run_menu(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, TICK_TIMER_ID);
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        set_origin(window);
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_CHAR:
        // While Ctrl is held the letter was a shortcut, not a character.
        if (ctrl_down != 1) {
            event_state.event_kind = DOVRA_KBD;
            event_state.event_key = static_cast<char>(wparam & 0xFF);
        }
        return 0;
    case WM_TIMER:
        tick_pending = 1;
        return 0;
    case WM_LBUTTONDOWN: {
        const uint32_t x = static_cast<uint32_t>(lparam) & 0xFFFF;
        const uint32_t y = (static_cast<uint32_t>(lparam) >> 16) & 0xFFFF;
        event_state.event_kind = DOVRA_MOUSE;
        event_state.event_x = static_cast<int32_t>(x) - origin_x;
        event_state.event_y = origin_y - static_cast<int32_t>(y);
        return 0;
    }
    case WM_KEYDOWN:
        run_menu_key_down(wparam);
        return 0;
    case WM_KEYUP:
        run_menu_key_up(wparam);
        return 0;
    case WM_COMMAND:
        run_command(LOWORD(wparam));
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

} // namespace dovra
