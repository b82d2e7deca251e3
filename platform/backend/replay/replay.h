// Headless replay: any program of the layer run without a display, on the
// headless backend, while the program plays a recorded script. The switch is
// the environment:
//   DOVRA_REPLAY=script          replay this script (the package plays it
//                                from start-up and ends the run at its end)
//   DOVRA_REPLAY_PICTURE=file    the picture at the end (default replay.png)
//   DOVRA_REPLAY_EVERY=N         also one picture every N frames
//   DOVRA_REPLAY_FRAMES=N        the run's limit (default 100000 frames)
// A frame is one showing of the main window (the first window the program
// creates); its picture is that window's client area.
#pragma once

// DOVRA_REPLAY is set (and not empty).
bool replay_requested();

// Checks the switch's settings and chooses the replay backend. False, after
// one line on standard error, when the run cannot go ahead: a script that
// cannot be read, a picture that cannot be written, a bad number.
bool replay_prepare(const char *program);

// After WinMain returned `exit_code`: writes the last picture. The process's
// exit code: the program's, or 1 when there was no picture to write or it
// could not be written.
int replay_finish(int exit_code);
