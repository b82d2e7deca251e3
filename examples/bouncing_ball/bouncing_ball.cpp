// The bouncing ball, a DOVRA example: a ball bounces inside a frame while
// the animation runs. Keys: c changes its colour, space stops and starts the
// animation, s stops it and moves the ball one step, q ends the program.
#include "dovra/dovra.h"

namespace {

// The frame, in DOVRA's coordinates: origin at the centre, y upwards.
const int LEFT = -280;
const int RIGHT = 280;
const int TOP = 200;
const int BOTTOM = -200;
const int RADIUS = 20;

// Palette indices: black, 20% gray, and the ball's colours.
const int BLACK = 0;
const int GRAY = 23;
const int BALL_COLORS[] = {2, 4, 19, 13, 8}; // red, blue, forest green, orange, purple
const char *const BALL_COLOR_NAMES[] = {"red", "blue", "forest green", "orange", "purple"};
const int BALL_COLOR_COUNT = sizeof BALL_COLORS / sizeof BALL_COLORS[0];

struct Ball {
    int x = 0;
    int y = 0;
    int dx = 7;
    int dy = 5;
    int color = 0;
};

void draw(const Ball &ball, int ticks, bool running) {
    DOVRA_clear_window();
    DOVRA_draw_rectangle(GRAY, LEFT, TOP, RIGHT, BOTTOM, 3);
    DOVRA_draw_circle(BALL_COLORS[ball.color], ball.x, ball.y, RADIUS);
    DOVRA_draw_printf(BLACK, LEFT, TOP + 18, 12, "Tick %d: %s, %s ball", ticks,
                      running ? "running" : "stopped", BALL_COLOR_NAMES[ball.color]);
    DOVRA_draw_text(BLACK, LEFT, BOTTOM - 20, 9,
                    "c: colour    space: stop or start    s: one step    q: quit");
}

// One step; the ball turns back where it would leave the frame.
void move(Ball &ball) {
    ball.x += ball.dx;
    ball.y += ball.dy;
    if (ball.x - RADIUS < LEFT || ball.x + RADIUS > RIGHT) {
        ball.dx = -ball.dx;
        ball.x += 2 * ball.dx;
    }
    if (ball.y - RADIUS < BOTTOM || ball.y + RADIUS > TOP) {
        ball.dy = -ball.dy;
        ball.y += 2 * ball.dy;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                   int show_command) {
    DOVRA_startup(instance, previous_instance, command_line, show_command);
    DOVRA_set_animation(ANIM_MODE_RUN);
    Ball ball;
    int ticks = 0;
    bool running = true;
    for (;;) {
        draw(ball, ticks, running);
        int x = 0;
        int y = 0;
        char key = 0;
        const int kind = DOVRA_next_event(&x, &y, &key);
        if (kind == DOVRA_EXIT) {
            break;
        }
        if (kind == DOVRA_PERIODIC) {
            move(ball);
            ticks++;
        } else if (kind == DOVRA_KBD) {
            switch (key) {
            case 'c':
                ball.color = (ball.color + 1) % BALL_COLOR_COUNT;
                break;
            case ' ':
                running = !running;
                DOVRA_set_animation(running ? ANIM_MODE_RUN : ANIM_MODE_STOP);
                break;
            case 's':
                running = false;
                DOVRA_set_animation(ANIM_MODE_STOP);
                DOVRA_set_animation(ANIM_MODE_STEP);
                break;
            case 'q':
                DOVRA_set_animation(ANIM_MODE_EXIT);
                break;
            default:
                break;
            }
        }
    }
    DOVRA_shutdown();
    return 0;
}
