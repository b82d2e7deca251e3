// The desktop backend on FLTK: real windows on an X display.
#pragma once

#include "platform/backend/backend.h"

const Backend &fltk_backend();
