// Input given the way a user gives it: each action runs at one idle moment
// of the program (an empty poll or a blocking wait on the headless backend),
// in order; once none is left, time just passes.
#pragma once

#include "platform/backend/headless/headless.h"

#include <deque>
#include <functional>

using namespace portable_win32;

inline std::deque<std::function<void()>> &at_idle() {
    static std::deque<std::function<void()>> actions;
    return actions;
}

inline void run_idle_action(void *) {
    if (!at_idle().empty()) {
        std::function<void()> action = at_idle().front();
        at_idle().pop_front();
        action();
    }
}

// Installs the hook while it lives.
struct IdleActions {
    IdleActions() { headless_set_idle_hook(run_idle_action, nullptr); }
    ~IdleActions() {
        headless_set_idle_hook(nullptr, nullptr);
        at_idle().clear();
    }
};

inline void idle_nothing() {}
