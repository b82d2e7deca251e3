// The desktop backend on FLTK 1.3: each of the layer's windows is a native
// window showing its client pixels below a native menu bar built from the
// window's menu. Clicks, keys, menu choices, the close box, exposure and
// resizing come back as the layer's input; the clock is the system's
// monotonic clock, and the idle wait blocks inside FLTK.
#include "platform/backend/backend.h"
#include "platform/backend/fltk/fltk.h"
#include "platform/backend/fltk/fltk_keys.h"
#include "platform/win32.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace portable_win32 {

namespace {

const int MENU_BAR_HEIGHT = 20;
const int MENU_TEXT_SIZE = 12;

std::deque<BackendInput> &inputs() {
    static std::deque<BackendInput> queue;
    return queue;
}

void push(BackendInput input) {
    inputs().push_back(input);
}

BackendInput make(BackendInput::Kind kind, HWND window) {
    BackendInput input{};
    input.kind = kind;
    input.window = window;
    return input;
}

// The client area: the window's pixels, redrawn from a copy kept here, so
// that an exposure needs nothing from the program to look right at once.
class ClientView : public Fl_Widget {
  public:
    ClientView(HWND window, int x, int y, int w, int h) : Fl_Widget(x, y, w, h), hwnd(window) {
        resize_pixels(w, h);
    }

    void resize_pixels(int w, int h) {
        width = std::max(0, w);
        height = std::max(0, h);
        shown.assign(static_cast<size_t>(width) * height, 0xFFFFFFu);
        rgb.assign(static_cast<size_t>(width) * height * 3, 0xFF);
    }

    // Takes a new picture. Only what changed is converted and redrawn: the
    // rows are looked at in bands, each band's changed columns become a
    // rectangle, and neighbouring rectangles that fit together are merged,
    // so that two small figures far apart cost two small copies.
    void present(const uint32_t *pixels, int w, int h) {
        if (w != width || h != height) {
            resize_pixels(w, h);
            pending.clear();
            pending.push_back(Rect{0, 0, width, height});
            copy_rect(pixels, pending.back());
            damage(FL_DAMAGE_ALL);
            return;
        }
        for (int band = 0; band < height; band += BAND_ROWS) {
            const int rows = std::min(BAND_ROWS, height - band);
            int left = width, right = -1;
            for (int row = band; row < band + rows; row++) {
                const uint32_t *source = pixels + static_cast<size_t>(row) * width;
                const uint32_t *old = shown.data() + static_cast<size_t>(row) * width;
                if (std::memcmp(source, old, sizeof(uint32_t) * width) == 0) {
                    continue;
                }
                int first = 0;
                while (source[first] == old[first]) {
                    first++;
                }
                int last = width - 1;
                while (source[last] == old[last]) {
                    last--;
                }
                left = std::min(left, first);
                right = std::max(right, last);
            }
            if (right >= 0) {
                add_pending(Rect{left, band, right - left + 1, rows});
            }
        }
        for (const Rect &r : pending) {
            if (!r.copied) {
                copy_rect(pixels, r);
            }
        }
        for (Rect &r : pending) {
            r.copied = true;
            damage(FL_DAMAGE_USER1, x() + r.x, y() + r.y, r.w, r.h);
        }
    }

    void draw() override {
        const bool whole = damage() & (FL_DAMAGE_ALL | FL_DAMAGE_EXPOSE);
        if (whole) {
            push(make(BackendInput::EXPOSE, hwnd));
            draw_part(Rect{0, 0, width, height});
            if (w() > width || h() > height) {
                fl_color(FL_WHITE);
                fl_rectf(x() + width, y(), std::max(0, w() - width), h());
                fl_rectf(x(), y() + height, w(), std::max(0, h() - height));
            }
        } else {
            for (const Rect &r : pending) {
                draw_part(r);
            }
        }
        pending.clear();
    }

