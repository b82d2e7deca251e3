// The drawing calls' internal half: colour validation and the workers
// behind the public DOVRA_draw_* entries.
#pragma once

namespace dovra {

int check_color(int color);

int draw_circle(int color, int x, int y, int radius);
int draw_triangle(int color, int x1, int y1, int x2, int y2, int x3, int y3, int width);
int draw_rectangle(int color, int x1, int y1, int x2, int y2, int width);
int draw_text(int color, int x, int y, int ptsize, const char *text);
int clear_window();

} // namespace dovra
