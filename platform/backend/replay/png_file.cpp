// PNG files of client pixels, through libpng.
#include "platform/backend/replay/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace portable_win32 {

namespace {

struct PngError {
    std::string message;
};

void on_png_error(png_structp png, png_const_charp message) {
    static_cast<PngError *>(png_get_error_ptr(png))->message = message;
    png_longjmp(png, 1);
}

void on_png_warning(png_structp, png_const_charp) {}

// Everything libpng does happens here, so that its longjmp on an error
// leaves no C++ object with a destructor behind.
bool encode(std::FILE *file, const uint32_t *pixels, int width, int height, unsigned char *row,
            PngError *failure) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, failure, on_png_error, on_png_warning);
    if (!png) {
        failure->message = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 6);
    // Rows unfiltered: the picture reads back with nothing but inflating,
    // which keeps grading a class cheap; the scenes compress as well.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; y++) {
        const uint32_t *source = pixels + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; x++) {
            row[3 * x] = static_cast<unsigned char>(source[x] >> 16);
            row[3 * x + 1] = static_cast<unsigned char>(source[x] >> 8);
            row[3 * x + 2] = static_cast<unsigned char>(source[x]);
        }
        png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool write_png_file(const std::string &path, const uint32_t *pixels, int width, int height,
                    std::string *error) {
    if (width <= 0 || height <= 0) {
        *error = "the window has no client area";
        return false;
    }
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    PngError failure;
    bool ok = encode(file, pixels, width, height, row.data(), &failure);
    if (!ok) {
        *error = failure.message;
    }
    if (std::ferror(file) && ok) {
        ok = false;
        *error = std::strerror(errno);
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        *error = std::strerror(errno);
    }
    // A partial picture is removed; anything else that was named (a device,
    // a pipe) is left alone.
    std::error_code regular_error;
    if (!ok && std::filesystem::is_regular_file(path, regular_error)) {
        std::remove(path.c_str());
    }
    return ok;
}

} // namespace portable_win32