    int handle(int event) override {
        switch (event) {
        case FL_FOCUS:
        case FL_UNFOCUS:
            return 1;
        case FL_PUSH:
            take_focus();
            release_modifiers_let_go(0);
            if (Fl::event_button() == FL_LEFT_MOUSE) {
                BackendInput in = make(BackendInput::CLICK, hwnd);
                in.x = Fl::event_x() - x();
                in.y = Fl::event_y() - y();
                push(in);
            }
            return 1;
        case FL_KEYBOARD: {
            const unsigned char ch = windows_1252_from_utf8(Fl::event_text(), Fl::event_length());
            const unsigned vk = key_code(Fl::event_key(), ch);
            if (vk == 0) {
                return 0;
            }
            release_modifiers_let_go(vk);
            note_modifier(vk, true);
            BackendInput in = make(BackendInput::KEY_DOWN, hwnd);
            in.vk = vk;
            in.ch = ch;
            push(in);
            // Alt with a letter opens the menu bar as it does on Windows; every
            // other key is the program's, so the menu never acts on the Ctrl
            // shortcuts that its items show.
            return Fl::event_state(FL_ALT) && vk != 0x12 ? 0 : 1;
        }
        case FL_KEYUP: {
            const unsigned vk = key_code(Fl::event_key(), 0);
            if (vk == 0) {
                return 0;
            }
            note_modifier(vk, false);
            BackendInput in = make(BackendInput::KEY_UP, hwnd);
            in.vk = vk;
            push(in);
            return 1;
        }
        default:
            return Fl_Widget::handle(event);
        }
    }

  private:
    // A key that Win32 has no code for but that types a character (é on
    // many layouts) comes as VK_PACKET, as Windows sends characters that
    // come from no known key; its release likewise.
    static unsigned key_code(int key, unsigned char ch) {
        const unsigned vk = vk_from_fltk_key(key);
        if (vk != 0) {
            return vk;
        }
        return ch != 0 || (key > 0x7F && key < FL_Button) ? VK_PACKET_CODE : 0;
    }
    static constexpr unsigned VK_PACKET_CODE = 0xE7;

    // Shift, Ctrl and Alt as the layer was told of them. A release that
    // happened where this window could not see it (in an open menu, in
    // another program) is told when the next key or click shows it.
    static bool &modifier_down(unsigned vk) {
        static bool down[3] = {};
        return down[vk - VK_SHIFT];
    }
    static bool is_modifier(unsigned vk) { return vk >= VK_SHIFT && vk <= VK_MENU; }
    static void note_modifier(unsigned vk, bool down) {
        if (is_modifier(vk)) {
            modifier_down(vk) = down;
        }
    }
    void release_modifiers_let_go(unsigned key) {
        static const struct {
            unsigned vk;
            int state;
        } modifiers[] = {{VK_SHIFT, FL_SHIFT}, {VK_CONTROL, FL_CTRL}, {VK_MENU, FL_ALT}};
        for (const auto &m : modifiers) {
            if (m.vk != key && modifier_down(m.vk) && !(Fl::event_state() & m.state)) {
                modifier_down(m.vk) = false;
                BackendInput in = make(BackendInput::KEY_UP, hwnd);
                in.vk = m.vk;
                push(in);
            }
        }
    }

    struct Rect {
        int x, y, w, h;
        bool copied = false;
    };
    static constexpr int BAND_ROWS = 8;

    // Adds a changed rectangle, merged with the last one when that costs
    // little more than keeping both.
    void add_pending(Rect r) {
        if (!pending.empty()) {
            Rect &last = pending.back();
            if (!last.copied && last.y + last.h == r.y) {
                const int left = std::min(last.x, r.x);
                const int right = std::max(last.x + last.w, r.x + r.w);
                const long merged = static_cast<long>(right - left) * (last.h + r.h);
                if (merged <=
                    2L * (static_cast<long>(last.w) * last.h + static_cast<long>(r.w) * r.h)) {
                    last.x = left;
                    last.w = right - left;
                    last.h += r.h;
                    return;
                }
            }
        }
        pending.push_back(r);
    }

