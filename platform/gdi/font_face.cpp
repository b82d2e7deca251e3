// Faces loaded with FreeType (their files found by font_files.h), and their
// Windows-style metrics.
#include "platform/gdi/font_face.h"
#include "platform/gdi/font_files.h"

#include <algorithm>
#include <cmath>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace portable_win32 {

struct FontFace {
    FT_Face face = nullptr;
    std::string family;
};

namespace {

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) {
            return static_cast<FT_Library>(nullptr);
        }
        return l;
    }();
    return lib;
}

int round_half_up(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

// The face for a name, weight and pitch, loaded on first use and kept.
FontFace *find_face(std::map<std::string, std::unique_ptr<FontFace>> &cache,
                    const std::string &face_name, bool bold, bool fixed_pitch) {
    const std::string key = face_name + (bold ? "|bold" : "|") + (fixed_pitch ? "|fixed" : "");
    auto cached = cache.find(key);
    if (cached != cache.end()) {
        return cached->second.get();
    }
    // The requested face when it is installed; otherwise the faces that Wine
    // substitutes, then whatever fontconfig offers.
    std::vector<std::pair<std::string, bool>> candidates;
    if (!face_name.empty() && !fixed_pitch) {
        candidates.push_back({face_name, true});
    }
    if (fixed_pitch) {
        candidates.push_back({"Liberation Mono", true});
        candidates.push_back({"DejaVu Sans Mono", true});
        candidates.push_back({"monospace", false});
    } else {
        candidates.push_back({"Liberation Sans", true});
        candidates.push_back({"DejaVu Sans", true});
        candidates.push_back({"sans-serif", false});
    }
    FontFace *resolved = nullptr;
    for (const auto &candidate : candidates) {
        std::string path, family;
        int index = 0;
        if (!library() ||
            !find_font_file(candidate.first, bold, candidate.second, &path, &index, &family)) {
            continue;
        }
        FT_Face face = nullptr;
        if (FT_New_Face(library(), path.c_str(), index, &face) != 0) {
            continue;
        }
        auto f = std::make_unique<FontFace>();
        f->face = face;
        f->family = family;
        resolved = f.get();
        cache[key] = std::move(f);
        break;
    }
    if (!resolved) {
        cache[key] = nullptr;
    }
    return resolved;
}

} // namespace

FontFace *resolve_face(const std::string &face_name, int weight, bool fixed_pitch) {
    static std::map<std::string, std::unique_ptr<FontFace>> cache;
    const bool bold = weight >= 600;
    // Programs ask for one face over and over (a font per text drawn): the
    // last answer is kept in front of the cache.
    struct Answer {
        bool valid = false;
        std::string name;
        bool bold = false;
        bool fixed_pitch = false;
        FontFace *face = nullptr;
    };
    static Answer last;
    if (!last.valid || bold != last.bold || fixed_pitch != last.fixed_pitch ||
        face_name != last.name) {
        last.face = find_face(cache, face_name, bold, fixed_pitch);
        last.name = face_name;
        last.bold = bold;
        last.fixed_pitch = fixed_pitch;
        last.valid = true;
    }
    return last.face;
}

std::string face_family(const FontFace *face) {
    return face ? face->family : std::string();
}

