// What long runs leave behind: after 10,000 frames of a full scene, and
// after 10,000 log lines, the live GDI objects (and, on the portable layer,
// the movable memory blocks) are back where they started, but for the 25
// blocks the log ring keeps. Runs natively and under Wine.
#include "app/scene.h"
#include "dovra/dovra.h"
#include "dovra/events/event_state.h"
#include "tests/support/package_fixture.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <psapi.h>
#endif

using namespace dovra;
using namespace cone;

namespace {

// The process's private memory in kB, where the platform tells it: on
// Windows its heap and everything else it allocated.
long private_kb() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(),
                         reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters), sizeof counters);
    return static_cast<long>(counters.PrivateUsage / 1024);
#else
    return 0; // the soak measures resident memory on Linux
#endif
}

int live_blocks() {
#ifdef _WIN32
    return 0; // Windows has no count of movable blocks to ask for
#else
    return platform_live_memory_blocks();
#endif
}

ConeState full_cone() {
    ConeState state;
    cone_state_init(state);
    state.scoops = 3;
    for (int i = 0; i < MAX_TOPPINGS; i++) {
        state.topping_x[i] = -40 + 9 * i;
        state.topping_y[i] = 40 + 11 * i;
        state.topping_kind[i] = i % 4; // kind 3 draws "Oops"
        state.topping_color[i] = (5 * i) % 24;
    }
    state.topping_count = MAX_TOPPINGS;
    state.status = STATUS_SELECTED;
    return state;
}

TEST(Resources, TenThousandFramesAndLogLinesLeaveNothingBehind) {
    package_fixture::start();
    package_fixture::reset_log();
    logging_on = 0;
    portable::drain();
    const int objects = portable::live_gdi_objects();
    const int blocks = live_blocks();

    ConeState state = full_cone();
    long warm_kb = 0;
    for (int frame = 0; frame < 10000; frame++) {
        state.frame_count = frame;
        draw_scene(state);
        pump_one_message();
        if (frame == 999) {
            warm_kb = private_kb(); // caches of glyphs and faces are full by now
        }
    }
    EXPECT_EQ(portable::live_gdi_objects(), objects);
    EXPECT_EQ(live_blocks(), blocks);
    // 9,000 frames more may not cost memory: a leak of even a few bytes a
    // call would show as hundreds of kB.
    EXPECT_LE(private_kb() - warm_kb, 256);

    for (int line = 0; line < 10000; line++) {
        DOVRA_log_printf("line %d of a long run\n", line);
    }
    pump_one_message();
    EXPECT_EQ(portable::live_gdi_objects(), objects);
#ifndef _WIN32
    EXPECT_EQ(live_blocks(), blocks + 25);
#endif
    EXPECT_EQ(package_fixture::log_lines().back(), "line 9999 of a long run\n");
}

} // namespace
