// What a key and a typed text become in Win32's terms: the virtual-key code
// of an FLTK key, and the Windows-1252 character of a UTF-8 text.
#pragma once

namespace portable_win32 {

// The Win32 virtual-key code of FLTK key `key` (Fl::event_key()); 0 for a
// key that has none. Letters give 'A'..'Z' whatever the Shift state.
unsigned vk_from_fltk_key(int key);

// The Windows-1252 byte of a text of one character (Fl::event_text(), UTF-8);
// 0 when the text is empty, holds more than one character, or its character
// has no Windows-1252 code.
unsigned char windows_1252_from_utf8(const char *text, int length);

} // namespace portable_win32
