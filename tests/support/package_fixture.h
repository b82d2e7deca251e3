// A started package for tests of the drawing calls, the renderer and the
// log: DOVRA_startup, done once per test program, and helpers to empty the
// log ring and read its lines.
#pragma once

#include "dovra/dovra.h"
#include "dovra/draw/renderer.h"
#include "dovra/shell/log.h"
#include "dovra/shell/run_menu.h"
#include "dovra/shell/windows.h"
#include "tests/support/portable_support.h"

#include <cstring>
#include <string>
#include <vector>

using namespace dovra;

namespace package_fixture {

// Starts the package once per test program, with the show mode a program
// is usually given, and takes what start-up left in the queue.
inline void start() {
    if (graphics_window) {
        return;
    }
    DOVRA_startup(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW);
    portable::drain();
}

// Empties the log ring and switches logging on, as at start.
inline void reset_log() {
    for (HGLOBAL &slot : log_ring.slots) {
        if (slot) {
            GlobalFree(slot);
            slot = nullptr;
        }
    }
    log_ring.log_first = -1;
    log_ring.log_next = 0;
    logging_on = 1;
}

// The stored lines, oldest first.
inline std::vector<std::string> log_lines() {
    std::vector<std::string> lines;
    int32_t i = log_ring.log_first;
    for (int count = 0; i >= 0 && !(i == log_ring.log_next && count != 0); count++) {
        const char *text = static_cast<const char *>(GlobalLock(log_ring.slots[i]));
        lines.push_back(text ? text : "");
        GlobalUnlock(log_ring.slots[i]);
        i = i == LOG_SLOTS - 1 ? 0 : i + 1;
    }
    return lines;
}

} // namespace package_fixture
