// Font faces behind the layer's fonts: a face found by name through
// fontconfig (with Wine's substitutes when the name is not installed),
// loaded with FreeType, and its Windows-style metrics at a given height.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>

namespace portable_win32 {

struct FontFace; // a loaded FreeType face; lives for the whole process

struct FontMetrics {
    int ppem = 0;             // pixels per em: the character height
    int ascent = 0;           // cell rows above the baseline
    int descent = 0;          // cell rows below it
    int internal_leading = 0; // cell rows above the em square
    int external_leading = 0;
    int average_width = 0;
    int max_width = 0;
};

// The face for a font's face name, weight and pitch; null only when no
// font at all can be loaded.
FontFace *resolve_face(const std::string &face_name, int weight, bool fixed_pitch);
std::string face_family(const FontFace *face);

// Metrics for a Win32 font height: negative asks for a character height,
// positive for a cell height, 0 for the default cell of 16 pixels.
FontMetrics face_metrics(FontFace *face, int height);

// One glyph at the metrics' size: its coverage bitmap (0..255 per pixel) and
// where it goes relative to the pen position on the baseline.
struct Glyph {
    int advance = 0;
    int left = 0; // bitmap's left column relative to the pen
    int top = 0;  // bitmap's top row above the baseline
    int width = 0;
    int rows = 0;
    int pitch = 0; // bytes from one row to the next: a multiple of 4, padded with zeros
    const unsigned char *coverage = nullptr;
};

// The glyph of a Windows-1252 byte's character. A character the face lacks
// gets the face's missing glyph. The coverage stays valid until the next load.
bool load_glyph(FontFace *face, const FontMetrics &metrics, unsigned char byte, Glyph *glyph);
// The glyph of a Unicode code point: for a character of Windows-1252 the same
// glyph as its byte's; a surrogate on its own gets the missing glyph.
bool load_unicode_glyph(FontFace *face, const FontMetrics &metrics, char32_t code_point,
                        Glyph *glyph);

} // namespace portable_win32
