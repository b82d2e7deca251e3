// The cone builder as its user sees it, for the whole-program tests: where
// the buttons are, the colours, the surface's pixels in package
// coordinates, the status line's colour, a circle topping, and the walk of
// clicks through every button and the scoops with what each shows.
#pragma once

#include "dovra/draw/renderer.h"
#include "dovra/shell/windows.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace dovra;

namespace cone_picture {

struct Point {
    int x;
    int y;
};

// The middle of each button of the column, in package coordinates.
const Point ADD_SCOOP{-240, 232};
const Point REMOVE_SCOOP{-240, 207};
const Point ADD_TOPPING{-240, 182};
const Point SELECT_TOPPING{-240, 157};
const Point CHANGE_TOPPING{-240, 132};
const Point CHANGE_COLOR{-240, 107};

const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF RED = RGB(255, 0, 0);
const COLORREF GREEN = RGB(0, 255, 0);
const COLORREF BLUE = RGB(0, 0, 255);
const COLORREF YELLOW = RGB(255, 255, 0);
const COLORREF MAGENTA = RGB(255, 0, 255);
const COLORREF ICE_BLUE = RGB(153, 255, 255);
const COLORREF BROWN = RGB(153, 102, 51);

inline COLORREF pixel(int x, int y) {
    return GetPixel(surface_dc, origin_x + x, origin_y - y);
}

inline std::vector<COLORREF> picture() {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < SURFACE_HEIGHT; y++) {
        for (int x = 0; x < SURFACE_WIDTH; x++) {
            pixels.push_back(GetPixel(surface_dc, x, y));
        }
    }
    return pixels;
}

// Pixels of the status line that are at least half covered by text of the
// colour `ink` (blue, green or red) over the white background.
inline int status_text_pixels(COLORREF ink) {
    int count = 0;
    for (int y = -216; y <= -185; y++) {
        for (int x = -130; x < 300; x++) {
            const COLORREF p = pixel(x, y);
            const int got[3] = {GetRValue(p), GetGValue(p), GetBValue(p)};
            const int want[3] = {GetRValue(ink), GetGValue(ink), GetBValue(ink)};
            bool match = true;
            for (int c = 0; c < 3; c++) {
                match = match && (want[c] == 255 ? got[c] == 255 : got[c] < 128);
            }
            count += match ? 1 : 0;
        }
    }
    return count;
}

// The status line is in `ink` and in no other of the three colours; at
// least `at_least` pixels of it (faces differ between systems).
inline void expect_status_line(COLORREF ink, const std::string &when, int at_least) {
    for (COLORREF other : {BLUE, GREEN, RED}) {
        if (other == ink) {
            EXPECT_GT(status_text_pixels(other), at_least) << when;
        } else {
            EXPECT_EQ(status_text_pixels(other), 0) << when;
        }
    }
}

// A red circle topping: red around a white letter m, whose cell stands on
// the row just above (x - 2, y - 2).
inline void expect_red_circle_with_letter(Point at, const std::string &when) {
    EXPECT_EQ(pixel(at.x - 6, at.y - 1), RED) << when;
    EXPECT_EQ(pixel(at.x, at.y - 5), RED) << when;
    int letter = 0;
    for (int y = at.y - 1; y <= at.y + 7; y++) {
        for (int x = at.x - 2; x <= at.x + 6; x++) {
            letter += GetGValue(pixel(x, y)) >= 128 ? 1 : 0;
        }
    }
    EXPECT_GE(letter, 3) << when << ": the white letter";
}

// The start scene at frame 0: background, scoop, cone, the pulsing circle
// at its first radius, the drip at its start, the buttons, the blue status.
inline void expect_start_scene(int status_at_least) {
    EXPECT_EQ(pixel(150, -100), WHITE);
    EXPECT_EQ(pixel(0, 60), MAGENTA) << "the scoop";
    EXPECT_EQ(pixel(0, -50), BROWN) << "the cone";
    EXPECT_EQ(pixel(206, 230), YELLOW) << "the pulsing circle at radius 75";
    EXPECT_EQ(pixel(203, 230), WHITE);
    EXPECT_EQ(pixel(-60, 12), MAGENTA) << "the drip at its start";
    EXPECT_EQ(pixel(-60, -2), WHITE);
    EXPECT_EQ(pixel(-295, 200), RGB(0, 0, 0)) << "the buttons' left edge";
    expect_status_line(BLUE, "start", status_at_least);
}

struct Seen {
    int x, y;
    COLORREF color;
};

// One click of the walk and what the picture shows after it.
struct ClickStep {
    const char *name;
    Point click;
    std::vector<Seen> seen;
    COLORREF status; // the status line's colour
    bool circle_topping_at_click;
};

// Every button and the scoops, one click at a time, each step starting from
// the picture that the one before left.
inline std::vector<ClickStep> click_walk() {
    const Point first{10, 50};    // on the lowest scoop
    const Point second{-20, 100}; // on the second scoop
    return {
        {"Add Scoop", ADD_SCOOP, {{0, 120, ICE_BLUE}, {0, 60, MAGENTA}}, BLUE, false},
        {"Add Scoop again", ADD_SCOOP, {{0, 180, BLUE}, {0, 120, ICE_BLUE}}, BLUE, false},
        {"a fourth scoop", ADD_SCOOP, {{0, 180, BLUE}, {0, 200, WHITE}}, BLUE, false},
        {"Remove Scoop", REMOVE_SCOOP, {{0, 180, WHITE}, {0, 120, ICE_BLUE}}, BLUE, false},
        {"a click on the scoops", first, {}, RED, true},
        {"Change Topping: a bar",
         CHANGE_TOPPING,
         {{first.x + 4, first.y, RED}, {first.x, first.y + 5, MAGENTA}},
         RED,
         false},
        {"Change Topping: a triangle",
         CHANGE_TOPPING,
         {{first.x, first.y - 5, RED}, {first.x - 6, first.y + 5, MAGENTA}},
         RED,
         false},
        {"Change Color", CHANGE_COLOR, {{first.x, first.y - 5, GREEN}}, RED, false},
        {"a click on the second scoop moves it",
         second,
         {{second.x, second.y - 5, GREEN}, {first.x, first.y - 5, MAGENTA}},
         RED,
         false},
        {"Add Topping", ADD_TOPPING, {{second.x, second.y - 5, GREEN}}, BLUE, false},
        {"Select Topping", SELECT_TOPPING, {{second.x, second.y - 5, GREEN}}, GREEN, false},
        {"a click near its centre", {second.x + 3, second.y + 1}, {}, RED, false},
        {"Change Color again", CHANGE_COLOR, {{second.x, second.y - 5, BLUE}}, RED, false},
        {"a click off the scoops", {150, -100}, {{second.x, second.y - 5, BLUE}}, RED, false},
    };
}

// What one step of the walk must show.
inline void expect_step(const ClickStep &step, int status_at_least) {
    for (const Seen &s : step.seen) {
        EXPECT_EQ(pixel(s.x, s.y), s.color) << step.name << " at " << s.x << "," << s.y;
    }
    if (step.circle_topping_at_click) {
        expect_red_circle_with_letter(step.click, step.name);
    }
    expect_status_line(step.status, step.name, status_at_least);
}

} // namespace cone_picture