namespace {

FontMetrics compute_metrics(const FontFace *face, int height) {
    FontMetrics m;
    if (height == 0) {
        height = 16;
    }
    // Windows sizes a cell by the OS/2 table's Windows ascent and descent.
    double em = 2048, win_ascent = 1854, win_descent = 434, line_gap = 67, hhea_height = 2288;
    double average = 1176, bbox_width = 3780;
    if (face && face->face) {
        const FT_Face f = face->face;
        em = f->units_per_EM ? f->units_per_EM : 2048;
        win_ascent = f->ascender;
        win_descent = -f->descender;
        hhea_height = f->ascender - f->descender;
        line_gap = f->height - hhea_height;
        bbox_width = f->bbox.xMax - f->bbox.xMin;
        average = em / 2;
        if (auto *os2 = static_cast<TT_OS2 *>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2))) {
            if (os2->usWinAscent + os2->usWinDescent > 0) {
                win_ascent = os2->usWinAscent;
                win_descent = os2->usWinDescent;
            }
            if (os2->xAvgCharWidth > 0) {
                average = os2->xAvgCharWidth;
            }
        }
        if (auto *hhea = static_cast<TT_HoriHeader *>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA))) {
            hhea_height = hhea->Ascender - hhea->Descender;
            line_gap = hhea->Line_Gap;
        }
    }
    // Heights are bounded so that no size overflows the metrics.
    const double bounded = std::min(std::abs(static_cast<double>(height)), 2048.0);
    const double scale =
        height < 0 ? bounded / em : bounded / std::max(1.0, win_ascent + win_descent);
    m.ppem = std::max(1, round_half_up(em * scale));
    m.ascent = round_half_up(win_ascent * scale);
    m.descent = round_half_up(win_descent * scale);
    const double gap = line_gap - ((win_ascent + win_descent) - hhea_height);
    m.external_leading = std::max(0, round_half_up(gap * scale));
    m.internal_leading = std::max(0, round_half_up((win_ascent + win_descent - em) * scale));
    // A fixed-pitch face's characters are as wide as its hinted advance.
    const bool fixed = face && face->face && FT_IS_FIXED_WIDTH(face->face);
    m.average_width = round_half_up(average * (fixed ? m.ppem / em : scale));
    m.max_width = round_half_up(bbox_width * scale);
    return m;
}

} // namespace

FontMetrics face_metrics(FontFace *face, int height) {
    // Text is measured and drawn at a handful of sizes, every frame: the
    // metrics of each face and height are worked out once. Bounded, like the
    // glyph cache below.
    static std::map<std::pair<const FontFace *, int>, FontMetrics> cache;
    const auto key = std::make_pair(static_cast<const FontFace *>(face), height);
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() >= 256) {
            cache.clear();
        }
        it = cache.emplace(key, compute_metrics(face, height)).first;
    }
    return it->second;
}

namespace {

// Rendered glyphs are kept per face and size: text is drawn and measured
// again every frame, and rendering is the costly part.
struct CachedGlyph {
    bool loaded = false;
    bool valid = false;
    Glyph glyph;
    std::vector<unsigned char> coverage;
};

struct SizeCache {
    CachedGlyph glyphs[256]; // the characters of Windows-1252, by byte
    // Every other character, looked up by code point; bounded like the sizes.
    std::unordered_map<char32_t, CachedGlyph> others;
};

// Bounds the cache: at most this many face and size pairs are kept, and at
// most this many characters beyond Windows-1252 for each.
const std::size_t CACHED_SIZES = 64;
const std::size_t CACHED_OTHERS = 1024;

// Windows-1252: Latin-1, except for the printable characters of 0x80..0x9F.
// A zero stands for a byte without a character there, which keeps its own
// value as its code point (a C1 control), as Windows converts it.
const uint16_t CP1252_HIGH[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t cp1252_code_point(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && CP1252_HIGH[byte - 0x80]) {
        return CP1252_HIGH[byte - 0x80];
    }
    return byte;
}

// The Windows-1252 byte of a character, or -1 when it has none.
int cp1252_byte(char32_t code_point) {
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
        return static_cast<int>(code_point);
    }
    if (code_point < 0xA0) {
        // A C1 control is the byte of its value only where that byte has no
        // character of its own.
        return CP1252_HIGH[code_point - 0x80] ? -1 : static_cast<int>(code_point);
    }
    for (int i = 0; i < 32; i++) {
        if (CP1252_HIGH[i] == code_point) {
            return 0x80 + i;
        }
    }
    return -1;
}

