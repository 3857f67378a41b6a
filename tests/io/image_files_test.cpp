#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/image_file.h"
#include "support/engine_fixture.h"
#include "support/pil.h"

namespace calv::test {
namespace {

namespace fs = std::filesystem;

// A picture with gradients, a few flat areas and varying alpha.
std::vector<uint8_t> testPicture(int w, int h, int channels) {
    std::vector<uint8_t> p(size_t(w * h * channels));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* q = &p[size_t((y * w + x) * channels)];
            q[0] = uint8_t(x * 255 / (w - 1)), q[1] = uint8_t(y * 255 / (h - 1)), q[2] = uint8_t(x < w / 2 ? 40 : 200);
            if (channels == 4) q[3] = uint8_t(x == 0 ? 0 : 55 + (x + y) * 3);
        }
    return p;
}

// RGBA of a 3- or 4-byte picture, for comparing with the readers.
std::vector<uint8_t> asRGBA(const std::vector<uint8_t>& p, int channels) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < p.size(); i += size_t(channels)) {
        out.insert(out.end(), p.begin() + std::ptrdiff_t(i), p.begin() + std::ptrdiff_t(i + 3));
        out.push_back(channels == 4 ? p[i + 3] : 255);
    }
    return out;
}

int maxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return 256;
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}

class ImageFilesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        dir = fs::temp_directory_path() / ("calv_files_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::remove_all(dir);
        EngineTest::TearDown();
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    // Our own reader of a file: RGBA32 and its size.
    static bool readBack(const std::string& file, int& w, int& h, std::vector<uint8_t>& rgba) {
        if (!CVX_ReadFromFile(file.c_str())) return false;
        w = CVX_GetNewRGBAWidth(), h = CVX_GetNewRGBAHeight();
        rgba.resize(size_t(w * h * 4));
        CVX_GetNewRGBA32(rgba.data());
        return true;
    }
    fs::path dir;
};

TEST_F(ImageFilesTest, EveryWriterIsReadBackByPilAndByUs) {
    const int w = 37, h = 23;
    struct Case {
        const char* extension;
        int channels;
        int tolerance;   // 0: lossless; GIF's 256 colours of a picture with 851
        bool pilReads;   // PIL has no metafile decoder here
        double dpi;      // what PIL reports, 0 for formats that keep none
    } cases[] = {
        {".bmp", 3, 0, true, 300}, {".PNG", 3, 0, true, 300}, {".jpg", 3, 12, true, 300}, {".gif", 3, 48, true, 0},
        {".pcx", 3, 0, true, 72},   {".psd", 3, 0, true, 0},   {".emf", 3, 0, false, 0}, {".wmf", 3, 0, false, 0},
        {".png", 4, 0, true, 300}, {".tga", 4, 0, true, 0},   {".tif", 4, 0, true, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.extension) + " " + std::to_string(c.channels));
        const std::vector<uint8_t> pixels = testPicture(w, h, c.channels);
        const std::string file = path(std::string("picture") + std::to_string(c.channels) + c.extension);
        const int32_t written = c.channels == 3 ? CVX_WriteToFileRGB24(pixels.data(), w, h, file.c_str(), c.extension, 300)
                                                : CVX_WriteToFileRGBA32(pixels.data(), w, h, file.c_str(), c.extension, 300);
        ASSERT_EQ(written, 1);
        const std::vector<uint8_t> expected = asRGBA(pixels, c.channels);
        int rw = 0, rh = 0;
        std::vector<uint8_t> ours;
        ASSERT_TRUE(readBack(file, rw, rh, ours));
        EXPECT_EQ(rw, w);
        EXPECT_EQ(rh, h);
        EXPECT_LE(maxDifference(ours, expected), c.tolerance);
        if (c.pilReads) {
            const PilPicture pil = pilDecode(file);
            ASSERT_TRUE(pil.ok);
            EXPECT_EQ(pil.width, w);
            EXPECT_LE(maxDifference(pil.rgba, expected), c.tolerance);
            EXPECT_LE(maxDifference(pil.rgba, ours), c.extension == std::string(".jpg") ? 2 : 0);
            EXPECT_NEAR(pil.dpi, c.dpi, 0.01);
            EXPECT_EQ(CVX_GetDPIFromFile(file.c_str()), c.dpi == 300 ? 300 : 72);
        }
    }
    EXPECT_EQ(CVX_WriteToFileRGB24(testPicture(w, h, 3).data(), w, h, path("x.tga").c_str(), ".tga", 72), 0);
    EXPECT_EQ(CVX_WriteToFileRGB24(testPicture(w, h, 3).data(), w, h, path("x.xyz").c_str(), ".xyz", 72), 0);
}

