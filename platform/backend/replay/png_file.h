// Writing a window's client pixels as a PNG file.
#pragma once

#include <cstdint>
#include <string>

namespace portable_win32 {

// Writes `width` x `height` pixels (0x00RRGGBB, `width` a row) as an 8-bit
// RGB PNG. The bytes depend only on the pixels: no time stamp, fixed
// compression. False, with the reason in `error`, when the file cannot be
// written; a partially written file is removed.
bool write_png_file(const std::string &path, const uint32_t *pixels, int width, int height,
                    std::string *error);

} // namespace portable_win32
