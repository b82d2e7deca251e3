// Which texts are drawn as Unicode: strict UTF-8 recognition and its
// conversion to UTF-16, case by case.
#include "dovra/draw/text_encoding.h"

#include <gtest/gtest.h>
#include <string>

using namespace dovra;

namespace {

WideText units(std::u16string_view text) {
    return WideText(text.begin(), text.end());
}

TEST(TextEncoding, Utf8RecognitionAndConversion) {
    struct Case {
        const char *name;
        std::string bytes;
        bool well_formed;
        std::u16string utf16; // when well-formed
        bool unicode;         // drawn through the wide calls
    } cases[] = {
        {"empty", "", true, u"", false},
        {"plain ASCII", "Add Scoop\n(1,2)", true, u"Add Scoop\n(1,2)", false},
        {"two bytes", "caf\xc3\xa9", true, u"caf\u00e9", true},
        {"three bytes", "10 \xe2\x82\xac", true, u"10 \u20ac", true},
        {"four bytes, a surrogate pair", "\xf0\x9f\x98\x80!", true, u"\U0001F600!", true},
        {"lowest of two bytes", "\xc2\x80", true, u"\u0080", true},
        {"lowest of three bytes", "\xe0\xa0\x80", true, u"\u0800", true},
        {"last before the surrogates", "\xed\x9f\xbf", true, u"\ud7ff", true},
        {"first after the surrogates", "\xee\x80\x80", true, u"\ue000", true},
        {"highest of three bytes", "\xef\xbf\xbf", true, u"\uffff", true},
        {"lowest of four bytes", "\xf0\x90\x80\x80", true, u"\U00010000", true},
        {"highest code point", "\xf4\x8f\xbf\xbf", true, u"\U0010FFFF", true},
        {"overlong two bytes", "\xc0\xaf", false, u"", false},
        {"overlong two bytes, C1", "\xc1\xbf", false, u"", false},
        {"overlong three bytes", "\xe0\x9f\xbf", false, u"", false},
        {"overlong four bytes", "\xf0\x8f\xbf\xbf", false, u"", false},
        {"high surrogate", "\xed\xa0\x80", false, u"", false},
        {"low surrogate", "\xed\xbf\xbf", false, u"", false},
        {"surrogate pair in three-byte halves", "\xed\xa0\xbd\xed\xb8\x80", false, u"", false},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", false, u"", false},
        {"lead byte F5", "\xf5\x80\x80\x80", false, u"", false},
        {"five bytes", "\xf8\x88\x80\x80\x80", false, u"", false},
        {"cut two bytes", "caf\xc3", false, u"", false},
        {"cut three bytes", "10 \xe2\x82", false, u"", false},
        {"cut four bytes", "\xf0\x9f\x98", false, u"", false},
        {"ASCII inside a sequence", "\xe2\x82x", false, u"", false},
        {"lone continuation byte", "a\x80", false, u"", false},
        {"byte FF", "\xff", false, u"", false},
        {"byte FE", "ab\xfe", false, u"", false},
        {"Windows-1252 e acute", "caf\xe9", false, u"", false},
        {"Windows-1252 euro sign", "10 \x80", false, u"", false},
        {"Windows-1252 word", "\xe9t\xe9", false, u"", false},
        {"UTF-8 then Windows-1252", "caf\xc3\xa9 caf\xe9", false, u"", false},
    };
    for (const Case &c : cases) {
        WideText wide = units(u"left over");
        EXPECT_EQ(utf8_to_utf16(c.bytes.data(), c.bytes.size(), &wide), c.well_formed) << c.name;
        EXPECT_EQ(wide, units(c.utf16)) << c.name;
        wide = units(u"left over");
        EXPECT_EQ(unicode_text(c.bytes.data(), c.bytes.size(), &wide), c.unicode) << c.name;
        EXPECT_EQ(wide, c.unicode ? units(c.utf16) : WideText()) << c.name;
    }
}

// What the log's mirror writes: UTF-8 as it is, anything else read as
// Windows-1252 (its bytes 0x80..0x9F included) and written in UTF-8.
TEST(TextEncoding, Utf8TextOfEitherEncoding) {
    const struct {
        std::string bytes, utf8;
    } cases[] = {
        {"", ""},
        {"plain (1,2)\n", "plain (1,2)\n"},
        {"caf\xc3\xa9 10 \xe2\x82\xac", "caf\xc3\xa9 10 \xe2\x82\xac"},
        {"caf\xe9", "caf\xc3\xa9"},
        {"10 \x80 \x93q\x94", "10 \xe2\x82\xac \xe2\x80\x9cq\xe2\x80\x9d"},
        {"\x81\x9f\xa0\xff", "\xc2\x81\xc5\xb8\xc2\xa0\xc3\xbf"},
        {"caf\xc3\xa9 caf\xe9", "caf\xc3\x83\xc2\xa9 caf\xc3\xa9"}, // mixed: all Windows-1252
    };
    for (const auto &c : cases) {
        EXPECT_EQ(utf8_text(c.bytes.data(), c.bytes.size()), c.utf8) << c.bytes;
    }
}

} // namespace
