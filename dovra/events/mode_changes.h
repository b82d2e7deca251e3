// The package's modes (logging_on, recording, playing_back) change in the
// recorder, the event wait and the control calls; whoever shows them (the Run
// menu's check marks) follows every change through one hook, so that those
// parts need not know who it is.
#pragma once

namespace dovra {

// Set by the one that shows the modes; null while nobody does.
extern void (*mode_change_hook)();

// Called after logging_on, recording or playing_back changed.
void modes_changed();

} // namespace dovra
