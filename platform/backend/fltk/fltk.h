// The desktop backend on FLTK, and opening the display it needs.
#pragma once

#include "platform/backend/backend.h"

#include <string>

const Backend &fltk_backend();

// Connects to the X display; false, with a one-line reason that names
// `program`, when there is none.
bool fltk_open_display(const char *program, std::string *error);
