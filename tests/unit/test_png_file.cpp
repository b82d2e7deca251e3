// PNG pictures of client pixels: read back pixel for pixel, the same bytes
// for the same pixels, and a write that fails says why and leaves nothing
// of its own behind, but never removes what the path named before.
#include "platform/backend/replay/png_file.h"
#include "tests/support/scratch_directory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <png.h>
#include <sstream>
#include <string>
#include <vector>

using namespace portable_win32;

namespace fs = std::filesystem;

namespace {

std::vector<uint32_t> test_pixels(int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            pixels.push_back(static_cast<uint32_t>((x * 37) << 16 | (y * 11) << 8 | (x ^ y)) &
                             0xFFFFFF);
        }
    }
    return pixels;
}

std::string bytes_of(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(PngFile, ReadsBackAsThePixelsWritten) {
    ScratchDirectory scratch;
    const int width = 7;
    const int height = 5;
    const std::vector<uint32_t> pixels = test_pixels(width, height);
    std::string error;
    ASSERT_TRUE(write_png_file("picture.png", pixels.data(), width, height, &error)) << error;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, "picture.png"));
    EXPECT_EQ(image.width, 7u);
    EXPECT_EQ(image.height, 5u);
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    for (std::size_t i = 0; i < pixels.size(); i++) {
        const uint32_t read =
            static_cast<uint32_t>(rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2]);
        ASSERT_EQ(read, pixels[i]) << "pixel " << i;
    }
}

TEST(PngFile, SamePixelsGiveTheSameBytes) {
    ScratchDirectory scratch;
    const std::vector<uint32_t> pixels = test_pixels(64, 48);
    std::string error;
    ASSERT_TRUE(write_png_file("a.png", pixels.data(), 64, 48, &error));
    ASSERT_TRUE(write_png_file("b.png", pixels.data(), 64, 48, &error));
    EXPECT_EQ(bytes_of("a.png"), bytes_of("b.png"));
}

TEST(PngFile, AFailedWriteSaysWhyAndKeepsWhatThePathNamed) {
    ScratchDirectory scratch;
    const std::vector<uint32_t> pixels = test_pixels(64, 48);
    std::string error;
    EXPECT_FALSE(write_png_file("no-such-folder/picture.png", pixels.data(), 64, 48, &error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;

    // A full device behind a link: the write fails, and the link (like the
    // device) is still there.
    fs::create_symlink("/dev/full", "full.png");
    error.clear();
    EXPECT_FALSE(write_png_file("full.png", pixels.data(), 64, 48, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(fs::is_symlink("full.png"));

    EXPECT_FALSE(write_png_file("empty.png", pixels.data(), 0, 48, &error));
    EXPECT_FALSE(fs::exists("empty.png"));
}

} // namespace
