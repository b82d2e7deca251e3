// Counts of the layer's live objects, so that tests can show that nothing
// leaks. (On Windows the GDI count comes from GetGuiResources.)
#pragma once

int platform_live_memory_blocks();
int platform_live_gdi_objects();
