// The cone builder's run: start-up with the package's start modes, one pass
// per event (repaint, wait, apply), and the end.
#pragma once

#include "app/cone_model.h"
#include "dovra/dovra.h"

namespace cone {

void cone_builder_start(ConeState &state, HINSTANCE instance, HINSTANCE previous_instance,
                        LPSTR command_line, int show_command);

// What an event does to the cone: a click on the button column presses a
// button, one elsewhere goes to the scene; a tick is a frame; quit ends the
// run; a character does nothing.
void apply_event(int kind, int x, int y, ConeState &state);

// Repaints the whole scene, waits for the next event and applies it.
// Returns the event's kind.
int cone_builder_pass(ConeState &state);

void cone_builder_end();

} // namespace cone
