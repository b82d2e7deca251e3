// Font files found through fontconfig: the desktop's installed fonts.
#include "platform/gdi/font_files.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

namespace portable_win32 {

bool find_font_file(const std::string &family, bool bold, bool exact, std::string *path, int *index,
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

} // namespace portable_win32
