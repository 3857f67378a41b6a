#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "imaging/image_file.h"
#include "support/engine_fixture.h"

namespace calv::test {
namespace {

namespace fs = std::filesystem;

// Damaged copies of a file of every format: each must decode or fail cleanly (the
// sanitizer build checks that nothing is read or written out of bounds).
TEST(BadFilesTest, TruncatedAndCorruptedFilesFailCleanly) {
    const fs::path dir = fs::temp_directory_path() / ("calv_bad_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::vector<uint8_t> rgb(19 * 11 * 3), rgba(19 * 11 * 4);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 7);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i * 5);
    struct Case {
        const char* extension;
        int channels;
    } cases[] = {{".bmp", 3}, {".png", 3}, {".jpg", 3}, {".gif", 3}, {".pcx", 3}, {".psd", 3},
                 {".emf", 3}, {".png", 4}, {".tga", 4}, {".tif", 4}};
    std::mt19937 rng(99);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        const std::string file = (dir / (std::string("f") + c.extension)).string();
        ASSERT_EQ(c.channels == 3 ? CVX_WriteToFileRGB24(rgb.data(), 19, 11, file.c_str(), c.extension, 72)
                                  : CVX_WriteToFileRGBA32(rgba.data(), 19, 11, file.c_str(), c.extension, 72),
                  1);
        std::vector<uint8_t> good;
        ASSERT_TRUE(readFileBytes(file.c_str(), good));
        DecodedImage image;
        ASSERT_TRUE(decodeImage(good.data(), good.size(), image));
        // Every truncation, then random byte damage.
        for (size_t length = 0; length < good.size(); length += std::max<size_t>(1, good.size() / 97)) {
            DecodedImage out;
            if (decodeImage(good.data(), length, out)) {
                EXPECT_EQ(out.rgba.size(), size_t(out.width) * out.height * 4);
            }
            decodeResolution(good.data(), length);
        }
        for (int trial = 0; trial < 300; ++trial) {
            std::vector<uint8_t> bad = good;
            for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] = uint8_t(rng());
            DecodedImage out;
            if (decodeImage(bad.data(), bad.size(), out)) {
                EXPECT_EQ(out.rgba.size(), size_t(out.width) * out.height * 4);
            }
            decodeResolution(bad.data(), bad.size());
        }
    }
    fs::remove_all(dir);
}

// Headers that declare enormous pictures are refused before anything is allocated.
TEST(BadFilesTest, GiantDeclaredSizesAreRefused) {
    std::vector<uint8_t> bmp(54 + 16, 0);
    bmp[0] = 'B', bmp[1] = 'M', bmp[10] = 54, bmp[14] = 40;
    bmp[18] = 0xFF, bmp[19] = 0xFF, bmp[20] = 0xFF, bmp[21] = 0x7F;  // width 2^31 - 1
    bmp[22] = 0xFF, bmp[23] = 0xFF, bmp[24] = 0xFF, bmp[25] = 0x7F;
    bmp[26] = 1, bmp[28] = 24;
    DecodedImage out;
    EXPECT_FALSE(decodeImage(bmp.data(), bmp.size(), out));
    std::vector<uint8_t> psd = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0x7F, 0xFF, 0xFF, 0xFF,
                                0x7F, 0xFF, 0xFF, 0xFF, 0, 8, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(decodeImage(psd.data(), psd.size(), out));
    std::vector<uint8_t> tga(18 + 16, 0);
    tga[2] = 2, tga[12] = 0xFF, tga[13] = 0xFF, tga[14] = 0xFF, tga[15] = 0xFF, tga[16] = 32;  // 65535 x 65535
    EXPECT_FALSE(decodeImage(tga.data(), tga.size(), out));
    EXPECT_EQ(CVX_ReadFromFile("/nonexistent/picture.png"), 0);
    EXPECT_EQ(CVX_ReadFromFile(nullptr), 0);
}

}  // namespace
}  // namespace calv::test
