// What the parts of the layer's core ask of each other: the queue, the
// timers, the menus and the paint state, beyond their Win32 calls.
#pragma once

#include "platform/win32.h"

#include <cstdint>

namespace portable_win32 {

// Message queue.
void remove_window_messages(HWND hwnd);
bool messages_waiting(); // posted, input, quit, paint or a due timer

// Timers.
void kill_window_timers(HWND hwnd);
bool earliest_timer_due(uint32_t *due);
bool take_due_timer(MSG *msg, bool remove);

// Menus.
bool is_menu(HMENU menu);
bool menu_command_enabled(HMENU menu, UINT id);
void destroy_menu_tree(HMENU menu);
void menu_changed(HMENU menu);

// Painting.
HWND window_needing_paint();

// Input: backend input becomes queued input messages.
void queue_input_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
void take_backend_input();

} // namespace portable_win32
