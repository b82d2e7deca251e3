// The headless backend's test interface: input injected as a display would
// deliver it, and a virtual clock that moves only when the program waits idle
// or a test advances it.
#pragma once

#include "platform/core/win32_types.h"

#include <cstdint>

namespace portable_win32 {

void headless_click(HWND window, int client_x, int client_y);
void headless_key_down(HWND window, unsigned vk, unsigned char ch);
void headless_key_up(HWND window, unsigned vk);
// Press and release; `ch` is the Windows-1252 character the key makes, or 0.
void headless_key(HWND window, unsigned vk, unsigned char ch);
void headless_choose_menu(HWND window, unsigned command);
void headless_close(HWND window);
void headless_resize(HWND window, int outer_width, int outer_height);
void headless_expose(HWND window);

void headless_advance(uint32_t milliseconds);

// Called when the program waits and no input is queued, before the clock
// moves: a test can inject the next input there. Null removes it.
void headless_set_idle_hook(void (*hook)(void *context), void *context);

// How many times a wait found neither input nor a deadline: a program that
// waits for input that can never come in a headless run.
int headless_starved_waits();

// How often a window's pixels were shown, and its menu bar.
int headless_present_count(HWND window);
HMENU headless_window_menu(HWND window);

} // namespace portable_win32
