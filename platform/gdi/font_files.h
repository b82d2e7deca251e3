// Where a font family's file is: fontconfig on a desktop, a fixed table of
// the files shipped in a web page's data. One of font_files_fontconfig.cpp
// and font_files_table.cpp is built.
#pragma once

#include <string>

namespace portable_win32 {

// Finds a font file of this family and weight; `exact` refuses substitutes
// (another family standing in for the one named). The file's path, the face's
// index inside it and the family found.
bool find_font_file(const std::string &family, bool bold, bool exact, std::string *path, int *index,
                    std::string *found_family);

} // namespace portable_win32