TEST_F(ImageFilesTest, RealFilesFromDebianPackagesDecodeAsPilDoes) {
    const std::string samples = std::string(CALV_SOURCE_DIR) + "/.cache/debian-samples/";
    const std::string docs = "/usr/share/doc/libtiff-doc/manual/_images/";
    const std::string files[] = {
        "/usr/share/doc/libpng-dev/examples/pngtest.png", "/usr/share/pixmaps/debian-logo.png", docs + "bali.jpg",
        docs + "smallliz.jpg", docs + "cat.gif", docs + "ring.gif", docs + "leica.png", samples + "multipage.tif",
        samples + "pilrc.bmp",
    };
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(fs::exists(file)) << "scripts/setup.sh provides it";
        const PilPicture pil = pilDecode(file);
        ASSERT_TRUE(pil.ok);
        int w = 0, h = 0;
        std::vector<uint8_t> ours;
        ASSERT_TRUE(readBack(file, w, h, ours));
        EXPECT_EQ(w, pil.width);
        EXPECT_EQ(h, pil.height);
        EXPECT_EQ(maxDifference(ours, pil.rgba), 0);
    }
}

// The readers' seed pictures (ours, and variants PIL wrote: 1- and 8-bit BMP, run-length and
// grey TGA, paletted PCX, grey and PackBits TIFF, progressive JPEG, transparent GIF).
TEST_F(ImageFilesTest, FuzzSeedsDecodeAsPilDoes) {
    int checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(std::string(CALV_SOURCE_DIR) + "/fuzz/corpus")) {
        const std::string file = entry.path().string();
        if (!entry.is_regular_file() || entry.path().filename().string().rfind("seed-", 0) != 0 ||
            entry.path().extension() == ".emf")
            continue;
        SCOPED_TRACE(file);
        const PilPicture pil = pilDecode(file);
        ASSERT_TRUE(pil.ok);
        int w = 0, h = 0;
        std::vector<uint8_t> ours;
        ASSERT_TRUE(readBack(file, w, h, ours));
        EXPECT_EQ(maxDifference(ours, pil.rgba), 0);
        ++checked;
    }
    EXPECT_GE(checked, 18);
}

// Patches bytes of a file in place.
void patch(const std::string& file, size_t at, std::vector<uint8_t> bytes) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(std::streamoff(at));
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST_F(ImageFilesTest, ResolutionsAreSnapped) {
    const std::vector<uint8_t> p = testPicture(8, 8, 3);
    // A JPEG per centimetre at 118: trunc(118 x 2.54) = 299, snapped to 300.
    const std::string jpg = path("r.jpg");
    ASSERT_EQ(CVX_WriteToFileRGB24(p.data(), 8, 8, jpg.c_str(), ".jpg", 72), 1);
    patch(jpg, 13, {2, 0, 118, 0, 118});
    EXPECT_EQ(CVX_GetDPIFromFile(jpg.c_str()), 300);
    // A PNG at 3780 dots per metre: 96.
    const std::string png = path("r.png");
    ASSERT_EQ(CVX_WriteToFileRGB24(p.data(), 8, 8, png.c_str(), ".png", 300), 1);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readFileBytes(png.c_str(), bytes));
    const size_t phys = std::string(bytes.begin(), bytes.end()).find("pHYs");
    ASSERT_NE(phys, std::string::npos);
    patch(png, phys + 4, {0, 0, 0x0E, 0xC4, 0, 0, 0x0E, 0xC4});
    EXPECT_EQ(CVX_GetDPIFromFile(png.c_str()), 96);
    // 240 dots per inch is not a common value: 72. So is a file that does not open.
    const std::string tif = path("r.tif");
    ASSERT_EQ(CVX_WriteToFileRGBA32(testPicture(8, 8, 4).data(), 8, 8, tif.c_str(), ".tif", 240), 1);
    EXPECT_EQ(CVX_GetDPIFromFile(tif.c_str()), 72);
    EXPECT_EQ(CVX_GetDPIFromFile(path("missing.png").c_str()), 72);
    const std::string bmp = path("r.bmp");
    ASSERT_EQ(CVX_WriteToFileRGB24(p.data(), 8, 8, bmp.c_str(), ".bmp", 150), 1);
    EXPECT_EQ(CVX_GetDPIFromFile(bmp.c_str()), 150);
}

