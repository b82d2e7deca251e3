// Input: the backend's clicks, keys, menu choices, close requests, exposures
// and resizes become window messages; TranslateMessage makes characters of
// key presses, in the Windows-1252 code page.
#include "platform/core/backend_calls.h"
#include "platform/core/core_internal.h"
#include "platform/core/window_internal.h"

#include <deque>

namespace portable_win32 {

namespace {

struct KeyboardState {
    bool down[256] = {};
    // The characters of key-downs taken from the backend and not yet
    // translated, so that TranslateMessage of such a message gives what the
    // display typed, whatever the layout.
    struct Typed {
        MSG key_down;
        unsigned char ch;
    };
    std::deque<Typed> typed;
};

const std::size_t TYPED_LIMIT = 256;

KeyboardState &keyboard() {
    static KeyboardState k;
    return k;
}

LPARAM key_lparam(unsigned vk, bool up, bool was_down) {
    LPARAM lparam = 1; // repeat count
    lparam |= static_cast<LPARAM>(vk & 0xFF) << 16;
    if (was_down) {
        lparam |= static_cast<LPARAM>(1) << 30;
    }
    if (up) {
        lparam |= static_cast<LPARAM>(3) << 30;
    }
    return static_cast<LPARAM>(static_cast<DWORD>(lparam));
}

void key_down(const BackendInput &in) {
    KeyboardState &k = keyboard();
    const unsigned vk = in.vk & 0xFF;
    const bool was_down = k.down[vk];
    k.down[vk] = true;
    const UINT message = (k.down[VK_MENU] && vk != VK_CONTROL) ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const LPARAM lparam = key_lparam(vk, false, was_down);
    queue_input_message(in.window, message, vk, lparam);
    if (k.typed.size() == TYPED_LIMIT) {
        k.typed.pop_front();
    }
    k.typed.push_back({MSG{in.window, message, vk, lparam, 0, {0, 0}}, in.ch});
}

void key_up(const BackendInput &in) {
    KeyboardState &k = keyboard();
    const unsigned vk = in.vk & 0xFF;
    k.down[vk] = false;
    const UINT message = k.down[VK_MENU] || vk == VK_MENU ? WM_SYSKEYUP : WM_KEYUP;
    queue_input_message(in.window, message, vk, key_lparam(vk, true, true));
}

// The character a key makes on a US layout, for key messages that did not
// come from the display (posted by a program), as TranslateMessage does with
// the current keyboard state.
unsigned char layout_char(unsigned vk) {
    const KeyboardState &k = keyboard();
    const bool shift = k.down[VK_SHIFT];
    const bool ctrl = k.down[VK_CONTROL];
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) {
            return static_cast<unsigned char>(vk - 'A' + 1);
        }
        return static_cast<unsigned char>(shift ? vk : vk - 'A' + 'a');
    }
    if (ctrl) {
        return 0;
    }
    if (vk >= '0' && vk <= '9') {
        static const char shifted[] = ")!@#$%^&*(";
        return static_cast<unsigned char>(shift ? shifted[vk - '0'] : vk);
    }
    switch (vk) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_BACK:
        return '\b';
    case VK_TAB:
        return '\t';
    case VK_ESCAPE:
        return 0x1B;
    default:
        return 0;
    }
}

void deliver(const BackendInput &in) {
    Window *w = find_window(in.window);
    if (!w) {
        return; // the window went away while its input waited
    }
    switch (in.kind) {
    case BackendInput::CLICK: {
        const LPARAM pos = MAKELPARAM(in.x, in.y);
        queue_input_message(in.window, WM_LBUTTONDOWN, MK_LBUTTON, pos);
        queue_input_message(in.window, WM_LBUTTONUP, 0, pos);
        break;
    }
    case BackendInput::KEY_DOWN:
        key_down(in);
        break;
    case BackendInput::KEY_UP:
        key_up(in);
        break;
    case BackendInput::MENU_COMMAND:
        // Only an enabled item of the window's own menu can be chosen.
        if (w->menu && menu_command_enabled(w->menu, in.command)) {
            PostMessageA(in.window, WM_COMMAND, in.command & 0xFFFF, 0);
        }
        break;
    case BackendInput::CLOSE:
        queue_input_message(in.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case BackendInput::EXPOSE:
        InvalidateRect(in.window, nullptr, TRUE);
        break;
    case BackendInput::RESIZE:
        w->outer.right = w->outer.left + in.width;
        w->outer.bottom = w->outer.top + in.height;
        update_client_size(*w);
        break;
    }
}

} // namespace

void take_backend_input() {
    BackendInput in;
    while (backend_poll_input(&in)) {
        deliver(in);
    }
}

} // namespace portable_win32

using namespace portable_win32;

BOOL WINAPI TranslateMessage(const MSG *msg) {
    if (!msg) {
        return FALSE;
    }
    const bool sys = msg->message == WM_SYSKEYDOWN;
    if (msg->message != WM_KEYDOWN && !sys) {
        return msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP;
    }
    KeyboardState &k = keyboard();
    unsigned char ch = layout_char(static_cast<unsigned>(msg->wParam & 0xFF));
    for (auto it = k.typed.begin(); it != k.typed.end(); ++it) {
        const MSG &m = it->key_down;
        if (m.hwnd == msg->hwnd && m.message == msg->message && m.wParam == msg->wParam &&
            m.lParam == msg->lParam) {
            ch = it->ch;
            k.typed.erase(k.typed.begin(), it + 1);
            break;
        }
    }
    if (ch != 0) {
        PostMessageA(msg->hwnd, sys ? WM_SYSCHAR : WM_CHAR, ch, msg->lParam);
    }
    return TRUE;
}
