// The mirror of the log in a file or on standard error (DOVRA_LOG).
#include "dovra/shell/log_mirror.h"
#include "dovra/draw/text_encoding.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace dovra {

namespace {

enum MirrorState { UNREAD, OFF, OPEN };

struct Mirror {
    MirrorState state = UNREAD;
    std::FILE *file = nullptr;
    bool owned = false;     // a file of ours, not standard error
    bool appending = false; // opened once already in this run
    bool failure_reported = false;
};

Mirror mirror;

// Reads DOVRA_LOG and opens its file: anew for the run's first line, for
// appending after a close, so that no line of the run is lost.
void open_mirror() {
    const char *path = std::getenv("DOVRA_LOG");
    mirror.state = OFF;
    if (!path || !*path) {
        return;
    }
    if (std::strcmp(path, "-") == 0) {
        mirror.file = stderr;
        mirror.owned = false;
        mirror.state = OPEN;
        return;
    }
    mirror.file = std::fopen(path, mirror.appending ? "a" : "w");
    if (!mirror.file) {
        if (!mirror.failure_reported) {
            mirror.failure_reported = true;
            std::fprintf(stderr,
                         "DOVRA: cannot write the log to \"%s\" (DOVRA_LOG): %s; "
                         "the log stays in the log window only\n",
                         path, std::strerror(errno));
        }
        return;
    }
    mirror.owned = true;
    mirror.appending = true;
    mirror.state = OPEN;
}

} // namespace

void mirror_log_line(const char *text) {
    if (mirror.state == UNREAD) {
        open_mirror();
    }
    if (mirror.state != OPEN) {
        return;
    }
    // In UTF-8, whichever way the line was written, so that the file reads
    // as the log window shows it.
    const std::string line = utf8_text(text, std::strlen(text));
    std::fputs(line.c_str(), mirror.file);
    if (line.empty() || line.back() != '\n') {
        std::fputc('\n', mirror.file);
    }
    std::fflush(mirror.file);
}

void close_log_mirror() {
    if (mirror.state == OPEN && mirror.owned) {
        std::fclose(mirror.file);
    }
    mirror.file = nullptr;
    mirror.owned = false;
    mirror.state = UNREAD;
}

} // namespace dovra