TEST_F(ImageFilesTest, ThumbnailsAndWebPicturesFitTheirBoxes) {
    struct Case {
        int w, h, box[2];
        int thumb[2], web[2];
    } cases[] = {
        {400, 200, {800, 600}, {100, 50}, {400, 200}},
        {200, 400, {800, 600}, {50, 100}, {200, 400}},
        {640, 480, {800, 600}, {100, 75}, {640, 480}},
        {1280, 960, {800, 600}, {100, 75}, {800, 600}},
        {1000, 200, {300, 300}, {100, 20}, {300, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        const std::string src = path("src.png"), thumb = path("thumb.bmp"), web = path("web.jpg");
        ASSERT_EQ(CVX_WriteToFileRGB24(testPicture(c.w, c.h, 3).data(), c.w, c.h, src.c_str(), ".png", 72), 1);
        EXPECT_EQ(CVX_MakeThumbnail(src.c_str(), thumb.c_str()), 1);
        EXPECT_EQ(CVX_MakeWebPic(src.c_str(), web.c_str(), c.box[0], c.box[1]), 1);
        const PilPicture t = pilDecode(thumb), j = pilDecode(web);
        EXPECT_EQ(t.width, c.thumb[0]);
        EXPECT_EQ(t.height, c.thumb[1]);
        EXPECT_EQ(j.width, c.web[0]);
        EXPECT_EQ(j.height, c.web[1]);
    }
    EXPECT_EQ(CVX_MakeThumbnail(path("missing.png").c_str(), path("t.bmp").c_str()), 0);
}

TEST_F(ImageFilesTest, ReadingIntoBuffersNeedsTheExactSize) {
    const std::string file = path("s.png");
    const std::vector<uint8_t> p = testPicture(5, 4, 4);
    ASSERT_EQ(CVX_WriteToFileRGBA32(p.data(), 5, 4, file.c_str(), ".png", 72), 1);
    std::vector<uint8_t> small(5 * 3 * 3, 7);
    EXPECT_EQ(CVX_ReadFromFileRGB24(small.data(), 5, 3, file.c_str()), 0);
    EXPECT_EQ(small, std::vector<uint8_t>(5 * 3 * 3, 7));
    std::vector<uint8_t> rgb(5 * 4 * 3), rgba(5 * 4 * 4);
    EXPECT_EQ(CVX_ReadFromFileRGB24(rgb.data(), 5, 4, file.c_str()), 1);
    EXPECT_EQ(CVX_ReadFromFileRGBA32(rgba.data(), 5, 4, file.c_str()), 1);
    EXPECT_EQ(rgba, p);
    EXPECT_EQ(rgb[3], p[4]);  // pixel 1's red
    EXPECT_EQ(CVX_ReadFromFile(path("missing.png").c_str()), 0);
}

TEST_F(ImageFilesTest, TransferImage) {
    makeCanvas(6, 4);
    const std::string file = path("t.png");
    std::vector<uint8_t> p = testPicture(6, 4, 4);
    ASSERT_EQ(CVX_WriteToFileRGBA32(p.data(), 6, 4, file.c_str(), ".png", 72), 1);
    ASSERT_EQ(CVX_ReadFromFile(file.c_str()), 1);
    EXPECT_EQ(CVX_IsNewRGBA32Transparent(), 1);
    std::vector<uint8_t> rgb(6 * 4 * 3);
    CVX_GetNewRGBA24(rgb.data());
    EXPECT_EQ(rgb[3 * 7 + 1], p[4 * 7 + 1]);
    // Laid into the current layer through the mask: column 0 protected.
    for (int y = 0; y < 4; ++y) engine().mask.plane.at(0, y) = 0;
    CVX_SetInNewRGBA();
    EXPECT_EQ(pixel(2, 3, 1), (RGBA64{uint16_t(p[4 * 9] << 8), uint16_t(p[4 * 9 + 1] << 8), uint16_t(p[4 * 9 + 2] << 8),
                                      uint16_t(p[4 * 9 + 3] << 8)}));
    EXPECT_EQ(pixel(2, 0, 1).a, 0);
    // A flat picture stays flat when resized either way.
    std::vector<uint8_t> flat(8 * 8 * 4, 0);
    for (size_t i = 0; i < flat.size(); i += 4) flat[i] = 10, flat[i + 1] = 20, flat[i + 2] = 30, flat[i + 3] = 255;
    ASSERT_EQ(CVX_WriteToFileRGBA32(flat.data(), 8, 8, file.c_str(), ".png", 72), 1);
    ASSERT_EQ(CVX_ReadFromFile(file.c_str()), 1);
    EXPECT_EQ(CVX_IsNewRGBA32Transparent(), 0);
    for (int side : {3, 13}) {
        std::vector<uint8_t> out(size_t(side * side * 3), 0);
        CVX_GetResizedNewRGBA24(out.data(), side, side);
        for (size_t i = 0; i < out.size(); i += 3) ASSERT_EQ(out[i + 2], 30) << side;
    }
    CVX_DeleteNewRGBA();
    EXPECT_EQ(CVX_GetNewRGBAWidth(), 8);  // the size stays known
    EXPECT_EQ(CVX_IsNewRGBA32Transparent(), 0);
}

TEST_F(ImageFilesTest, MetafilesRenderAtTheCanvasSizeOverThePaintColour) {
    const std::string file = path("m.emf");
    std::vector<uint8_t> p(4 * 2 * 3, 0);
    for (size_t i = 0; i < p.size(); i += 3) p[i] = 200;  // red
    ASSERT_EQ(CVX_WriteToFileRGB24(p.data(), 4, 2, file.c_str(), ".emf", 72), 1);
    makeCanvas(8, 4);
    CVX_SetColor(0, 0, 255);
    ASSERT_EQ(CVX_ReadFromFile(file.c_str()), 1);
    EXPECT_EQ(CVX_GetNewRGBAWidth(), 8);
    EXPECT_EQ(CVX_GetNewRGBAHeight(), 4);
    std::vector<uint8_t> rgba(8 * 4 * 4);
    CVX_GetNewRGBA32(rgba.data());
    EXPECT_EQ(rgba[0], 200);
    EXPECT_EQ(rgba[3], 255);
}

TEST_F(ImageFilesTest, PageExportMatchesTheMergedCanvas) {
    makeCanvas(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) setPixel(2, x, y, {uint16_t(x * 9000), uint16_t(y * 12000), 30000, uint16_t(x * 9000)});
    std::vector<uint16_t> merged(7 * 5 * 4);
    CVX_Merge(merged.data());
    std::vector<uint8_t> expected;
    for (size_t i = 0; i < merged.size(); ++i) expected.push_back(uint8_t(merged[i] >> 8));
    std::vector<uint8_t> opaque = expected;
    for (size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 255;
    struct Case {
        const char* extension;
        int channels;
        int tolerance;
    } cases[] = {{".bmp", 3, 0}, {".png", 3, 0}, {".jpg", 3, 14}, {".png", 4, 0}, {".tga", 4, 0}, {".TIF", 4, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        const std::string file = path(std::string("page") + std::to_string(c.channels) + c.extension);
        const int32_t done = c.channels == 3 ? CVX_SavePageToFileRGB24(file.c_str(), c.extension, 300)
                                             : CVX_SavePageToFileRGB32(file.c_str(), c.extension, 300);
        ASSERT_EQ(done, 1);
        const PilPicture pil = pilDecode(file);
        ASSERT_TRUE(pil.ok);
        EXPECT_LE(maxDifference(pil.rgba, c.channels == 4 ? expected : opaque), c.tolerance);
    }
    EXPECT_EQ(CVX_SavePageToFileRGB24(path("p.gif").c_str(), ".gif", 72), 0);
}

}  // namespace
}  // namespace calv::test
