// The log ring and DOVRA_log_printf: each line is stored in a movable block
// of its own, the oldest freed once 25 are held, mirrored (DOVRA_LOG) and
// painted at once.
#include "dovra/dovra.h"
#include "dovra/shell/bounded_format.h"
#include "dovra/shell/log.h"
#include "dovra/shell/log_mirror.h"

#include <cstring>

namespace dovra {

LogRing log_ring = {{}, -1, 0};
uint8_t logging_on = 1;

namespace {

int32_t wrap(int32_t index) {
    return index == LOG_SLOTS - 1 ? 0 : index + 1;
}

// Stores one line; when its block cannot be had the line is not stored and
// the ring stays as it was.
void store(const char *text, int length) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length) + 1);
    if (!block) {
        return;
    }
    char *copy = static_cast<char *>(GlobalLock(block));
    if (!copy) {
        GlobalFree(block);
        return;
    }
    std::memcpy(copy, text, static_cast<size_t>(length));
    copy[length] = '\0';
    GlobalUnlock(block);
    if (log_ring.log_first == log_ring.log_next) {
        // Full: the newest line takes the oldest line's slot.
        GlobalFree(log_ring.slots[log_ring.log_first]);
        log_ring.slots[log_ring.log_first] = nullptr;
        log_ring.log_first = wrap(log_ring.log_first);
    }
    log_ring.slots[log_ring.log_next] = block;
    if (log_ring.log_first < 0) {
        log_ring.log_first = log_ring.log_next;
    }
    log_ring.log_next = wrap(log_ring.log_next);
}

} // namespace

} // namespace dovra

using namespace dovra;

int DOVRA_log_printf(const char *format, ...) {
    char buffer[FORMAT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    const int count = format_bounded(buffer, format, args);
    va_end(args);
    store(buffer, static_cast<int>(std::strlen(buffer)));
    mirror_log_line(buffer);
    log_paint_line(buffer);
    return count;
}

namespace dovra {

void log_repaint() {
    int32_t i = log_ring.log_first;
    int count = 0;
    while (i >= 0 && !(i == log_ring.log_next && count != 0)) {
        HGLOBAL block = log_ring.slots[i];
        if (char *text = static_cast<char *>(GlobalLock(block))) {
            log_paint_line(text);
            GlobalUnlock(block);
        }
        i = wrap(i);
        count++;
    }
}

} // namespace dovra
