// The renderer: paints one display record, or the white background, onto the
// off-screen surface around the origin, and marks the surface dirty.
#pragma once

#include "dovra/draw/display_record.h"

#include <cstdint>

namespace dovra {

extern uint32_t surface_dirty; // 1 while the surface holds what the window does not show
extern int32_t origin_x;       // the surface pixel of package coordinate (0, 0)
extern int32_t origin_y;

void render_record(const DisplayRecord &record);
void fill_background();

} // namespace dovra
