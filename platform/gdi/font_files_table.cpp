// Font files found in a fixed table: the faces a web page carries in its
// data (under /fonts), where no fontconfig exists. The files are the ones the
// desktop's fontconfig picks, so text draws to the same pixels.
#include "platform/gdi/font_files.h"

#include <strings.h>
#include <sys/stat.h>

namespace portable_win32 {

namespace {

struct FontFile {
    const char *family;
    bool bold;
    const char *path;
};

// Regular faces only: the package asks for no other weight, and a bold
// request gets the regular face (as fontconfig gives one when no bold exists).
const FontFile FILES[] = {
    {"Liberation Sans", false, "/fonts/LiberationSans-Regular.ttf"},
    {"Liberation Mono", false, "/fonts/LiberationMono-Regular.ttf"},
};

// The family a generic name or an unknown one falls back to.
const char *fallback_family(const std::string &family) {
    const bool mono =
        strcasecmp(family.c_str(), "monospace") == 0 || strcasecmp(family.c_str(), "mono") == 0;
    return mono ? "Liberation Mono" : "Liberation Sans";
}

bool present(const char *path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

const FontFile *lookup(const char *family, bool bold) {
    const FontFile *any_weight = nullptr;
    for (const FontFile &f : FILES) {
        if (strcasecmp(f.family, family) != 0 || !present(f.path)) {
            continue;
        }
        if (f.bold == bold) {
            return &f;
        }
        any_weight = any_weight ? any_weight : &f;
    }
    return any_weight;
}

} // namespace

bool find_font_file(const std::string &family, bool bold, bool exact, std::string *path, int *index,
                    std::string *found_family) {
    const FontFile *f = lookup(family.c_str(), bold);
    if (!f && !exact) {
        f = lookup(fallback_family(family), bold);
    }
    if (!f) {
        return false;
    }
    *path = f->path;
    *index = 0;
    *found_family = f->family;
    return true;
}

} // namespace portable_win32
