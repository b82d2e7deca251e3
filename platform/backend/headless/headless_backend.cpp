// The headless backend: no display. Input comes from tests, time from a
// virtual clock, and presented pixels are only counted.
#include "platform/backend/backend.h"
#include "platform/backend/headless/headless.h"

#include <deque>
#include <map>

namespace portable_win32 {

namespace {

const uint32_t IDLE_POLL_STEP_MS = 1;

struct NativeWindow {
    int presents = 0;
    HMENU menu = nullptr;
};

struct HeadlessState {
    uint32_t now = 1000;
    std::deque<BackendInput> inputs;
    std::map<HWND, NativeWindow> windows;
    void (*idle_hook)(void *) = nullptr;
    void *idle_context = nullptr;
    int starved_waits = 0;
};

HeadlessState &state() {
    static HeadlessState s;
    return s;
}

void push(BackendInput input) {
    state().inputs.push_back(input);
}

BackendInput make(BackendInput::Kind kind, HWND window) {
    BackendInput input{};
    input.kind = kind;
    input.window = window;
    return input;
}

void create_window(const BackendWindowInfo &info) {
    state().windows[info.window] = NativeWindow{};
}

void destroy_window(HWND window) {
    state().windows.erase(window);
}

void present(HWND window, const uint32_t *, int, int) {
    auto it = state().windows.find(window);
    if (it != state().windows.end()) {
        it->second.presents++;
    }
}

void set_menu(HWND window, HMENU menu) {
    auto it = state().windows.find(window);
    if (it != state().windows.end()) {
        it->second.menu = menu;
    }
}

bool poll_input(BackendInput *input) {
    if (state().inputs.empty()) {
        return false;
    }
    *input = state().inputs.front();
    state().inputs.pop_front();
    return true;
}

// The program is idle: a test may give it input now. True when input is there.
bool input_after_idle_hook() {
    HeadlessState &s = state();
    if (s.inputs.empty() && s.idle_hook) {
        s.idle_hook(s.idle_context);
    }
    return !s.inputs.empty();
}

// Time passes up to the deadline, never backwards.
void advance_to(uint32_t deadline) {
    HeadlessState &s = state();
    if (static_cast<int32_t>(deadline - s.now) > 0) {
        s.now = deadline;
    }
}

void wait_input(bool has_deadline, uint32_t deadline) {
    HeadlessState &s = state();
    if (input_after_idle_hook()) {
        return;
    }
    if (!has_deadline) {
        // Nothing could ever wake a real wait here; returning keeps a headless
        // run from hanging, and the count lets a test notice it.
        s.starved_waits++;
        return;
    }
    advance_to(deadline);
}

// A polling program is idle too: time moves to the next due timer, so its
// timers fire exactly as they would for a program that blocks, or by one
// millisecond when no timer is set, so that its clock is seen to advance.
void poll_idle(bool has_deadline, uint32_t deadline) {
    if (input_after_idle_hook()) {
        return;
    }
    if (has_deadline) {
        advance_to(deadline);
    } else {
        state().now += IDLE_POLL_STEP_MS;
    }
}

SIZE screen_size() {
    return SIZE{1024, 768};
}

uint32_t now_ms() {
    return state().now;
}

} // namespace

const Backend &headless_backend() {
    static const Backend table = [] {
        Backend b{};
        b.name = "headless";
        b.create_window = create_window;
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

void headless_click(HWND window, int client_x, int client_y) {
    BackendInput input = make(BackendInput::CLICK, window);
    input.x = client_x;
    input.y = client_y;
    push(input);
}

void headless_key_down(HWND window, unsigned vk, unsigned char ch) {
    BackendInput input = make(BackendInput::KEY_DOWN, window);
    input.vk = vk;
    input.ch = ch;
    push(input);
}

void headless_key_up(HWND window, unsigned vk) {
    BackendInput input = make(BackendInput::KEY_UP, window);
    input.vk = vk;
    push(input);
}

void headless_key(HWND window, unsigned vk, unsigned char ch) {
    headless_key_down(window, vk, ch);
    headless_key_up(window, vk);
}

void headless_choose_menu(HWND window, unsigned command) {
    BackendInput input = make(BackendInput::MENU_COMMAND, window);
    input.command = command;
    push(input);
}

void headless_close(HWND window) {
    push(make(BackendInput::CLOSE, window));
}

void headless_resize(HWND window, int outer_width, int outer_height) {
    BackendInput input = make(BackendInput::RESIZE, window);
    input.width = outer_width;
    input.height = outer_height;
    push(input);
}

void headless_expose(HWND window) {
    push(make(BackendInput::EXPOSE, window));
}

uint32_t headless_now() {
    return state().now;
}

void headless_advance(uint32_t milliseconds) {
    state().now += milliseconds;
}

void headless_set_idle_hook(void (*hook)(void *context), void *context) {
    state().idle_hook = hook;
    state().idle_context = context;
}

int headless_starved_waits() {
    return state().starved_waits;
}

int headless_present_count(HWND window) {
    auto it = state().windows.find(window);
    return it == state().windows.end() ? 0 : it->second.presents;
}

HMENU headless_window_menu(HWND window) {
    auto it = state().windows.find(window);
    return it == state().windows.end() ? nullptr : it->second.menu;
}

} // namespace portable_win32
