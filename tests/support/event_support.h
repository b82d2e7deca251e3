// Events as tests compare them, one call of DOVRA_next_event at a time, the
// state of events and scripts put back as at start, and the script file's
// bytes.
#pragma once

#include "dovra/dovra.h"
#include "dovra/events/event_state.h"
#include "dovra/events/script.h"

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

using namespace dovra;

struct Event {
    int kind;
    int x;
    int y;
    int key; // the character's code, 0..255
    bool operator==(const Event &o) const {
        return kind == o.kind && x == o.x && y == o.y && key == o.key;
    }
};

inline std::ostream &operator<<(std::ostream &out, const Event &e) {
    return out << "{" << e.kind << ", " << e.x << ", " << e.y << ", " << e.key << "}";
}

// The events and scripts state as at start: no event, the animation and
// every script switch off, nothing owed, no stream open.
inline void reset_events_and_scripts() {
    close_script();
    event_state = EventState{0, 0, 0, 0};
    animate_on = single_step = quit_requested = 0;
    tick_pending = 0;
    recording = playing_back = play_one = replaying = replay_over = 0;
    periodic_run = 0;
}

// One call; the outputs start at values the call must overwrite.
inline Event next_event() {
    int x = -1;
    int y = -1;
    char key = -1;
    const int kind = DOVRA_next_event(&x, &y, &key);
    return Event{kind, x, y, static_cast<unsigned char>(key)};
}

inline void write_script_file(const std::string &bytes) {
    std::ofstream(SCRIPT_FILE_NAME, std::ios::binary) << bytes;
}

inline std::string read_script_file() {
    std::ifstream in(SCRIPT_FILE_NAME, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
