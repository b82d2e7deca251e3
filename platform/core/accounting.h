// Counts of the layer's live objects, so that tests can show that nothing
// leaks. (On Windows the GDI count comes from GetGuiResources.)
#pragma once

namespace portable_win32 {

int platform_live_memory_blocks();
int platform_live_gdi_objects();

// Makes the next `count` calls of GlobalAlloc fail as if memory were
// exhausted, so that tests can show what a caller does then.
void platform_fail_next_allocations(int count);

} // namespace portable_win32
