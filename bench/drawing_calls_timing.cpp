// Times the package's drawing calls on a started package: each call alone,
// and the 19 calls of the cone builder's start scene. A plain program (no
// benchmark library) so that the same measurement runs natively and, built
// for Windows, under Wine. Prints the median of 15 batches per case.
#include "dovra/dovra.h"
#include "tests/support/package_fixture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// The start scene: background, six buttons with labels, status line, one
// scoop, the cone, the pulsing circle and the drip.
void start_scene() {
    static const char *labels[6] = {"Add Scoop",      "Remove Scoop",   "Add Topping",
                                    "Select Topping", "Change Topping", "Change Color"};
    static const int colors[6] = {19, 2, 0, 0, 0, 0};
    DOVRA_draw_rectangle(1, -300, -250, 300, 250, 0);
    for (int r = 0; r < 6; r++) {
        DOVRA_draw_rectangle(0, -295, 245 - 25 * r, -185, 220 - 25 * r, 1);
        DOVRA_draw_printf(colors[r], -285, 233 - 12 / 2 - 25 * r, 12, "%s", labels[r]);
    }
    DOVRA_draw_printf(4, -130, -215, 18, "Click on the cone to add a topping");
    DOVRA_draw_circle(6, 0, 25, 57);
    DOVRA_draw_triangle(14, 0, -175, -60, 25, 60, 25, 0);
    DOVRA_draw_circle(5, 280, 230, 75);
    DOVRA_draw_circle(6, -60, 9, 8);
    DOVRA_draw_triangle(6, -60, 25, -52, 9, -68, 9, 0);
}

double median_ns(const std::function<void()> &call, int per_batch) {
    std::vector<double> batches;
    for (int b = 0; b < 15; b++) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < per_batch; i++) {
            call();
        }
        const auto end = std::chrono::steady_clock::now();
        batches.push_back(std::chrono::duration<double, std::nano>(end - start).count() /
                          per_batch);
    }
    std::sort(batches.begin(), batches.end());
    return batches[batches.size() / 2];
}

} // namespace

int main() {
    package_fixture::start();
    DOVRA_set_logging(0);
    struct Case {
        const char *name;
        std::function<void()> call;
        int per_batch;
    } cases[] = {
        {"clear_window", [] { DOVRA_clear_window(); }, 50},
        {"circle_radius_57", [] { DOVRA_draw_circle(6, 0, 25, 57); }, 200},
        {"triangle_cone", [] { DOVRA_draw_triangle(14, 0, -175, -60, 25, 60, 25, 0); }, 200},
        {"rectangle_button_outline", [] { DOVRA_draw_rectangle(0, -295, 245, -185, 220, 1); }, 500},
        {"text_size_12", [] { DOVRA_draw_text(19, -285, 227, 12, "Add Scoop"); }, 200},
        {"printf_status_size_18",
         [] { DOVRA_draw_printf(4, -130, -215, 18, "Click on the cone to add a topping"); }, 100},
        {"start_scene_19_calls", start_scene, 20},
    };
    std::printf("%-28s %12s\n", "case", "median ns");
    for (const Case &c : cases) {
        std::printf("%-28s %12.0f\n", c.name, median_ns(c.call, c.per_batch));
    }
    return 0;
}
