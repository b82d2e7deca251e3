// Every drawing call with every argument at the extremes: 0, -1, 1, the
// smallest and largest int and values around the surface's edges, one
// argument at a time and all together. Each call returns, repairs what it
// must with one warning per repair, and leaves no object behind. Runs under
// UBSan too, so no overflow goes unseen.
#include "dovra/dovra.h"
#include "platform/core/accounting.h"
#include "tests/support/package_fixture.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace portable_win32;

using namespace package_fixture;

namespace {

const std::vector<int> VALUES = {0,   -1,   1,   INT_MIN, INT_MAX,     -301,
                                 301, -300, 300, -271,    271,         -270,
                                 270, 599,  601, 539,     INT_MIN + 1, INT_MAX - 1};

struct Call {
    const char *name;
    std::vector<int> baseline; // valid arguments
    std::function<int(const std::vector<int> &)> run;
    std::function<int(const std::vector<int> &)> warnings; // repairs expected
};

bool bad_color(int c) {
    return c < 0 || c > 23;
}

const std::vector<Call> &calls() {
    static const std::vector<Call> list = {
        {"circle",
         {2, 0, 0, 10},
         [](const std::vector<int> &a) { return DOVRA_draw_circle(a[0], a[1], a[2], a[3]); },
         [](const std::vector<int> &a) { return bad_color(a[0]) + (a[3] < 0); }},
        {"triangle",
         {3, 0, 0, 10, 0, 0, 10, 0},
         [](const std::vector<int> &a) {
             return DOVRA_draw_triangle(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
         },
         [](const std::vector<int> &a) { return bad_color(a[0]) + (a[7] < 0); }},
        {"rectangle",
         {4, -10, -10, 10, 10, 0},
         [](const std::vector<int> &a) {
             return DOVRA_draw_rectangle(a[0], a[1], a[2], a[3], a[4], a[5]);
         },
         [](const std::vector<int> &a) { return bad_color(a[0]) + (a[5] < 0); }},
        {"text",
         {0, 0, 0, 12},
         [](const std::vector<int> &a) {
             return DOVRA_draw_text(a[0], a[1], a[2], a[3], "Extreme");
         },
         [](const std::vector<int> &a) {
             // A negative size is negated first; a size over 127 is then cut.
             const long long size = a[3] < 0 ? -static_cast<long long>(a[3]) : a[3];
             return bad_color(a[0]) + (a[3] < 0) + (size > 127);
         }},
    };
    return list;
}

class Extremes : public ::testing::Test {
  protected:
    void SetUp() override {
        start();
        reset_log();
        logging_on = 0;
    }
    // Runs one call and checks its result, its warnings and what it left.
    void check(const Call &call, const std::vector<int> &args) {
        reset_log();
        logging_on = 0;
        const int objects = platform_live_gdi_objects();
        const int blocks = platform_live_memory_blocks();
        EXPECT_EQ(call.run(args), 1);
        const int warnings = call.warnings(args);
        EXPECT_EQ(static_cast<int>(log_lines().size()), warnings);
        EXPECT_EQ(platform_live_gdi_objects(), objects);
        // Only the warnings stay, each a line of the log.
        EXPECT_EQ(platform_live_memory_blocks(), blocks + warnings);
    }
};

TEST_F(Extremes, OneArgumentAtATime) {
    for (const Call &call : calls()) {
        for (std::size_t i = 0; i < call.baseline.size(); i++) {
            for (int value : VALUES) {
                std::vector<int> args = call.baseline;
                args[i] = value;
                SCOPED_TRACE(::testing::Message()
                             << call.name << " argument " << i << " = " << value);
                check(call, args);
            }
        }
    }
}

TEST_F(Extremes, AllArgumentsAtTheLimits) {
    for (const Call &call : calls()) {
        const std::size_t n = call.baseline.size();
        for (unsigned mask = 0; mask < (1u << n); mask++) {
            std::vector<int> args(n);
            for (std::size_t i = 0; i < n; i++) {
                args[i] = (mask >> i) & 1 ? INT_MAX : INT_MIN;
            }
            SCOPED_TRACE(::testing::Message() << call.name << " mask " << mask);
            check(call, args);
        }
    }
}

TEST_F(Extremes, LoggingOnDescribesEveryRepairedCall) {
    // With logging on each call adds exactly one description line.
    for (const Call &call : calls()) {
        std::vector<int> args(call.baseline.size(), INT_MIN);
        reset_log();
        logging_on = 1;
        EXPECT_EQ(call.run(args), 1);
        EXPECT_EQ(static_cast<int>(log_lines().size()), call.warnings(args) + 1) << call.name;
    }
}

} // namespace
