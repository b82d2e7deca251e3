// Faces through fontconfig and FreeType, and their Windows-style metrics.
#include "platform/gdi/font_face.h"

#include <algorithm>
#include <cmath>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <map>
#include <memory>
#include <strings.h>
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

// Finds an installed font file of this family; `exact` refuses fontconfig's
// substitutes.
bool find_file(const std::string &family, bool bold, bool exact, std::string *path, int *index,
               std::string *found_family) {
    if (!FcInit()) {
        return false;
    }
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) {
        return false;
    }
    FcChar8 *file = nullptr;
    FcChar8 *matched_family = nullptr;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
              FcPatternGetString(match, FC_FAMILY, 0, &matched_family) == FcResultMatch;
    if (ok && exact && strcasecmp(reinterpret_cast<const char *>(matched_family), family.c_str())) {
        ok = false;
    }
    if (ok) {
        *path = reinterpret_cast<const char *>(file);
        *found_family = reinterpret_cast<const char *>(matched_family);
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) {
            *index = 0;
        }
    }
    FcPatternDestroy(match);
    return ok;
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
            !find_file(candidate.first, bold, candidate.second, &path, &index, &family)) {
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
    CachedGlyph glyphs[256];
};

// Bounds the cache: at most this many face and size pairs are kept.
const std::size_t CACHED_SIZES = 64;

bool render_glyph(FontFace *face, int ppem, unsigned char byte, CachedGlyph *out) {
    // Windows-1252: Latin-1, except for the printable characters of 0x80..0x9F.
    static const uint16_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    FT_ULong code = byte;
    if (byte >= 0x80 && byte < 0xA0) {
        code = high[byte - 0x80] ? high[byte - 0x80] : byte;
    }
    const FT_Face f = face->face;
    if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(ppem)) != 0 ||
        FT_Load_Char(f, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
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

} // namespace

bool load_glyph(FontFace *face, const FontMetrics &metrics, unsigned char byte, Glyph *glyph) {
    if (!face || !face->face) {
        return false;
    }
    static std::map<std::pair<FontFace *, int>, std::unique_ptr<SizeCache>> cache;
    // A text's glyphs all come from one face and size: the last one looked
    // up is kept in front of the map.
    static std::pair<FontFace *, int> last_key(nullptr, 0);
    static SizeCache *last = nullptr;
    const auto key = std::make_pair(face, metrics.ppem);
    if (!last || key != last_key) {
        auto it = cache.find(key);
        if (it == cache.end()) {
            if (cache.size() >= CACHED_SIZES) {
                cache.clear();
            }
            it = cache.emplace(key, std::make_unique<SizeCache>()).first;
        }
        last_key = key;
        last = it->second.get();
    }
    CachedGlyph &cached = last->glyphs[byte];
    if (!cached.loaded) {
        cached.loaded = true;
        cached.valid = render_glyph(face, metrics.ppem, byte, &cached);
    }
    if (!cached.valid) {
        return false;
    }
    *glyph = cached.glyph;
    glyph->coverage = cached.coverage.data();
    return true;
}

} // namespace portable_win32