bool render_glyph(FontFace *face, int ppem, char32_t code_point, CachedGlyph *out) {
    const FT_Face f = face->face;
    // A character the face has no glyph for, and a surrogate on its own
    // (which is no character), get glyph 0: the face's missing glyph.
    const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
    const FT_Int32 flags = FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL;
    if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(ppem)) != 0 ||
        (surrogate ? FT_Load_Glyph(f, 0, flags) : FT_Load_Char(f, code_point, flags)) != 0) {
        return false;
    }
    const FT_GlyphSlot slot = f->glyph;
    Glyph &g = out->glyph;
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(slot->bitmap.width);
    g.rows = static_cast<int>(slot->bitmap.rows);
    // Kept row by row, top row first, each row padded with zero coverage to
    // a multiple of four columns, so that blending can take whole groups of
    // four pixels.
    g.pitch = (g.width + 3) / 4 * 4;
    out->coverage.assign(static_cast<std::size_t>(g.pitch) * g.rows, 0);
    for (int row = 0; row < g.rows; row++) {
        const unsigned char *src =
            slot->bitmap.buffer + static_cast<std::ptrdiff_t>(row) * slot->bitmap.pitch;
        std::copy(src, src + g.width, out->coverage.begin() + row * g.pitch);
    }
    return true;
}

// A text's glyphs all come from one face and size: the last pair looked up
// is kept in front of the map, and checked inline.
struct LastSize {
    FontFace *face = nullptr;
    int ppem = 0;
    SizeCache *glyphs = nullptr;
};
LastSize last_size;

SizeCache *find_size_cache(FontFace *face, int ppem) {
    static std::map<std::pair<FontFace *, int>, std::unique_ptr<SizeCache>> cache;
    const auto key = std::make_pair(face, ppem);
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() >= CACHED_SIZES) {
            cache.clear();
        }
        it = cache.emplace(key, std::make_unique<SizeCache>()).first;
    }
    last_size.face = face;
    last_size.ppem = ppem;
    last_size.glyphs = it->second.get();
    return last_size.glyphs;
}

inline SizeCache *size_cache(FontFace *face, int ppem) {
    if (last_size.glyphs && last_size.face == face && last_size.ppem == ppem) {
        return last_size.glyphs;
    }
    return find_size_cache(face, ppem);
}

// Renders a cached glyph on first use.
void render_once(FontFace *face, int ppem, char32_t code_point, CachedGlyph &cached) {
    cached.loaded = true;
    cached.valid = render_glyph(face, ppem, code_point, &cached);
}

bool hand_out(const CachedGlyph &cached, Glyph *glyph) {
    if (!cached.valid) {
        return false;
    }
    *glyph = cached.glyph;
    glyph->coverage = cached.coverage.data();
    return true;
}

} // namespace

bool load_glyph(FontFace *face, const FontMetrics &metrics, unsigned char byte, Glyph *glyph) {
    if (!face || !face->face) {
        return false;
    }
    CachedGlyph &cached = size_cache(face, metrics.ppem)->glyphs[byte];
    if (!cached.loaded) {
        render_once(face, metrics.ppem, cp1252_code_point(byte), cached);
    }
    return hand_out(cached, glyph);
}

bool load_unicode_glyph(FontFace *face, const FontMetrics &metrics, char32_t code_point,
                        Glyph *glyph) {
    const int byte = cp1252_byte(code_point);
    if (byte >= 0) {
        // The very glyph the byte gives, from the same cache entry.
        return load_glyph(face, metrics, static_cast<unsigned char>(byte), glyph);
    }
    if (!face || !face->face) {
        return false;
    }
    SizeCache *sizes = size_cache(face, metrics.ppem);
    auto it = sizes->others.find(code_point);
    if (it == sizes->others.end()) {
        if (sizes->others.size() >= CACHED_OTHERS) {
            sizes->others.clear();
        }
        it = sizes->others.emplace(code_point, CachedGlyph()).first;
    }
    if (!it->second.loaded) {
        render_once(face, metrics.ppem, code_point, it->second);
    }
    return hand_out(it->second, glyph);
}

} // namespace portable_win32
