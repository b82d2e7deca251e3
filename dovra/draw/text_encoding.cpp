// Strict UTF-8 decoding into UTF-16, the choice between Unicode and
// Windows-1252 for a text, and Windows-1252 text turned into UTF-8.
#include "dovra/draw/text_encoding.h"

#include <cstdint>

namespace dovra {

static_assert(sizeof(WCHAR) == 2, "the wide text calls take 16-bit units");

namespace {

bool continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The sequence starting at text[i]: its code point and length, or false when
// it is not well-formed. The second byte's range rules out overlong forms,
// surrogates and code points beyond U+10FFFF (RFC 3629).
bool decode(const unsigned char *text, std::size_t length, std::size_t i, uint32_t *code_point,
            std::size_t *size) {
    const unsigned char lead = text[i];
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    std::size_t n;
    uint32_t value;
    if (lead < 0x80) {
        *code_point = lead;
        *size = 1;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        value = lead & 0x0F;
        if (lead == 0xE0) {
            low = 0xA0; // below: overlong
        } else if (lead == 0xED) {
            high = 0x9F; // above: surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        value = lead & 0x07;
        if (lead == 0xF0) {
            low = 0x90; // below: overlong
        } else if (lead == 0xF4) {
            high = 0x8F; // above: beyond U+10FFFF
        }
    } else {
        return false; // a continuation byte, C0, C1 or F5..FF
    }
    if (length - i < n || text[i + 1] < low || text[i + 1] > high) {
        return false;
    }
    for (std::size_t k = 1; k < n; k++) {
        if (!continuation(text[i + k])) {
            return false;
        }
        value = value << 6 | (text[i + k] & 0x3F);
    }
    *code_point = value;
    *size = n;
    return true;
}

// The characters of Windows-1252's bytes 0x80..0x9F; a zero marks a byte
// without one, which stands for the C1 control of its value, as Windows
// converts it. Every other byte is the Latin-1 character of its value.
const uint16_t CP1252_HIGH[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void append_utf8(uint32_t c, std::string *out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | c >> 6));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | c >> 12));
        out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool all_ascii(const char *text, std::size_t length) {
    for (std::size_t i = 0; i < length; i++) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool well_formed_utf8(const char *text, std::size_t length) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    uint32_t c;
    std::size_t size;
    for (std::size_t i = 0; i < length; i += size) {
        if (!decode(bytes, length, i, &c, &size)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool utf8_to_utf16(const char *text, std::size_t length, WideText *wide) {
    wide->clear();
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    wide->reserve(length);
    for (std::size_t i = 0; i < length;) {
        uint32_t c;
        std::size_t size;
        if (!decode(bytes, length, i, &c, &size)) {
            wide->clear();
            return false;
        }
        if (c < 0x10000) {
            wide->push_back(static_cast<WCHAR>(c));
        } else {
            c -= 0x10000;
            wide->push_back(static_cast<WCHAR>(0xD800 | c >> 10));
            wide->push_back(static_cast<WCHAR>(0xDC00 | (c & 0x3FF)));
        }
        i += size;
    }
    return true;
}

bool unicode_text(const char *text, std::size_t length, WideText *wide) {
    wide->clear();
    // Most texts are plain ASCII: one scan, no conversion.
    return !all_ascii(text, length) && utf8_to_utf16(text, length, wide);
}

std::string utf8_text(const char *text, std::size_t length) {
    if (well_formed_utf8(text, length)) {
        return std::string(text, length); // plain ASCII is UTF-8 too
    }
    std::string out;
    out.reserve(length * 2);
    for (std::size_t k = 0; k < length; k++) {
        const unsigned char byte = static_cast<unsigned char>(text[k]);
        const bool high = byte >= 0x80 && byte < 0xA0 && CP1252_HIGH[byte - 0x80];
        append_utf8(high ? CP1252_HIGH[byte - 0x80] : byte, &out);
    }
    return out;
}

} // namespace dovra