    void copy_rect(const uint32_t *pixels, const Rect &r) {
        for (int row = r.y; row < r.y + r.h; row++) {
            const size_t start = static_cast<size_t>(row) * width + r.x;
            std::memcpy(shown.data() + start, pixels + start, sizeof(uint32_t) * r.w);
            unsigned char *out = rgb.data() + start * 3;
            for (int i = 0; i < r.w; i++) {
                const uint32_t p = pixels[start + i];
                *out++ = static_cast<unsigned char>(p >> 16);
                *out++ = static_cast<unsigned char>(p >> 8);
                *out++ = static_cast<unsigned char>(p);
            }
        }
    }

    void draw_part(const Rect &r) {
        if (r.w <= 0 || r.h <= 0) {
            return;
        }
        const size_t offset = (static_cast<size_t>(r.y) * width + r.x) * 3;
        fl_draw_image(rgb.data() + offset, x() + r.x, y() + r.y, r.w, r.h, 3, width * 3);
    }

    HWND hwnd;
    int width = 0;
    int height = 0;
    std::vector<Rect> pending;      // changed since the last draw
    std::vector<uint32_t> shown;    // the pixels last presented
    std::vector<unsigned char> rgb; // the same, as FLTK draws them
};

class NativeWindow : public Fl_Window {
  public:
    NativeWindow(const BackendWindowInfo &info)
        : Fl_Window(info.outer.left, info.outer.top, std::max(1, info.client_width),
                    std::max(1, info.client_height), nullptr),
          hwnd(info.window), title(info.title ? info.title : "") {
        frame_width = (info.outer.right - info.outer.left) - info.client_width;
        frame_height = (info.outer.bottom - info.outer.top) - info.client_height;
        label(title.c_str());
        view = new ClientView(hwnd, 0, 0, w(), h());
        end();
        resizable(info.resizable ? view : nullptr);
        if (!info.resizable) {
            size_range(w(), h(), w(), h());
        }
        callback(close_box, this);
    }

    // The client area below the menu bar, if there is one.
    void layout(int client_width, int client_height) {
        const int bar = menu_bar ? MENU_BAR_HEIGHT : 0;
        adjusting = true;
        if (menu_bar) {
            menu_bar->resize(0, 0, client_width, bar);
        }
        view->resize(0, bar, client_width, client_height);
        if (w() != client_width || h() != bar + client_height) {
            const bool fixed = resizable() == nullptr;
            if (fixed) {
                size_range(client_width, bar + client_height, client_width, bar + client_height);
            }
            size(client_width, bar + client_height);
        }
        adjusting = false;
        redraw();
    }

    void set_menu(HMENU menu) {
        const int client_height = view->h();
        if (!menu) {
            if (menu_bar) {
                remove(menu_bar);
                Fl::delete_widget(menu_bar);
                menu_bar = nullptr;
            }
            layout(view->w(), client_height);
            return;
        }
        build_items(menu);
        if (!menu_bar) {
            begin();
            menu_bar = new Fl_Menu_Bar(0, 0, w(), MENU_BAR_HEIGHT);
            end();
            menu_bar->textsize(MENU_TEXT_SIZE);
            menu_bar->box(FL_FLAT_BOX);
            menu_bar->down_box(FL_FLAT_BOX);
            menu_bar->clear_visible_focus();
        }
        menu_bar->menu(items.data());
        layout(view->w(), client_height);
    }

    void resize(int x, int y, int w, int h) override {
        const bool changed = w != this->w() || h != this->h();
        Fl_Window::resize(x, y, w, h);
        if (changed && !adjusting) {
            // The user resized it: the layer hears of the new outer size.
            const int bar = menu_bar ? MENU_BAR_HEIGHT : 0;
            BackendInput in = make(BackendInput::RESIZE, hwnd);
            in.width = w + frame_width;
            in.height = std::max(0, h - bar) + frame_height;
            push(in);
        }
    }

    int handle(int event) override {
        // Keys go to the client area wherever the focus was (an open menu
        // has a window of its own and takes its keys there).
        if ((event == FL_KEYBOARD || event == FL_KEYUP) && Fl::focus() != view) {
            return view->handle(event);
        }
        return Fl_Window::handle(event);
    }

    ClientView *view = nullptr;

