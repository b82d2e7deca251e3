// The log outside the log window: with DOVRA_LOG set to a file's path, or to
// "-" for standard error, every log line is also written there as it is
// stored, so that a warning that scrolls off the window, or the log of a
// headless replay, is kept.
#pragma once

namespace dovra {

// Writes one stored line to the mirror, in UTF-8 (a line that is not UTF-8
// read as Windows-1252), ending it with a newline when it has none, and
// flushes it. The first call reads DOVRA_LOG; a file that cannot
// be written is reported once on standard error and the program runs on.
void mirror_log_line(const char *text);

// Closes the mirror's file (at shutdown); the next line reads DOVRA_LOG
// again and opens its file for appending.
void close_log_mirror();

} // namespace dovra
