// Fonts and text on a device context: creation, metrics, extents and
// antialiased output, in transparent or opaque background mode; text as
// Windows-1252 bytes (the A calls) or as UTF-16 (the W calls).
#include "platform/gdi/blend.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/font_face.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/raster.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace portable_win32 {

namespace {

struct CurrentFont {
    const GdiObject *font = nullptr;
    FontFace *face = nullptr;
    FontMetrics metrics;
};

bool current_font(HDC dc, CurrentFont *font) {
    const DeviceContext *context = find_dc(dc);
    if (!context) {
        return false;
    }
    const GdiObject *f = find_gdi_object(context->font, GdiObject::FONT);
    if (!f) {
        return false;
    }
    font->font = f;
    font->face = resolve_face(f->face_name, f->font_weight, f->fixed_pitch);
    font->metrics = face_metrics(font->face, f->font_height);
    return true;
}

// A text's characters in order, each as its glyph in the current font:
// bytes read as Windows-1252.
class AnsiCharacters {
  public:
    AnsiCharacters(LPCSTR text, int count) : text_(text), count_(count) {}
    bool done() const { return i_ >= count_; }
    // The next character's glyph; false when it has none to draw.
    bool next(const CurrentFont &font, Glyph *glyph) {
        return load_glyph(font.face, font.metrics, static_cast<unsigned char>(text_[i_++]), glyph);
    }

  private:
    LPCSTR text_;
    int count_;
    int i_ = 0;
};

// UTF-16 units: a surrogate pair is one character, a surrogate on its own
// one character without a glyph of its own.
class WideCharacters {
  public:
    WideCharacters(LPCWSTR text, int count) : text_(text), count_(count) {}
    bool done() const { return i_ >= count_; }
    bool next(const CurrentFont &font, Glyph *glyph) {
        char32_t c = text_[i_++];
        if (c >= 0xD800 && c <= 0xDBFF && i_ < count_) {
            const char32_t low = text_[i_];
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i_++;
            }
        }
        return load_unicode_glyph(font.face, font.metrics, c, glyph);
    }

  private:
    LPCWSTR text_;
    int count_;
    int i_ = 0;
};

template <typename Characters> int text_width(const CurrentFont &font, Characters characters) {
    int width = 0;
    Glyph glyph;
    while (!characters.done()) {
        if (characters.next(font, &glyph)) {
            width += glyph.advance;
        }
    }
    return width;
}

AnsiCharacters characters_of(LPCSTR text, int count) {
    return AnsiCharacters(text, count);
}
WideCharacters characters_of(LPCWSTR text, int count) {
    return WideCharacters(text, count);
}

// GetTextExtentPointA and GetTextExtentPoint32W.
template <typename Unit> BOOL text_extent(HDC dc, const Unit *text, int count, LPSIZE size) {
    CurrentFont font;
    if (!size || count < 0 || (count > 0 && !text) || !current_font(dc, &font)) {
        return FALSE;
    }
    size->cx = text_width(font, characters_of(text, count));
    size->cy = font.metrics.ascent + font.metrics.descent;
    return TRUE;
}

