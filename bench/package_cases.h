// The work that the package benchmarks time, through the package's public
// calls on a started package: each drawing call, the clear, the start scene
// and a full scene, the surface copy to the window, one event-loop pass, and
// a memset of the surface's bytes as the yardstick. Shared by the Google
// Benchmark program (Linux) and the plain timing program, which also builds
// for Windows, so the same cases run on the portable layer and under Wine.
#pragma once

#include "app/cone_model.h"
#include "app/main_loop.h"
#include "app/scene.h"
#include "dovra/dovra.h"
#include "dovra/events/script.h"
#include "dovra/shell/windows.h"

#include <cstdio>
#include <cstring>
#include <vector>

using namespace dovra;
using namespace cone;

namespace package_cases {

// The surface's bytes: 601 x 540 pixels of 4 bytes.
const std::size_t SURFACE_BYTES = 601u * 540u * 4u;

inline std::vector<unsigned char> &memset_target() {
    static std::vector<unsigned char> bytes(SURFACE_BYTES);
    return bytes;
}

inline ConeState &cone_state() {
    static ConeState state;
    return state;
}

// The start state, and a full one: three scoops and ten toppings of every kind.
inline const ConeState &start_state() {
    static const ConeState state = [] {
        ConeState s;
        cone_state_init(s);
        return s;
    }();
    return state;
}

inline const ConeState &full_state() {
    static const ConeState state = [] {
        ConeState s;
        cone_state_init(s);
        s.scoops = 3;
        for (int i = 0; i < MAX_TOPPINGS; i++) {
            s.topping_x[i] = -40 + 9 * i;
            s.topping_y[i] = 20 + 14 * (i % 5);
            s.topping_kind[i] = i % 3;
            s.topping_color[i] = (3 * i) % TOPPING_COLORS;
        }
        s.topping_count = MAX_TOPPINGS;
        return s;
    }();
    return state;
}

// Starts the package as the cone builder does (logging off, animation
// running) and starts playback of one endless run of ticks, so that each
// event-loop pass takes one event without waiting for the clock. The
// script goes into the current directory.
inline bool start() {
    std::FILE *script = std::fopen("DOVRA.SCR", "w");
    if (!script) {
        return false;
    }
    std::fprintf(script, "DOVRA_PERIODIC(999999999);\n");
    std::fclose(script);
    cone_builder_start(cone_state(), GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    start_playback();
    return true;
}

inline void end() {
    stop_playback();
    cone_builder_end();
    std::remove("DOVRA.SCR");
}

struct Case {
    const char *name;
    void (*run)();
    int per_batch; // calls per timed batch in the plain timing program
    const char *what;
};

inline const std::vector<Case> &cases() {
    static const std::vector<Case> all = {
        {"memset_surface",
         [] {
             std::vector<unsigned char> &bytes = memset_target();
             std::memset(bytes.data(), bytes[0] + 1, bytes.size());
         },
         100, "memset of the surface's 601 x 540 x 4 bytes (the yardstick)"},
        {"circle_r8", [] { DOVRA_draw_circle(6, -60, 9, 8); }, 500, "filled circle, radius 8"},
        {"circle_r75", [] { DOVRA_draw_circle(5, 280, 230, 75); }, 200, "filled circle, radius 75"},
        {"triangle", [] { DOVRA_draw_triangle(14, 0, -175, -60, 25, 60, 25, 0); }, 200,
         "filled triangle (the cone)"},
        {"rectangle_filled", [] { DOVRA_draw_rectangle(2, -295, 245, -185, 220, 0); }, 500,
         "filled rectangle, 111 x 26"},
        {"rectangle_outline", [] { DOVRA_draw_rectangle(0, -295, 245, -185, 220, 1); }, 500,
         "outlined rectangle, 111 x 26"},
        {"text_9pt", [] { DOVRA_draw_text(19, -285, 227, 9, "Add Scoop"); }, 500,
         "text, 9 points, 9 characters"},
        {"text_18pt",
         [] { DOVRA_draw_text(4, -130, -215, 18, "Click on the cone to add a topping"); }, 200,
         "text, 18 points, 34 characters"},
        {"clear_window", [] { DOVRA_clear_window(); }, 50, "DOVRA_clear_window"},
        {"start_scene", [] { draw_scene(start_state()); }, 20,
         "start scene: draw_scene of the start state (19 calls)"},
        {"full_scene", [] { draw_scene(full_state()); }, 20,
         "full scene: 3 scoops and 10 toppings"},
        {"surface_copy",
         [] { BitBlt(window_dc, 0, 0, SURFACE_WIDTH, SURFACE_HEIGHT, surface_dc, 0, 0, SRCCOPY); },
         50, "the surface copied to the window (BitBlt, as the package presents)"},
        {"event_loop_pass", [] { cone_builder_pass(cone_state()); }, 20,
         "one pass of the cone builder: scene repainted, one event taken"},
    };
    return all;
}

} // namespace package_cases