  private:
    static void close_box(Fl_Widget *, void *data) {
        NativeWindow *self = static_cast<NativeWindow *>(data);
        // Escape reaches a window as a shortcut; only the close box closes.
        if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) {
            return;
        }
        push(make(BackendInput::CLOSE, self->hwnd));
    }

    static void chosen(Fl_Widget *widget, void *data) {
        NativeWindow *self = static_cast<NativeWindow *>(widget->window());
        BackendInput in = make(BackendInput::MENU_COMMAND, self->hwnd);
        in.command = static_cast<unsigned>(reinterpret_cast<uintptr_t>(data));
        push(in);
    }

    // The shortcut that an item's text shows after its tab ("Ctrl+A"), as
    // FLTK's shortcut value, so that FLTK draws it right-aligned.
    static int shortcut_of(const std::string &text) {
        const std::string prefix = "Ctrl+";
        if (text.size() == prefix.size() + 1 && text.compare(0, prefix.size(), prefix) == 0) {
            const char key = text.back();
            if (key >= 'A' && key <= 'Z') {
                return FL_CTRL + (key - 'A' + 'a');
            }
        }
        return 0;
    }

    void add_items(HMENU menu) {
        const int count = GetMenuItemCount(menu);
        for (int position = 0; position < count; position++) {
            const UINT state = GetMenuState(menu, position, MF_BYPOSITION);
            if (state & MF_SEPARATOR) {
                if (!items.empty() && items.back().text) {
                    items.back().flags |= FL_MENU_DIVIDER;
                }
                continue;
            }
            char text[256] = {};
            GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
            std::string label = text;
            int shortcut = 0;
            const std::string::size_type tab = label.find('\t');
            if (tab != std::string::npos) {
                shortcut = shortcut_of(label.substr(tab + 1));
                label.erase(tab);
            }
            labels.push_back(label);
            Fl_Menu_Item item{};
            item.text = labels.back().c_str();
            item.shortcut_ = shortcut;
            if (HMENU sub = GetSubMenu(menu, position)) {
                item.flags = FL_SUBMENU;
                items.push_back(item);
                add_items(sub);
                items.push_back(Fl_Menu_Item{});
                continue;
            }
            item.callback_ = chosen;
            item.user_data_ =
                reinterpret_cast<void *>(static_cast<uintptr_t>(GetMenuItemID(menu, position)));
            if (state & MF_CHECKED) {
                item.flags |= FL_MENU_TOGGLE | FL_MENU_VALUE;
            }
            if (state & (MF_GRAYED | MF_DISABLED)) {
                item.flags |= FL_MENU_INACTIVE;
            }
            items.push_back(item);
        }
    }

    void build_items(HMENU menu) {
        items.clear();
        labels.clear();
        add_items(menu);
        items.push_back(Fl_Menu_Item{});
    }

    HWND hwnd;
    std::string title;
    Fl_Menu_Bar *menu_bar = nullptr;
    std::vector<Fl_Menu_Item> items;
    std::deque<std::string> labels; // the items' texts, kept where they are
    int frame_width = 0;            // outer size less client size, as the layer counts
    int frame_height = 0;
    bool adjusting = false; // a resize of our own, not the user's
};

std::map<HWND, NativeWindow *> &windows() {
    static std::map<HWND, NativeWindow *> map;
    return map;
}

NativeWindow *find(HWND window) {
    auto it = windows().find(window);
    return it == windows().end() ? nullptr : it->second;
}

void create_window(const BackendWindowInfo &info) {
    windows()[info.window] = new NativeWindow(info);
}

void show_window(HWND window, bool visible) {
    if (NativeWindow *w = find(window)) {
        if (visible) {
            w->show();
            w->view->take_focus();
        } else {
            w->hide();
        }
    }
}

void move_window(const BackendWindowInfo &info) {
    if (NativeWindow *w = find(info.window)) {
        w->layout(std::max(1, info.client_width), std::max(1, info.client_height));
    }
}

// The program runs only between FLTK's calls, never inside one of its
// callbacks, so a window can go at once.
void destroy_window(HWND window) {
    if (NativeWindow *w = find(window)) {
        windows().erase(window);
        w->hide();
        delete w;
    }
}

