// Recording and playback of DOVRA.SCR: one line per event, a run of
// periodic events as one line with its count, and the operations that
// switch recording and playback (which exclude each other); each change of
// mode is announced through modes_changed.
#include "dovra/events/script.h"
#include "dovra/dovra.h"
#include "dovra/draw/saturate.h"
#include "dovra/events/event_state.h"
#include "dovra/events/mode_changes.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace dovra {

uint8_t recording = 0;
uint8_t playing_back = 0;
uint8_t play_one = 0;
int32_t periodic_run = 0;
std::FILE *script_stream = nullptr;
uint8_t replaying = 0;
uint8_t replay_over = 0;

namespace {

// While replaying, the script named in the environment is read instead of
// DOVRA.SCR; recording still writes DOVRA.SCR, so the replayed script is
// never overwritten.
std::string replay_script;

const char *reading_path() {
    return replaying ? replay_script.c_str() : SCRIPT_FILE_NAME;
}

// A message about the script goes to the log; while replaying, when nobody
// sees the log, also to standard error.
void script_message(const char *format, const char *path) {
    DOVRA_log_printf(format, path);
    if (replaying) {
        std::fprintf(stderr, "DOVRA replay: ");
        std::fprintf(stderr, format, path);
    }
}

enum Direction { NOT_OPEN, WRITING, READING };
Direction script_direction = NOT_OPEN;
bool write_error_reported = false; // one message per stream, not one per event
long lines_read = 0;               // of the stream open for reading, counting empty ones
bool at_line_start = true;         // the next read begins a line

enum {
    LINE_BUFFER = 512, // a line of at most 511 characters and its terminator
    NUMBER_LIMIT = 11, // characters of one number
    KEYWORD_COLUMN = 6 // the letter after "DOVRA_"
};

// A stream is used only in the direction it was opened in.
bool open_script(Direction direction) {
    if (script_stream && script_direction == direction) {
        return true;
    }
    close_script();
    if (direction == READING) {
        // A directory opens for reading on some systems and then fails every
        // read; it is no script, so it is refused here as Windows refuses it.
        std::error_code error;
        if (std::filesystem::is_directory(reading_path(), error)) {
            return false;
        }
    }
    script_stream = std::fopen(direction == WRITING ? SCRIPT_FILE_NAME : reading_path(),
                               direction == WRITING ? "wt" : "rt");
    if (!script_stream) {
        return false;
    }
    script_direction = direction;
    lines_read = 0;
    at_line_start = true;
    write_error_reported = false;
    return true;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Scans a number from `from`: skips to the first digit (or '-', when
// signed), takes the run of such characters and converts it, reading an
// optional leading '-' and the digits after it. False when the line holds no
// number there or the run is longer than a number can be. `end` receives the
// position just after the run.
bool scan_number(const char *from, bool is_signed, int32_t *value, const char **end) {
    auto starts = [is_signed](char c) { return is_digit(c) || (is_signed && c == '-'); };
    const char *p = from;
    while (*p && !starts(*p)) {
        p++;
    }
    if (!*p) {
        return false;
    }
    const char *run = p;
    while (starts(*p)) {
        p++;
    }
    const std::size_t length = static_cast<std::size_t>(p - run);
    if (length > NUMBER_LIMIT) {
        return false;
    }
    char digits[NUMBER_LIMIT + 1];
    std::memcpy(digits, run, length);
    digits[length] = '\0';
    *value = saturate(std::strtoll(digits, nullptr, 10));
    *end = p;
    return true;
}

// Reads one line into `line`; false at the end of the file or on a read
// error. A line ending in CR LF reads as one ending in LF, so a script
// written on Windows plays the same here; a last line without its newline
// is returned as it is.
bool read_line(char *line) {
    if (!std::fgets(line, LINE_BUFFER, script_stream)) {
        return false;
    }
    // A line longer than the buffer comes in pieces: only its first counts.
    if (at_line_start) {
        lines_read++;
    }
    at_line_start = std::strchr(line, '\n') != nullptr;
    const std::size_t length = std::strlen(line);
    if (length >= 2 && line[length - 2] == '\r' && line[length - 1] == '\n') {
        line[length - 2] = '\n';
        line[length - 1] = '\0';
    }
    return true;
}

// The step of one line; false when the line is not a step.
bool dispatch_line(const char *line) {
    if (std::strlen(line) <= KEYWORD_COLUMN) {
        return false;
    }
    const char *from = line + KEYWORD_COLUMN;
    const char *end = nullptr;
    int32_t first = 0;
    int32_t second = 0;
    switch (line[KEYWORD_COLUMN]) {
    case 'M':
        if (!scan_number(from, true, &first, &end) || !scan_number(end, true, &second, &end)) {
            return false;
        }
        event_state.event_kind = DOVRA_MOUSE;
        event_state.event_x = first;
        event_state.event_y = second;
        return true;
    case 'K':
        if (!scan_number(from, true, &first, &end)) {
            return false;
        }
        event_state.event_kind = DOVRA_KBD;
        event_state.event_key = static_cast<char>(static_cast<uint32_t>(first) & 0xFF);
        return true;
    case 'P':
        if (!scan_number(from, false, &first, &end)) {
            return false;
        }
        // This call delivers the first of the run; a count of 0 plays as one.
        event_state.event_kind = DOVRA_PERIODIC;
        periodic_run = first > 0 ? first - 1 : 0;
        return true;
    default:
        return false;
    }
}

} // namespace

void write_pending_run() {
    if (periodic_run > 0) {
        write_script_line(DOVRA_PERIODIC, event_state.event_x, event_state.event_y,
                          event_state.event_key);
    }
    periodic_run = 0;
}

void write_script_line(int32_t kind, int32_t x, int32_t y, char key) {
    if (kind != DOVRA_MOUSE && kind != DOVRA_KBD && kind != DOVRA_PERIODIC) {
        // Nothing to write, so the file is not opened: opening truncates it.
        return;
    }
    if (!open_script(WRITING)) {
        DOVRA_log_printf("Cannot open script file %s for writing\n", SCRIPT_FILE_NAME);
        return;
    }
    int written = 0;
    switch (kind) {
    case DOVRA_MOUSE:
        written = std::fprintf(script_stream, "DOVRA_MOUSE(%d, %d);\n", x, y);
        break;
    case DOVRA_KBD:
        written = std::fprintf(script_stream, "DOVRA_KBD(%d);\n", static_cast<signed char>(key));
        break;
    default:
        written = std::fprintf(script_stream, "DOVRA_PERIODIC(%d);\n", periodic_run);
        break;
    }
    // Each line reaches the file at once, so a recording survives the
    // program being closed or killed.
    if ((written < 0 || std::fflush(script_stream) != 0) && !write_error_reported) {
        write_error_reported = true;
        DOVRA_log_printf("Cannot write script file %s\n", SCRIPT_FILE_NAME);
    }
}

int read_script_step() {
    if (!open_script(READING)) {
        script_message("Cannot open script file %s for reading\n", reading_path());
        end_playback();
        return 0;
    }
    if (periodic_run > 0) {
        periodic_run--;
        event_state.event_kind = DOVRA_PERIODIC;
        return 1;
    }
    char line[LINE_BUFFER];
    bool have_line = read_line(line);
    while (have_line && line[0] == '\n') {
        have_line = read_line(line);
    }
    if (!have_line) {
        if (std::ferror(script_stream)) {
            script_message("Cannot read script file %s\n", reading_path());
        } else {
            DOVRA_log_printf("EOF encountered in script file %s\n", reading_path());
        }
        end_playback();
        // Closed, so that the next playback starts again from the first line.
        close_script();
        return 0;
    }
    if (!dispatch_line(line)) {
        if (replaying) {
            // Nothing the program draws from here on answers the script:
            // the run ends at once, with a code that says why.
            std::fprintf(stderr,
                         "DOVRA replay: script file %s stops at line %ld, which it cannot play: "
                         "%s%s",
                         reading_path(), lines_read, line, std::strchr(line, '\n') ? "" : "\n");
            std::fflush(nullptr);
            std::exit(REPLAY_STOPPED_EXIT_CODE);
        }
        // The line is consumed: a new playback goes on after it.
        end_playback();
        return 0;
    }
    return 1;
}

void end_playback() {
    playing_back = 0;
    play_one = 0;
    modes_changed();
}

void close_script() {
    if (script_stream) {
        std::fclose(script_stream);
        script_stream = nullptr;
    }
    script_direction = NOT_OPEN;
}

void start_recording() {
    // A playback in progress, a play-one step still due or a stream left
    // open for reading ends first: the recording truncates the file.
    if (playing_back || play_one || script_direction == READING) {
        stop_playback();
        play_one = 0;
    }
    recording = 1;
    modes_changed();
}

void stop_recording() {
    recording = 0;
    modes_changed();
    write_pending_run();
    close_script();
}

void start_playback() {
    if (recording) {
        stop_recording();
    }
    animate_on = 0;
    single_step = 0;
    playing_back = 1;
    modes_changed();
}

void stop_playback() {
    playing_back = 0;
    modes_changed();
    close_script();
    // The rest of a periodic run belongs to the script just closed.
    periodic_run = 0;
}

void play_one_step() {
    if (recording) {
        stop_recording();
    }
    play_one = 1;
    animate_on = 0;
    single_step = 0;
}

void finish_script() {
    if (recording) {
        write_pending_run();
    }
    close_script();
    replaying = 0;
    replay_over = 0;
    replay_script.clear();
}

void start_replay_if_asked() {
    const char *path = std::getenv("DOVRA_REPLAY");
    if (!path || !*path) {
        return;
    }
    replay_script = path;
    replaying = 1;
    replay_over = 0;
    start_playback();
}

} // namespace dovra
