// A memory bitmap for drawing tests and benchmarks, with pixel counts.
#pragma once

#include "platform/win32.h"

#include <algorithm>

// A white memory bitmap in the screen's format, selected into its own
// context. A bitmap compatible with a memory context would be monochrome on
// Windows, so the screen's context gives the format where there is one.
class MemorySurface {
  public:
    MemorySurface(int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        HDC screen = GetDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(screen ? screen : dc_, width, height);
        if (screen) {
            ReleaseDC(nullptr, screen);
        }
        old_ = SelectObject(dc_, bitmap_);
        fill(RGB(255, 255, 255));
    }
    ~MemorySurface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    MemorySurface(const MemorySurface &) = delete;
    MemorySurface &operator=(const MemorySurface &) = delete;
    HDC dc() const { return dc_; }
    void fill(COLORREF color) {
        RECT all{0, 0, width_, height_};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    int count(COLORREF color) const {
        int n = 0;
        for (int y = 0; y < height_; y++) {
            for (int x = 0; x < width_; x++) {
                n += GetPixel(dc_, x, y) == color;
            }
        }
        return n;
    }
    // Rows and columns that hold any pixel other than `background`.
    RECT ink_bounds(COLORREF background = RGB(255, 255, 255)) const {
        RECT r{width_, height_, -1, -1};
        for (int y = 0; y < height_; y++) {
            for (int x = 0; x < width_; x++) {
                if (GetPixel(dc_, x, y) != background) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x);
                    r.bottom = std::max<LONG>(r.bottom, y);
                }
            }
        }
        return r;
    }

  private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};
