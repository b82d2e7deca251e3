// The cone builder's scene: routines that paint the whole picture from the
// application's state through the package's drawing calls. None of them
// changes any state; later figures paint over earlier ones.
#pragma once

#include "app/cone_model.h"

namespace cone {

void draw_background();
void draw_buttons();
void draw_status(int status);
void draw_scoops(int scoops);
void draw_cone();
void draw_toppings(const ConeState &state);
void draw_triangle_topping(int x, int y, int color);
void draw_circle_topping(int x, int y, int color);
void draw_rectangle_topping(int x, int y, int color);
void draw_pulse(int x, int y, int r, int frame_count);
void draw_drip(int x, int y, int col, int frame_count);

// One whole pass, in the order the main loop paints it: background, buttons,
// status line, scoops, cone, toppings, then the pulsing circle and the drip.
void draw_scene(const ConeState &state);

} // namespace cone
