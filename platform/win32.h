// The one platform header of the package and the application.
// On Windows it is <windows.h>; elsewhere it declares the portable Win32 layer,
// which implements the subset of Win32 that DOVRA uses, with the same names.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "platform/backend/program_backends.h"
#include "platform/core/win32_kernel.h"
#include "platform/core/win32_types.h"
#include "platform/core/win32_user.h"
#include "platform/gdi/win32_gdi.h"
#endif
