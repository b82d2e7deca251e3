// Events as tests compare them, one call of DOVRA_next_event at a time, and
// the script file's bytes.
#pragma once

#include "dovra/dovra.h"
#include "dovra/events/script.h"

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

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
