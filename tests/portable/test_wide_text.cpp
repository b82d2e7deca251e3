// The wide text calls, TextOutW and GetTextExtentPoint32W, beside the A
// calls: the characters of Windows-1252 give the same pixels and extents
// either way. On the portable layer, whose faces are known, also characters
// beyond Windows-1252, surrogate pairs and the missing glyph. Runs on the
// portable layer and on Windows under Wine.
#include "tests/support/memory_surface.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Wide = std::basic_string<WCHAR>;

Wide units(std::u16string_view text) {
    return Wide(text.begin(), text.end());
}

// A white surface with one font selected, drawing in red.
class TextSurface {
  public:
    explicit TextSurface(const char *face = "DOVRA-font", int height = -18) : surface_(160, 40) {
        font_ = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, face);
        old_ = SelectObject(surface_.dc(), font_);
        SetTextColor(surface_.dc(), RGB(255, 0, 0));
        SetBkMode(surface_.dc(), TRANSPARENT);
    }
    ~TextSurface() {
        SelectObject(surface_.dc(), old_);
        DeleteObject(font_);
    }
    TextSurface(const TextSurface &) = delete;
    TextSurface &operator=(const TextSurface &) = delete;

    // The pixels that a text drawn at (4, 8) leaves on the white surface.
    std::vector<COLORREF> drawn(const std::string &bytes) {
        surface_.fill(RGB(255, 255, 255));
        EXPECT_TRUE(TextOutA(surface_.dc(), 4, 8, bytes.data(), static_cast<int>(bytes.size())));
        return pixels();
    }
    std::vector<COLORREF> drawn(const Wide &text) {
        surface_.fill(RGB(255, 255, 255));
        EXPECT_TRUE(TextOutW(surface_.dc(), 4, 8, text.data(), static_cast<int>(text.size())));
        return pixels();
    }
    SIZE extent(const std::string &bytes) {
        SIZE size{-1, -1};
        EXPECT_TRUE(GetTextExtentPointA(surface_.dc(), bytes.data(), static_cast<int>(bytes.size()),
                                        &size));
        return size;
    }
    SIZE extent(const Wide &text) {
        SIZE size{-1, -1};
        EXPECT_TRUE(GetTextExtentPoint32W(surface_.dc(), text.data(), static_cast<int>(text.size()),
                                          &size));
        return size;
    }
    bool has_ink() const { return surface_.count(RGB(255, 255, 255)) < 160 * 40; }

  private:
    std::vector<COLORREF> pixels() const {
        std::vector<COLORREF> all;
        for (int y = 0; y < 40; y++) {
            for (int x = 0; x < 160; x++) {
                all.push_back(GetPixel(surface_.dc(), x, y));
            }
        }
        return all;
    }
    MemorySurface surface_;
    HFONT font_;
    HGDIOBJ old_;
};

TEST(WideText, Windows1252CharactersDrawAsTheirBytesDo) {
    struct Case {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"caf\xe9", u"caf\u00e9"},
        {"10 \x80", u"10 \u20ac"},
        {"\x8a\x8c\x9f \x93q\x94\x85", u"\u0160\u0152\u0178 \u201cq\u201d\u2026"},
        {"\xc0\xd7\xff", u"\u00c0\u00d7\u00ff"},
        {"", u""},
    };
    TextSurface s;
    for (const Case &c : cases) {
        const std::vector<COLORREF> as_bytes = s.drawn(c.bytes);
        EXPECT_TRUE(s.drawn(units(c.text)) == as_bytes) << c.bytes;
        const SIZE a = s.extent(c.bytes), w = s.extent(units(c.text));
        EXPECT_EQ(w.cx, a.cx) << c.bytes;
        EXPECT_EQ(w.cy, a.cy) << c.bytes;
    }
}

#ifndef _WIN32
// The layer draws "DOVRA-font" with Liberation Sans, which has Greek but no
// glyph for U+0081 (byte 0x81 has no character in Windows-1252), U+0378 or
// any character beyond U+FFFF; DejaVu Sans has a few of those.

TEST(WideText, CharactersWithoutAGlyphDrawTheMissingGlyph) {
    struct Case {
        const char *name;
        std::u16string text;
        std::string bytes; // "\x81" for each missing glyph
    } cases[] = {
        {"unassigned code point", u"\u0378", "\x81"},
        {"C1 control of a byte without a character", u"\u0081", "\x81"},
        {"C1 control of the euro sign's byte", u"\u0080", "\x81"},
        {"lone high surrogate", {0xD800}, "\x81"},
        {"lone low surrogate", {0xDFFF}, "\x81"},
        {"high surrogate before a letter",
         {0xDBFF, u'a'},
         "\x81"
         "a"},
        {"high surrogate at the end", {u'a', 0xD800}, "a\x81"},
        {"surrogates the wrong way round", {0xDC00, 0xD800}, "\x81\x81"},
        {"pair of a letter the face lacks: one glyph", u"\U0001D400", "\x81"},
        {"two such pairs", u"\U0001D400\U0001D401", "\x81\x81"},
    };
    TextSurface s;
    for (const Case &c : cases) {
        const std::vector<COLORREF> expected = s.drawn(c.bytes);
        EXPECT_TRUE(s.drawn(units(c.text)) == expected) << c.name;
        EXPECT_EQ(s.extent(units(c.text)).cx, s.extent(c.bytes).cx) << c.name;
    }
}

TEST(WideText, CharactersBeyondWindows1252DrawTheirGlyphs) {
    struct Case {
        const char *face;
        std::u16string text;
    } cases[] = {
        {"DOVRA-font", u"\u03b1"},      // alpha
        {"DOVRA-font", u"\u03b2"},      // beta
        {"DOVRA-font", u"\u03b3"},      // gamma
        {"DOVRA-font", u"\u03a9"},      // capital omega
        {"DOVRA-font", u"\u0416"},      // Cyrillic zhe
        {"DejaVu Sans", u"\U0001D538"}, // double-struck capital A, a surrogate pair
    };
    std::vector<std::vector<COLORREF>> seen;
    for (const Case &c : cases) {
        TextSurface s(c.face);
        const std::vector<COLORREF> missing = s.drawn(Wide(1, 0xD800));
        ASSERT_TRUE(s.has_ink()) << c.face;
        const std::vector<COLORREF> glyph = s.drawn(units(c.text));
        EXPECT_TRUE(s.has_ink()) << c.face;
        EXPECT_FALSE(glyph == missing) << c.face;
        for (const std::vector<COLORREF> &other : seen) {
            EXPECT_FALSE(glyph == other) << c.face;
        }
        seen.push_back(glyph);
    }
}
#endif

} // namespace
