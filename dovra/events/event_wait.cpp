// The next-event call: one message per pass, then a script step or the
// set-up of a periodic event; recording of what it delivers; the animation
// modes. When a pass finds nothing to do, the wait blocks on the queue
// instead of polling, which changes nothing but the processor time used.
#include "dovra/dovra.h"
#include "dovra/draw/renderer.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"
#include "dovra/shell/handles.h"
#include "dovra/shell/package_state.h"

namespace dovra {

EventState event_state = {0, 0, 0, 0};
uint8_t animate_on = 0;
uint8_t single_step = 0;
uint8_t quit_requested = 0;
uint32_t tick_pending = 0;

namespace {

bool waiting_goes_on() {
    return event_state.event_kind == NO_EVENT ||
           (event_state.event_kind == DOVRA_PERIODIC && tick_pending == 0);
}

void record_event() {
    if (event_state.event_kind == DOVRA_PERIODIC) {
        if (periodic_run == INT32_MAX) {
            // A run longer than a count can hold goes out in two lines.
            write_script_line(DOVRA_PERIODIC, 0, 0, 0);
            periodic_run = 0;
        }
        periodic_run++;
        return;
    }
    write_pending_run();
    write_script_line(event_state.event_kind, event_state.event_x, event_state.event_y,
                      event_state.event_key);
}

} // namespace

PumpResult pump_one_message() {
    MSG msg;
    PumpResult result = PUMP_EMPTY;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            event_state.event_kind = DOVRA_EXIT;
            return PUMP_QUIT;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        result = PUMP_MESSAGE;
    }
    if (surface_dirty) {
        show_surface();
        surface_dirty = 0;
    }
    return result;
}

int32_t await_event(EventRecord *record) {
    event_state.event_kind = NO_EVENT;
    event_state.event_key = 0;
    event_state.event_y = 0;
    event_state.event_x = 0;
    if (replay_over) {
        // After a replay every wait ends at once: the program is to end. One
        // message is still taken, so that the windows stay alive and the
        // clock moves for a program that goes on all the same.
        pump_one_message();
        event_state.event_kind = DOVRA_EXIT;
    }
    while (waiting_goes_on()) {
        const PumpResult pumped = pump_one_message();
        // A quit taken in this pass ends the call: the step it would have
        // read stays in the script, and the quit is not lost.
        if ((play_one || playing_back) && pumped != PUMP_QUIT) {
            play_one = 0;
            if (read_script_step()) {
                break; // a script step is delivered at once, whatever its kind
            }
            play_one = 0;
            playing_back = 0;
            if (replaying) {
                // The replayed script is over, and with it the run.
                replay_over = 1;
                event_state.event_kind = DOVRA_EXIT;
                break;
            }
        }
        if ((single_step || animate_on) && event_state.event_kind == NO_EVENT) {
            tick_pending = 0;
            event_state.event_kind = DOVRA_PERIODIC;
            single_step = 0;
        }
        if (pumped == PUMP_EMPTY && !play_one && !playing_back && waiting_goes_on()) {
            // Only a message can change anything now: wait for one.
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
    if (recording) {
        record_event();
    }
    record->x = event_state.event_x;
    record->y = event_state.event_y;
    record->key = event_state.event_key;
    return quit_requested ? DOVRA_EXIT : event_state.event_kind;
}

} // namespace dovra

using namespace dovra;

int DOVRA_next_event(int *x, int *y, char *key) {
    EventRecord record = {0, 0, 0};
    // Before start-up no window exists that could ever deliver an event.
    const int kind = graphics_window ? await_event(&record) : DOVRA_EXIT;
    if (!graphics_window) {
        package_running("DOVRA_next_event", "it returns DOVRA_EXIT");
    }
    if (x) {
        *x = record.x;
    }
    if (y) {
        *y = record.y;
    }
    if (key) {
        *key = record.key;
    }
    return kind;
}

int DOVRA_set_animation(int mode) {
    if (!graphics_window) {
        package_running("DOVRA_set_animation", "nothing changed");
        return 0;
    }
    switch (mode) {
    case ANIM_MODE_STOP:
        single_step = 0;
        animate_on = 0;
        break;
    case ANIM_MODE_STEP:
        single_step = 1;
        break;
    case ANIM_MODE_RUN:
        animate_on = 1;
        break;
    case ANIM_MODE_EXIT:
        quit_requested = 1;
        break;
    default:
        break; // every other mode changes nothing
    }
    return 1;
}