// Windows live until the process ends, as on Windows; at its end they go
// with the process's other memory.
void delete_remaining_windows() {
    for (auto &entry : windows()) {
        delete entry.second;
    }
    windows().clear();
}

void present(HWND window, const uint32_t *pixels, int width, int height) {
    if (NativeWindow *w = find(window)) {
        w->view->present(pixels, width, height);
    }
}

void set_menu(HWND window, HMENU menu) {
    if (NativeWindow *w = find(window)) {
        w->set_menu(menu);
    }
}

bool poll_input(BackendInput *input) {
    if (inputs().empty()) {
        Fl::check();
    }
    if (inputs().empty()) {
        return false;
    }
    *input = inputs().front();
    inputs().pop_front();
    return true;
}

uint32_t now_ms() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void wait_input(bool has_deadline, uint32_t deadline) {
    if (!inputs().empty()) {
        return;
    }
    if (!has_deadline) {
        Fl::wait(1e20);
        return;
    }
    const int32_t left = static_cast<int32_t>(deadline - now_ms());
    if (left > 0) {
        Fl::wait(left / 1000.0);
    } else {
        Fl::check();
    }
}

SIZE screen_size() {
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_xywh(x, y, w, h, 0);
    return SIZE{w, h};
}

std::string program_name = "program";

void fatal_error(const char *format, ...) {
    va_list args;
    va_start(args, format);
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::fprintf(stderr, "%s: %s\n", program_name.c_str(), text);
    std::exit(1);
}

// The command that runs `program` in a private X server: the source tree's
// own helper when the program was built in one (found above the program's
// file), else Xvfb's, which a machine with the installed package has.
std::string private_display_command(const char *program) {
    std::error_code error;
    std::filesystem::path dir = std::filesystem::canonical("/proc/self/exe", error).parent_path();
    for (int level = 0; !error && level < 6 && !dir.empty(); level++) {
        const std::filesystem::path helper = dir / "tools" / "with-xvfb.sh";
        std::error_code missing; // a folder without the helper is no error
        if (std::filesystem::is_regular_file(helper, missing)) {
            std::error_code elsewhere;
            const std::filesystem::path here = std::filesystem::current_path(elsewhere);
            const bool at_root = !elsewhere && std::filesystem::equivalent(here, dir, elsewhere);
            return (at_root ? std::string("tools/with-xvfb.sh") : helper.string()) + " " + program;
        }
        if (dir == dir.parent_path()) {
            break;
        }
        dir = dir.parent_path();
    }
    return std::string("xvfb-run -a ") + program;
}

// Connects to the X display; false, with a one-line reason that names the
// program, when there is none.
bool open_display(const char *name, std::string *error) {
    program_name = name;
    program_name = program_name.substr(program_name.find_last_of('/') + 1);
    const char *display = std::getenv("DISPLAY");
    if (!display || !*display) {
        *error = "no display (DISPLAY is not set); to run without a desktop, use a private "
                 "X server: " +
                 private_display_command(name);
        return false;
    }
    Display *connection = XOpenDisplay(display);
    if (!connection) {
        *error = "cannot open the display \"" + std::string(display) +
                 "\"; to run without a desktop, use a private X server: " +
                 private_display_command(name);
        return false;
    }
    fl_open_display(connection);
    windows(); // made before the handler is registered, so it outlives it
    std::atexit(delete_remaining_windows);
    Fl::fatal = fatal_error;
    Fl::visual(FL_RGB);
    return true;
}

} // namespace

const Backend &fltk_backend() {
    static const Backend table = [] {
        Backend b{};
        b.name = "fltk";
        b.open = open_display;
        b.create_window = create_window;
        b.show_window = show_window;
        b.move_window = move_window;
        b.destroy_window = destroy_window;
        b.present = present;
        b.set_menu = set_menu;
        b.poll_input = poll_input;
        b.wait_input = wait_input;
        b.screen_size = screen_size;
        b.now_ms = now_ms;
        return b;
    }();
    return table;
}

} // namespace portable_win32
