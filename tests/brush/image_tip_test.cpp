#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/engine_fixture.h"

namespace calv::test {
namespace {

namespace fs = std::filesystem;

// A 16-pixel brush on a small canvas, with pictures written for tips and grit.
class ImageTipTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        CVX_SetRandomSeed(2);
        makeCanvas(32, 32);
        CVX_SetSize(16);
        CVX_SetAlpha(100);
        CVX_SetDensity(256);
        dir = fs::temp_directory_path() / ("calv_tip_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::remove_all(dir);
        EngineTest::TearDown();
    }
    // A w x h picture: value(x, y) as grey.
    template <class F>
    std::string picture(const char* name, int w, int h, F value) {
        std::vector<uint8_t> rgb;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) rgb.insert(rgb.end(), 3, uint8_t(value(x, y)));
        const std::string file = (dir / name).string();
        EXPECT_EQ(CVX_WriteToFileRGB24(rgb.data(), w, h, file.c_str(), ".png", 72), 1);
        return file;
    }
    static void tool(const char* grit, const char* shape, int32_t angle = 0) {
        CVX_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, grit, shape, angle);
    }
    static G16 tipAt(int32_t row, int32_t col) { return engine().brush.shapePlane.at(col, row); }
    fs::path dir;
};

TEST_F(ImageTipTest, PictureTipsAreScaledGreyTurnedAndCached) {
    // White in the top-left quarter of a 32 x 32 picture, black elsewhere.
    const std::string file = picture("tip.png", 32, 32, [](int x, int y) { return x < 16 && y < 16 ? 255 : 0; });
    tool("", file.c_str());
    EXPECT_EQ(tipAt(2, 2), 65280);  // grey 255 x 256 x tip scale 1
    EXPECT_EQ(tipAt(12, 12), 0);
    EXPECT_EQ(tipAt(2, 12), 0);
    // A quarter turn counter-clockwise takes the white quarter to the bottom left.
    tool("", file.c_str(), 90);
    EXPECT_EQ(tipAt(12, 2), 65280);
    EXPECT_EQ(tipAt(2, 2), 0);
    // The turned picture is kept: the file is no longer needed for the same source and angle.
    fs::remove(file);
    CVX_SetBrushShape(file.c_str(), 90);
    EXPECT_EQ(tipAt(12, 2), 65280);
    // Another angle needs the file again: without it, the circular tip.
    CVX_SetBrushShape(file.c_str(), 0);
    EXPECT_EQ(tipAt(8, 8), 65535);
    EXPECT_EQ(tipAt(0, 0), 0);
}

TEST_F(ImageTipTest, BlurSpreadsTheDarkIntoTheTip) {
    const std::string file = picture("blur.png", 32, 32, [](int x, int y) { return x < 16 && y < 16 ? 255 : 0; });
    tool("", file.c_str());
    int64_t sharp = 0;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) sharp += tipAt(r, c);
    CVX_SetShapeBlur(60);
    CVX_SetBrushShape(file.c_str(), 0);
    int64_t blurred = 0;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) blurred += tipAt(r, c);
    EXPECT_LT(blurred, sharp);
    CVX_SetBrushShape_ORIGINAL(file.c_str(), 0);  // never blurred
    int64_t original = 0;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) original += tipAt(r, c);
    EXPECT_EQ(original, sharp);
}

TEST_F(ImageTipTest, GritComesFromWindowsOfAPicture) {
    // Windows of size + 25 rows are laid with the buffers' row length n, so a row's first n
    // bytes (all a dab reads of it) are the picture's.
    const int n = engine().canvas.maxBrushSize, side = 16 + 25;
    const std::string file = picture("grit.png", 80, 80, [](int x, int y) { return (x + 2 * y) % 256; });
    tool(file.c_str(), "");
    for (int k = 0; k < 20; ++k) {
        const G8* g = engine().brush.workBuffers[size_t(k)].data();
        for (int r = 0; r < side; ++r)
            for (int c = 0; c < n; ++c) ASSERT_EQ(g[r * n + c], (g[0] + c + 2 * r) % 256) << k << " " << r << " " << c;
    }
    // A picture too small for a window leaves the grit as it was.
    const std::string small = picture("small.png", 30, 30, [](int, int) { return 9; });
    for (auto& b : engine().brush.workBuffers) b.fill(7);
    tool(small.c_str(), "");
    EXPECT_EQ(engine().brush.workBuffers[3].at(0, 0), 7);
}

}  // namespace
}  // namespace calv::test
