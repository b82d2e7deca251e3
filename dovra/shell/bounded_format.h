// printf-style formatting into the package's 1024-byte line buffer, bounded
// so that no text can overflow it.
#pragma once

#include <cstdarg>

namespace dovra {

enum { FORMAT_BUFFER_SIZE = 1024 };

// Formats into `buffer` (FORMAT_BUFFER_SIZE bytes), cutting the result at
// 1023 characters. Returns the number of characters it holds: the whole
// formatted text, or 1023 when it was cut. A null format gives an empty text.
int format_bounded(char *buffer, const char *format, va_list args);

} // namespace dovra
