// KERNEL declarations of the portable Win32 layer: movable global memory,
// the tick count, the module handle and the thread's last error.
#pragma once

#include "platform/core/win32_types.h"

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID WINAPI GlobalLock(HGLOBAL block);
BOOL WINAPI GlobalUnlock(HGLOBAL block);
HGLOBAL WINAPI GlobalFree(HGLOBAL block);
SIZE_T WINAPI GlobalSize(HGLOBAL block);

DWORD WINAPI GetTickCount(void);
HMODULE WINAPI GetModuleHandleA(LPCSTR module_name);
DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD error);
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line,
                   int show_command);
