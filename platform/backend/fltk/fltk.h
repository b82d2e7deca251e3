// The desktop backend on FLTK: real windows on an X display.
#pragma once

#include "platform/backend/backend.h"

namespace portable_win32 {

const Backend &fltk_backend();

} // namespace portable_win32
