// Block copies of whole frames into a window whose frames nobody sees wait
// until the window's pixels are needed. Whatever a program does after such
// a copy, the window and the bitmap must end as an immediate copy leaves
// them: each case runs twice, with the copy waiting and without, and both
// runs must give the same pixels and the same reads.
#include "platform/core/window_internal.h"
#include "platform/gdi/surface.h"
#include "platform/win32.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace portable_win32;

namespace {

// A window and a bitmap somewhat larger than its client area, as the
// package draws: frames are painted on the bitmap and copied whole.
class Scene {
  public:
    explicit Scene(bool frames_unseen) {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.lpszClassName = "DeferredCopyTest";
            RegisterClassA(&wc);
            registered = true;
        }
        window = CreateWindowExA(0, "DeferredCopyTest", "scene", WS_OVERLAPPEDWINDOW, 0, 0, 60, 50,
                                 nullptr, nullptr, nullptr, nullptr);
        find_window(window)->surface->frames_unseen = frames_unseen;
        window_dc = GetDC(window);
        memory_dc = CreateCompatibleDC(window_dc);
        RECT client;
        GetClientRect(window, &client);
        width = client.right + 6;
        height = client.bottom + 10;
        bitmap = CreateCompatibleBitmap(window_dc, width, height);
        old_bitmap = SelectObject(memory_dc, bitmap);
    }
    ~Scene() {
        SelectObject(memory_dc, old_bitmap);
        if (bitmap) {
            DeleteObject(bitmap);
        }
        DeleteDC(memory_dc);
        ReleaseDC(window, window_dc);
        DestroyWindow(window);
    }
    Scene(const Scene &) = delete;
    Scene &operator=(const Scene &) = delete;

    // A frame: a box over most of the bitmap (not all of it), as the cone
    // builder's background is, and a few shapes that depend on `n`.
    void paint(int n) {
        HBRUSH back = CreateSolidBrush(RGB(250, 240, 230 - n));
        HGDIOBJ old_brush = SelectObject(memory_dc, back);
        Rectangle(memory_dc, 2, -2, width - 3, height - 8);
        HBRUSH ink = CreateSolidBrush(RGB(40 * n % 256, 0, 200));
        SelectObject(memory_dc, ink);
        Ellipse(memory_dc, n, n, n + 12, n + 9);
        SelectObject(memory_dc, old_brush);
        DeleteObject(back);
        DeleteObject(ink);
        // Outside the box, beside it and below it, a new pixel each frame:
        // those of earlier frames must stay.
        SetPixel(memory_dc, 0, n, RGB(n, 3, 4));
        SetPixel(memory_dc, width - 1, n, RGB(n, 5, 6));
        SetPixel(memory_dc, n, height - 1, RGB(n, 1, 2));
    }
    void show() {
        BitBlt(window_dc, 0, 0, width, height, memory_dc, 0, 0, SRCCOPY);
        waiting_copies += find_window(window)->surface->owed.pending;
    }
    void fill(RECT r, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(memory_dc, &r, brush);
        DeleteObject(brush);
    }
    void delete_bitmap() {
        SelectObject(memory_dc, old_bitmap);
        DeleteObject(bitmap);
        bitmap = nullptr;
    }

    std::vector<uint32_t> window_pixels() const {
        const Surface &s = *find_window(window)->surface;
        const uint32_t *p = surface_pixels(s);
        return std::vector<uint32_t>(p, p + static_cast<std::size_t>(s.width) * s.height);
    }
    std::vector<COLORREF> bitmap_pixels() const {
        std::vector<COLORREF> out;
        for (int y = 0; bitmap && y < height; y++) {
            for (int x = 0; x < width; x++) {
                out.push_back(GetPixel(memory_dc, x, y));
            }
        }
        return out;
    }

    HWND window = nullptr;
    HDC window_dc = nullptr;
    HDC memory_dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    int width = 0;
    int height = 0;
    std::vector<COLORREF> reads; // what the case read on the way
    int waiting_copies = 0;      // shows whose copy waited
};

struct Case {
    const char *name;
    std::function<void(Scene &)> run;
};

TEST(DeferredCopy, EveryUseAfterTheCopySeesWhatAnImmediateCopyGives) {
    const Case cases[] = {
        {"frames painted and shown, one after another",
         [](Scene &s) {
             for (int n = 1; n <= 4; n++) {
                 s.paint(n);
                 s.show();
             }
         }},
        {"drawn on after the last show: the window keeps the frame shown",
         [](Scene &s) {
             s.paint(1);
             s.show();
             s.paint(2);
         }},
        {"a pixel set on the bitmap after the show",
         [](Scene &s) {
             s.paint(1);
             s.show();
             SetPixel(s.memory_dc, 4, 4, RGB(255, 0, 0));
             s.show();
         }},
        {"a small box filled after the show, then read back",
         [](Scene &s) {
             s.paint(1);
             s.show();
             s.fill({2, 2, 6, 5}, RGB(0, 255, 0));
             s.reads.push_back(GetPixel(s.memory_dc, 3, 3));
         }},
        {"the whole bitmap filled, shown twice without drawing between",
         [](Scene &s) {
             s.paint(1);
             s.show();
             s.fill({-5, -5, 500, 500}, RGB(9, 9, 9));
             s.show();
             s.show();
         }},
        {"the bitmap deleted while the window still owes its frame",
         [](Scene &s) {
             s.paint(1);
             s.show();
             s.delete_bitmap();
         }},
        {"read and drawn on through the window's own context",
         [](Scene &s) {
             s.paint(1);
             s.show();
             s.reads.push_back(GetPixel(s.window_dc, 1, 1));
             SetPixel(s.window_dc, 2, 2, RGB(0, 0, 255));
             s.paint(2);
         }},
        {"the window's client area made smaller by a menu bar",
         [](Scene &s) {
             s.paint(1);
             s.show();
             HMENU bar = CreateMenu();
             AppendMenuA(bar, MF_STRING, 1, "&Run");
             SetMenu(s.window, bar);
             s.paint(2);
         }},
        {"a part of the bitmap copied to the window",
         [](Scene &s) {
             s.paint(1);
             s.show();
             s.paint(2);
             BitBlt(s.window_dc, 5, 5, 10, 10, s.memory_dc, 0, 0, SRCCOPY);
         }},
    };
    for (const Case &c : cases) {
        Scene now(false), later(true);
        c.run(now);
        c.run(later);
        EXPECT_EQ(later.bitmap_pixels(), now.bitmap_pixels()) << c.name << ": the bitmap";
        EXPECT_EQ(later.reads, now.reads) << c.name << ": what was read";
        EXPECT_EQ(later.window_pixels(), now.window_pixels()) << c.name << ": the window";
        EXPECT_EQ(now.waiting_copies, 0) << c.name;
        EXPECT_GT(later.waiting_copies, 0) << c.name << ": no copy waited";
    }
}

} // namespace
