// Keys and characters from FLTK to Win32: virtual-key codes by key, and the
// Windows-1252 code page for typed characters (é is 233, € is 128).
#include "platform/backend/fltk/fltk_keys.h"

#include <FL/Enumerations.H>

namespace portable_win32 {

namespace {

struct KeyCode {
    int key;
    unsigned vk;
};

// Keys whose code is not their character.
const KeyCode NAMED_KEYS[] = {
    {FL_BackSpace, 0x08}, {FL_Tab, 0x09},       {FL_Enter, 0x0D},
    {FL_KP_Enter, 0x0D},  {FL_Shift_L, 0x10},   {FL_Shift_R, 0x10},
    {FL_Control_L, 0x11}, {FL_Control_R, 0x11}, {FL_Alt_L, 0x12},
    {FL_Alt_R, 0x12},     {FL_Pause, 0x13},     {FL_Caps_Lock, 0x14},
    {FL_Escape, 0x1B},    {' ', 0x20},          {FL_Page_Up, 0x21},
    {FL_Page_Down, 0x22}, {FL_End, 0x23},       {FL_Home, 0x24},
    {FL_Left, 0x25},      {FL_Up, 0x26},        {FL_Right, 0x27},
    {FL_Down, 0x28},      {FL_Print, 0x2C},     {FL_Insert, 0x2D},
    {FL_Delete, 0x2E},    {FL_Meta_L, 0x5B},    {FL_Meta_R, 0x5C},
    {FL_Menu, 0x5D},      {FL_Num_Lock, 0x90},  {FL_Scroll_Lock, 0x91},
    {';', 0xBA},          {'=', 0xBB},          {',', 0xBC},
    {'-', 0xBD},          {'.', 0xBE},          {'/', 0xBF},
    {'`', 0xC0},          {'[', 0xDB},          {'\\', 0xDC},
    {']', 0xDD},          {'\'', 0xDE},
};

// Characters 0x80..0x9F of Windows-1252, by the Unicode code point each
// stands for; 0 where the code page has none.
const unsigned HIGH_CONTROLS[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Decodes one UTF-8 character; its length in bytes, or 0 when malformed.
int decode_utf8(const unsigned char *s, int length, unsigned *code) {
    if (length <= 0) {
        return 0;
    }
    if (s[0] < 0x80) {
        *code = s[0];
        return 1;
    }
    int extra = 0;
    unsigned value = 0;
    if ((s[0] & 0xE0) == 0xC0) {
        extra = 1;
        value = s[0] & 0x1F;
    } else if ((s[0] & 0xF0) == 0xE0) {
        extra = 2;
        value = s[0] & 0x0F;
    } else if ((s[0] & 0xF8) == 0xF0) {
        extra = 3;
        value = s[0] & 0x07;
    } else {
        return 0;
    }
    if (length < 1 + extra) {
        return 0;
    }
    for (int i = 1; i <= extra; i++) {
        if ((s[i] & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (s[i] & 0x3F);
    }
    // Overlong forms do not count as the character they spell.
    static const unsigned smallest[4] = {0, 0x80, 0x800, 0x10000};
    if (value < smallest[extra] || value > 0x10FFFF) {
        return 0;
    }
    *code = value;
    return 1 + extra;
}

} // namespace

unsigned vk_from_fltk_key(int key) {
    if (key >= 'a' && key <= 'z') {
        return static_cast<unsigned>(key - 'a' + 'A');
    }
    if (key >= '0' && key <= '9') {
        return static_cast<unsigned>(key);
    }
    if (key > FL_F && key <= FL_F + 24) {
        return 0x70 + static_cast<unsigned>(key - FL_F - 1); // VK_F1..VK_F24
    }
    if (key >= FL_KP + '0' && key <= FL_KP + '9') {
        return 0x60 + static_cast<unsigned>(key - FL_KP - '0'); // VK_NUMPAD0..9
    }
    switch (key) {
    case FL_KP + '*':
        return 0x6A;
    case FL_KP + '+':
        return 0x6B;
    case FL_KP + '-':
        return 0x6D;
    case FL_KP + '.':
        return 0x6E;
    case FL_KP + '/':
        return 0x6F;
    default:
        break;
    }
    for (const KeyCode &k : NAMED_KEYS) {
        if (k.key == key) {
            return k.vk;
        }
    }
    return 0;
}

unsigned char windows_1252_from_utf8(const char *text, int length) {
    if (!text) {
        return 0;
    }
    unsigned code = 0;
    const int used = decode_utf8(reinterpret_cast<const unsigned char *>(text), length, &code);
    if (used == 0 || used != length) {
        return 0;
    }
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<unsigned char>(code);
    }
    for (unsigned i = 0; i < 32; i++) {
        if (HIGH_CONTROLS[i] != 0 && HIGH_CONTROLS[i] == code) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return 0;
}

} // namespace portable_win32
