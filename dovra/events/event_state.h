// The pending event and the animation flags: what the window procedures,
// the Run menu, script playback and the next-event call share.
#pragma once

#include <cstdint>

namespace dovra {

enum { NO_EVENT = -1 }; // event_kind inside a wait until an event arrives

struct EventState {
    int32_t event_kind;
    int32_t event_x; // package coordinates of a click
    int32_t event_y;
    char event_key; // character of a key event
};

extern EventState event_state;

extern uint8_t animate_on;     // a periodic event is set up in every wait
extern uint8_t single_step;    // one periodic event is set up in the next wait
extern uint8_t quit_requested; // every wait returns DOVRA_EXIT, for ever
extern uint32_t tick_pending;  // a timer tick came since the periodic event was set up

// What one wait hands back besides the kind.
struct EventRecord {
    int32_t x;
    int32_t y;
    char key;
};

// Waits for the next event (a click, a character, a tick while the animation
// runs, quit, or a script step), records it while recording is on and
// returns its kind; DOVRA_next_event is a thin wrapper over it.
int32_t await_event(EventRecord *record);

// What one pass of the message pump took.
enum PumpResult { PUMP_EMPTY, PUMP_MESSAGE, PUMP_QUIT };

// One pass of the message pump: takes at most one message without waiting,
// dispatches it (the quit message instead sets DOVRA_EXIT) and, unless it
// took the quit message, shows the surface when it is dirty.
PumpResult pump_one_message();

} // namespace dovra
