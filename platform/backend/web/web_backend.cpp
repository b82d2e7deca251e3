// The web backend: mirrors each window as a panel of the page (web_page.js
// draws it), queues the page's input for the layer, and suspends the program
// (through Asyncify) in the layer's wait until input arrives or the next
// timer is due; a program that polls without waiting gets a short turn of
// the page's now and then instead. The clock is the browser's monotonic
// real time.
#include "platform/backend/backend.h"
#include "platform/backend/web/web.h"
#include "platform/win32.h"

#include <deque>
#include <emscripten.h>
#include <memory>
#include <string>
#include <vector>

namespace portable_win32 {

namespace {

// The page's side, in web_page.js; windows are known there by a small id.
EM_JS(void, page_create_window, (int id, const char *title, int width, int height),
      { Module.dovraPage.createWindow(id, UTF8ToString(title), width, height); });
EM_JS(void, page_show_window, (int id, int visible),
      { Module.dovraPage.showWindow(id, visible != 0); });
EM_JS(void, page_resize_window, (int id, int width, int height),
      { Module.dovraPage.resizeWindow(id, width, height); });
EM_JS(void, page_destroy_window, (int id), { Module.dovraPage.destroyWindow(id); });
EM_JS(void, page_present, (int id, const uint32_t *pixels, int width, int height), {
    Module.dovraPage.present(id, HEAPU32.subarray(pixels >> 2, (pixels >> 2) + width * height),
                             width, height);
});
EM_JS(void, page_set_menu, (int id, const char *description),
      { Module.dovraPage.setMenu(id, UTF8ToString(description)); });
EM_JS(int, page_screen_width, (), { return window.screen.width | 0; });
EM_JS(int, page_screen_height, (), { return window.screen.height | 0; });
EM_JS(void, page_finish, (int exit_code), { Module.dovraPage.finished(exit_code); });
// Lets the browser run its handlers and show the canvas, then resumes.
EM_ASYNC_JS(void, page_breathe, (), { await Module.dovraPage.breathe(); });
// Resolves when the page has input for the program, or after `timeout_ms`
// (never, when negative).
EM_ASYNC_JS(void, page_wait, (double timeout_ms), { await Module.dovraPage.wait(timeout_ms); });

struct WebState {
    std::vector<HWND> windows; // by id; null where a window was destroyed
    // Each window's client pixels, kept to show the last picture when the
    // program ends: its last drawing may not have been presented yet.
    std::vector<std::shared_ptr<const Surface>> surfaces;
    std::vector<bool> visible;
    std::deque<BackendInput> inputs;
};

WebState &state() {
    static WebState s;
    return s;
}

int id_of(HWND window) {
    const std::vector<HWND> &w = state().windows;
    for (std::size_t i = 0; i < w.size(); i++) {
        if (w[i] == window) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void create_window(const BackendWindowInfo &info) {
    state().windows.push_back(info.window);
    state().surfaces.push_back(info.surface);
    state().visible.push_back(false);
    page_create_window(static_cast<int>(state().windows.size() - 1), info.title ? info.title : "",
                       info.client_width, info.client_height);
}

void show_window(HWND window, bool visible) {
    const int id = id_of(window);
    if (id >= 0) {
        state().visible[static_cast<std::size_t>(id)] = visible;
        page_show_window(id, visible ? 1 : 0);
    }
}

void move_window(const BackendWindowInfo &info) {
    const int id = id_of(info.window);
    if (id >= 0) {
        page_resize_window(id, info.client_width, info.client_height);
    }
}

void destroy_window(HWND window) {
    const int id = id_of(window);
    if (id >= 0) {
        page_destroy_window(id);
        state().windows[static_cast<std::size_t>(id)] = nullptr;
        state().surfaces[static_cast<std::size_t>(id)] = nullptr;
    }
}

void present(HWND window, const uint32_t *pixels, int width, int height) {
    const int id = id_of(window);
    if (id >= 0 && width > 0 && height > 0) {
        page_present(id, pixels, width, height);
    }
}

// Text for the page as a JSON string: the menu texts are Windows-1252.
void append_json_string(std::string *out, const char *text) {
    static const char HEX[] = "0123456789abcdef";
    out->push_back('"');
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(text); *c; c++) {
        if (*c == '"' || *c == '\\') {
            out->push_back('\\');
            out->push_back(static_cast<char>(*c));
        } else if (*c < 0x20 || *c >= 0x80) {
            // \u00XX: the page maps 0x80..0x9F to their Windows-1252 characters.
            *out += "\\u00";
            out->push_back(HEX[*c >> 4]);
            out->push_back(HEX[*c & 15]);
        } else {
            out->push_back(static_cast<char>(*c));
        }
    }
    out->push_back('"');
}

// A menu and its popups as JSON: a list of items, each a separator, or a
// text (with & mnemonics and a tab before the shortcut text), its command id,
// check mark and grayed state, and the items of its popup.
void describe_menu(HMENU menu, int depth, std::string *out) {
    out->push_back('[');
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; position++) {
        if (position > 0) {
            out->push_back(',');
        }
        const UINT item_state = GetMenuState(menu, position, MF_BYPOSITION);
        if (item_state & MF_SEPARATOR) {
            *out += "{\"separator\":true}";
            continue;
        }
        char text[256] = {};
        GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
        *out += "{\"text\":";
        append_json_string(out, text);
        *out += ",\"checked\":";
        *out += (item_state & MF_CHECKED) ? "true" : "false";
        *out += ",\"grayed\":";
        *out += (item_state & (MF_GRAYED | MF_DISABLED)) ? "true" : "false";
        HMENU sub = GetSubMenu(menu, position);
        if (sub && depth < 8) {
            *out += ",\"items\":";
            describe_menu(sub, depth + 1, out);
        } else {
            *out += ",\"id\":" + std::to_string(GetMenuItemID(menu, position));
        }
        out->push_back('}');
    }
    out->push_back(']');
}

void set_menu(HWND window, HMENU menu) {
    const int id = id_of(window);
    if (id < 0) {
        return;
    }
    std::string description;
    if (menu) {
        describe_menu(menu, 0, &description);
    } else {
        description = "[]";
    }
    page_set_menu(id, description.c_str());
}

bool poll_input(BackendInput *input) {
    if (state().inputs.empty()) {
        return false;
    }
    *input = state().inputs.front();
    state().inputs.pop_front();
    return true;
}

uint32_t now_ms() {
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

// When the page last had its turn, by the browser's clock.
double last_turn = 0;
const double BREATHE_MS = 50;

void wait_input(bool has_deadline, uint32_t deadline) {
    if (!state().inputs.empty()) {
        return;
    }
    double timeout = -1;
    if (has_deadline) {
        const int32_t left = static_cast<int32_t>(deadline - now_ms());
        timeout = left > 0 ? left : 0;
    }
    page_wait(timeout);
    last_turn = emscripten_get_now();
}

// A program that keeps polling without ever waiting (a script played back,
// which delivers a step each pass) would hold the browser for as long as it
// plays: nothing shown, no key or click taken, not even the Ctrl+P that
// stops it. After BREATHE_MS of such polling, the page gets its turn.
void poll_idle(bool, uint32_t) {
    const double now = emscripten_get_now();
    if (now - last_turn >= BREATHE_MS) {
        page_breathe();
        last_turn = emscripten_get_now();
    }
}

SIZE screen_size() {
    return SIZE{page_screen_width(), page_screen_height()};
}

// The program has ended: its windows keep showing what it drew last.
void show_last_pictures() {
    WebState &s = state();
    for (std::size_t id = 0; id < s.windows.size(); id++) {
        const Surface *surface = s.surfaces[id].get();
        if (s.windows[id] && s.visible[id] && surface && surface->width > 0 &&
            surface->height > 0) {
            page_present(static_cast<int>(id), surface->pixels.data(), surface->width,
                         surface->height);
        }
    }
}

int finish(int exit_code) {
    show_last_pictures();
    page_finish(exit_code);
    return exit_code;
}

} // namespace

const Backend &web_backend() {
    static const Backend table = [] {
        Backend b{};
        b.name = "web";
        b.finish = finish;
        b.create_window = create_window;
        b.show_window = show_window;
        b.move_window = move_window;
        b.destroy_window = destroy_window;
        b.present = present;
        b.set_menu = set_menu;
        b.poll_input = poll_input;
        b.wait_input = wait_input;
        b.poll_idle = poll_idle;
        b.screen_size = screen_size;
        b.now_ms = now_ms;
        return b;
    }();
    return table;
}

} // namespace portable_win32

using namespace portable_win32;

// The page's input handlers call this with one piece of input for the window
// of `id`; the page then wakes the wait.
extern "C" EMSCRIPTEN_KEEPALIVE void dovra_web_input(int kind, int id, int x, int y, int vk, int ch,
                                                     int command, int width, int height) {
    const std::vector<HWND> &w = state().windows;
    if (id < 0 || static_cast<std::size_t>(id) >= w.size() || !w[static_cast<std::size_t>(id)] ||
        kind < BackendInput::CLICK || kind > BackendInput::RESIZE) {
        return; // a window gone meanwhile, or nothing the layer knows
    }
    BackendInput input{};
    input.kind = static_cast<BackendInput::Kind>(kind);
    input.window = w[static_cast<std::size_t>(id)];
    input.x = x;
    input.y = y;
    input.vk = static_cast<unsigned>(vk) & 0xFF;
    input.ch = static_cast<unsigned char>(ch);
    input.command = static_cast<unsigned>(command);
    input.width = width;
    input.height = height;
    state().inputs.push_back(input);
}

// The page calls this when the program ended through exit() (a replay stopped
// by a line it cannot play), which runs no finish: its last pictures stay.
extern "C" EMSCRIPTEN_KEEPALIVE void dovra_web_ended() {
    show_last_pictures();
}
