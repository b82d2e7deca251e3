// The package's run state and the one-line notes about calls made outside it.
#include "dovra/shell/package_state.h"

#include <cstdio>
#include <set>
#include <string>

namespace dovra {

namespace {

enum RunState { NOT_STARTED, RUNNING, SHUT_DOWN };
RunState run_state = NOT_STARTED;

std::set<std::string> &noted_calls() {
    static std::set<std::string> calls;
    return calls;
}

} // namespace

void package_started() {
    run_state = RUNNING;
}

void package_shut_down() {
    run_state = SHUT_DOWN;
}

bool package_running(const char *call, const char *consequence) {
    if (run_state == RUNNING) {
        return true;
    }
    if (noted_calls().insert(call).second) {
        std::fprintf(stderr, "%s called %s: %s\n", call,
                     run_state == NOT_STARTED ? "before DOVRA_startup" : "after DOVRA_shutdown",
                     consequence);
    }
    return false;
}

} // namespace dovra
