// Script recording and playback: the state behind the Run menu's Record,
// Playback and Play one commands, and the reader and writer of DOVRA.SCR.
#pragma once

#include <cstdint>
#include <cstdio>

namespace dovra {

#define SCRIPT_FILE_NAME "DOVRA.SCR"

// The exit code of a headless replay whose script stops at a line it cannot
// play (1 and 2 are the replay's own: bad settings, no end within the limit).
enum { REPLAY_STOPPED_EXIT_CODE = 3 };

extern uint8_t recording;    // delivered events are written
extern uint8_t playing_back; // every wait reads one step
extern uint8_t play_one;     // the next wait reads exactly one step
// While recording: periodic events delivered and not yet written. While
// playing back: periodic events still owed by the last periodic line.
extern int32_t periodic_run;
extern std::FILE *script_stream; // the one open stream on the script file, or null
// A headless replay is running: the script named by DOVRA_REPLAY plays from
// start-up, and the end of its playback ends the run with DOVRA_EXIT.
extern uint8_t replaying;
extern uint8_t replay_over; // the replayed script has ended: every wait returns DOVRA_EXIT

// Writes the line of one event (for DOVRA_PERIODIC the count in
// periodic_run), opening the file for writing first when no stream is open.
void write_script_line(int32_t kind, int32_t x, int32_t y, char key);

// Puts the next script step into the event state: 1 when it did, 0 when
// playback has to stop (end of the script, no file, a line it cannot read).
int read_script_step();

// While recording: writes the run of periodic events still being counted,
// if any, and starts the count again.
void write_pending_run();

void end_playback();
void close_script();

void start_recording();
void stop_recording();
void start_playback();
void stop_playback();
void play_one_step();

// At shutdown: writes a pending periodic run of a recording, then closes
// the stream; a replay is over.
void finish_script();

// At start-up: when DOVRA_REPLAY names a script, starts replaying it.
void start_replay_if_asked();

} // namespace dovra
