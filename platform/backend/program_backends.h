// Included by every program through platform/win32.h: the program refers to
// the display backends of the library it links (FLTK for a desktop program,
// none otherwise), so that the linker takes that list even when the
// program's own main leaves out the layer's entry point, and the backend can
// be chosen at the first call that needs one.
#pragma once

namespace portable_win32 {

struct Backend;

// The backends for showing windows that the program's link library offers,
// null-terminated, best first.
const Backend *const *program_display_backends();

[[gnu::used]] static const Backend *const *(*const program_display_backends_in_use)() =
    program_display_backends;

} // namespace portable_win32
