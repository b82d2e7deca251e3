// What the desktop backend makes of FLTK's keys and typed texts: Win32
// virtual-key codes and Windows-1252 characters.
#include "platform/backend/fltk/fltk_keys.h"

#include <FL/Enumerations.H>
#include <gtest/gtest.h>
#include <string>

using namespace portable_win32;

namespace {

TEST(FltkKeys, VirtualKeyCodes) {
    const struct {
        int key;
        unsigned vk;
    } cases[] = {
        {'a', 65},
        {'z', 90},
        {'q', 81},
        {'0', 48},
        {'9', 57},
        {' ', 32},
        {FL_Enter, 13},
        {FL_KP_Enter, 13},
        {FL_Escape, 27},
        {FL_BackSpace, 8},
        {FL_Tab, 9},
        {FL_Control_L, 17},
        {FL_Control_R, 17},
        {FL_Shift_L, 16},
        {FL_Alt_L, 18},
        {FL_Left, 37},
        {FL_Up, 38},
        {FL_Right, 39},
        {FL_Down, 40},
        {FL_F + 1, 0x70},
        {FL_F + 12, 0x7B},
        {FL_Home, 36},
        {FL_End, 35},
        {FL_Delete, 46},
        {FL_KP + '0', 0x60},
        {FL_KP + '9', 0x69},
        {';', 0xBA},
        {'/', 0xBF},
        {'\'', 0xDE},
        {'A', 0},
        {FL_F, 0},
        {0, 0},
        {-1, 0},
        {0x7FFFFFFF, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(vk_from_fltk_key(c.key), c.vk) << "key " << c.key;
    }
}

TEST(FltkKeys, CharactersInWindows1252) {
    const struct {
        std::string utf8;
        int code; // 0: no character
    } cases[] = {
        {"a", 'a'},
        {"Q", 'Q'},
        {"\x01", 1}, // Ctrl+A
        {"\r", 13},
        {"\xc3\xa9", 233},      // é
        {"\xc2\xa0", 0xA0},     // no-break space
        {"\xc3\xbf", 0xFF},     // ÿ
        {"\xe2\x82\xac", 0x80}, // €
        {"\xc5\xb8", 0x9F},     // Ÿ
        {"\xe2\x80\x94", 0x97}, // em dash
        {"\xc2\x81", 0},        // a control character the code page lacks
        {"\xe2\x98\x83", 0},    // snowman
        {"\xf0\x9f\x98\x80", 0},
        {"ab", 0}, // two characters
        {"", 0},
        {"\xc3", 0},     // cut short
        {"\xc0\xa9", 0}, // overlong
        {"\xff", 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(windows_1252_from_utf8(c.utf8.data(), static_cast<int>(c.utf8.size())), c.code)
            << c.utf8;
    }
    EXPECT_EQ(windows_1252_from_utf8(nullptr, 3), 0);
}

} // namespace
