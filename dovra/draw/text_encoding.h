// The encoding a text is drawn in: well-formed UTF-8 beyond ASCII is drawn as
// Unicode through the wide text calls, any other text as Windows-1252 bytes.
#pragma once

#include "platform/win32.h"

#include <cstddef>
#include <string>

namespace dovra {

// UTF-16 in the unit the wide Win32 text calls take: wchar_t on Windows,
// char16_t on the portable layer, 16 bits on both.
using WideText = std::basic_string<WCHAR>;

// Converts well-formed UTF-8 to UTF-16, characters beyond U+FFFF as surrogate
// pairs. Well-formed means no overlong form, no surrogate, nothing beyond
// U+10FFFF and no cut sequence. Anything else gives false and an empty `wide`.
bool utf8_to_utf16(const char *text, std::size_t length, WideText *wide);

// Whether a text is drawn as Unicode: it is well-formed UTF-8 holding at least
// one character beyond ASCII, and `wide` then holds it in UTF-16. Any other
// text keeps its Windows-1252 meaning (plain ASCII means the same either way),
// so that bytes such as "caf\xe9" and every stored script draw as before.
bool unicode_text(const char *text, std::size_t length, WideText *wide);

// The text as UTF-8, for what is read outside the windows (the log's mirror):
// well-formed UTF-8 as it is, any other text read as Windows-1252, so that it
// shows the characters the windows show.
std::string utf8_text(const char *text, std::size_t length);

} // namespace dovra