// TextOutA and TextOutW.
template <typename Unit> BOOL text_out(HDC dc, int x, int y, const Unit *text, int count) {
    CurrentFont font;
    PixelTarget target;
    const DeviceContext *context = find_dc(dc);
    if (count < 0 || (count > 0 && !text) || !context || !current_font(dc, &font) ||
        !dc_target(dc, &target)) {
        return FALSE;
    }
    const FontMetrics &m = font.metrics;
    if (static_cast<int64_t>(y) >= target.height ||
        static_cast<int64_t>(y) + m.ascent + m.descent <= 0) {
        return TRUE; // the whole cell is above or below the target
    }
    if (context->bk_mode == OPAQUE) {
        const SpanWriter background(target, pixel_of(context->bk_color));
        const int64_t right =
            static_cast<int64_t>(x) + text_width(font, characters_of(text, count));
        for (int64_t row = y; row < static_cast<int64_t>(y) + m.ascent + m.descent; row++) {
            background.span(row, x, right);
        }
    }
    const uint32_t ink = pixel_of(context->text_color);
    const int64_t baseline = static_cast<int64_t>(y) + m.ascent;
    int64_t pen = x;
    Glyph g;
    for (auto characters = characters_of(text, count); !characters.done() && pen < target.width;) {
        if (!characters.next(font, &g)) {
            continue;
        }
        // The glyph's columns and rows that land on the target.
        const int64_t left = pen + g.left;
        const int64_t first_col = std::max<int64_t>(0, -left);
        const int64_t end_col = std::min<int64_t>(g.width, target.width - left);
        // The padding of a row has zero coverage, which leaves pixels as they
        // are: its last group of four may run into it while the group stays
        // on the target's row.
        int64_t padded_end = first_col + (end_col - first_col + 3) / 4 * 4;
        if (padded_end > g.pitch || left + padded_end > target.width) {
            padded_end = end_col;
        }
        for (int row = 0; row < g.rows && first_col < end_col; row++) {
            const int64_t ty = baseline - g.top + row;
            if (ty < 0 || ty >= target.height) {
                continue;
            }
            const unsigned char *cover = g.coverage + static_cast<int64_t>(row) * g.pitch;
            blend_row(target.pixels + ty * target.width + left + first_col, cover + first_col,
                      padded_end - first_col, ink);
        }
        pen += g.advance;
    }
    target_changed(dc);
    return TRUE;
}

} // namespace

} // namespace portable_win32

using namespace portable_win32;

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strike_out, DWORD charset,
                         DWORD out_precision, DWORD clip_precision, DWORD quality,
                         DWORD pitch_and_family, LPCSTR face_name) {
    (void)width, (void)escapement, (void)orientation, (void)italic, (void)underline;
    (void)strike_out, (void)charset, (void)out_precision, (void)clip_precision, (void)quality;
    std::unique_ptr<GdiObject> font = new_gdi_object(GdiObject::FONT);
    font->font_height = height;
    font->font_weight = weight;
    font->fixed_pitch = (pitch_and_family & 0x3) == FIXED_PITCH;
    if (face_name) {
        font->face_name.assign(face_name, strnlen(face_name, LF_FACESIZE - 1));
    }
    return static_cast<HFONT>(add_gdi_object(std::move(font)));
}

BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
    CurrentFont font;
    if (!metrics || !current_font(dc, &font)) {
        return FALSE;
    }
    const FontMetrics &m = font.metrics;
    const GdiObject *f = font.font;
    *metrics = TEXTMETRICA{};
    metrics->tmHeight = m.ascent + m.descent;
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.descent;
    metrics->tmInternalLeading = m.internal_leading;
    metrics->tmExternalLeading = m.external_leading;
    metrics->tmAveCharWidth = m.average_width;
    metrics->tmMaxCharWidth = m.max_width;
    metrics->tmWeight = f->font_weight ? f->font_weight : FW_NORMAL;
    metrics->tmDigitizedAspectX = 96;
    metrics->tmDigitizedAspectY = 96;
    metrics->tmFirstChar = 0x20;
    metrics->tmLastChar = 0xFF;
    metrics->tmDefaultChar = 0x1F;
    metrics->tmBreakChar = 0x20;
    // As in Win32, the pitch bit is set for a variable-pitch font.
    metrics->tmPitchAndFamily = f->fixed_pitch ? 0x36 : 0x27;
    return TRUE;
}

BOOL WINAPI GetTextExtentPointA(HDC dc, LPCSTR text, int count, LPSIZE size) {
    return text_extent(dc, text, count, size);
}

BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    return text_extent(dc, text, count, size);
}

int WINAPI GetTextFaceA(HDC dc, int count, LPSTR face_name) {
    CurrentFont font;
    if (!current_font(dc, &font)) {
        return 0;
    }
    const std::string family = face_family(font.face);
    if (!face_name) {
        return static_cast<int>(family.size()) + 1;
    }
    if (count <= 0) {
        return 0;
    }
    const std::size_t copied = std::min(family.size(), static_cast<std::size_t>(count - 1));
    std::memcpy(face_name, family.data(), copied);
    face_name[copied] = '\0';
    return static_cast<int>(copied);
}

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
    return text_out(dc, x, y, text, count);
}

BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    return text_out(dc, x, y, text, count);
}
