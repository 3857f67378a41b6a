#include <cstdlib>
#include <random>
#include <vector>

#include "layers/renderer.h"
#include "support/engine_fixture.h"

namespace calv::test {
namespace {

constexpr uint8_t kUnwritten = 0xEE;

class RendererTest : public EngineTest {
protected:
    // A canvas whose layer 2 shows its column in red and its row in green, opaque.
    void rampCanvas(int32_t w, int32_t h) {
        makeCanvas(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) setPixel(2, x, y, {uint16_t(x << 8), uint16_t(y << 8), 0, 65535});
    }
    struct View {
        int32_t width, height;
        std::vector<uint8_t> bytes;
        View(int32_t w, int32_t h) : width(w), height(h), bytes(size_t(w) * size_t(h) * 3, kUnwritten) {}
        const uint8_t* at(int32_t i, int32_t j) const { return &bytes[(size_t(j) * size_t(width) + size_t(i)) * 3]; }
        uint8_t red(int32_t i, int32_t j) const { return at(i, j)[2]; }
        uint8_t green(int32_t i, int32_t j) const { return at(i, j)[1]; }
        uint8_t blue(int32_t i, int32_t j) const { return at(i, j)[0]; }
    };
    static View render(int32_t viewW, int32_t viewH, int32_t x, int32_t y, int32_t w, int32_t h) {
        View v(viewW, viewH);
        CVX_SetViewSize(viewW, viewH);
        CVX_Render(v.bytes.data(), viewW * 3, x, y, w, h);
        return v;
    }
    // Each pixel of the 1:1 view is the merged canvas pixel's high byte, give or take the
    // one unit the floating-point accumulation may differ by.
    static void expectViewMatchesMerge(int32_t w, int32_t h) {
        std::vector<RGBA64> merged(size_t(w) * size_t(h));
        CVX_Merge(&merged[0].r);
        const View v = render(w, h, 0, 0, w, h);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const RGBA64 m = merged[size_t(y * w + x)];
                EXPECT_LE(std::abs(int(v.red(x, y)) - m.r / 256), 1) << x << "," << y;
                EXPECT_LE(std::abs(int(v.green(x, y)) - m.g / 256), 1) << x << "," << y;
                EXPECT_LE(std::abs(int(v.blue(x, y)) - m.b / 256), 1) << x << "," << y;
            }
    }
};

TEST_F(RendererTest, OneToOneIsCutToTheViewSize) {
    rampCanvas(100, 100);
    View v = render(60, 60, 0, 0, 100, 100);
    CVX_SetViewSize(50, 50);
    CVX_Render(v.bytes.data(), 60 * 3, 0, 0, 100, 100);
    EXPECT_EQ(v.red(49, 0), 49);
    EXPECT_EQ(v.green(0, 49), 49);
    EXPECT_EQ(v.blue(49, 49), 0);
    View fresh(60, 60);
    CVX_Render(fresh.bytes.data(), 60 * 3, 0, 0, 100, 100);
    EXPECT_EQ(fresh.red(50, 0), kUnwritten);
    EXPECT_EQ(fresh.red(0, 50), kUnwritten);
}

TEST_F(RendererTest, RectanglesAreCutToTheCanvas) {
    rampCanvas(20, 10);
    const View v = render(30, 30, -5, 8, 100, 100);  // x becomes 0; 20 x 2 pixels remain
    EXPECT_EQ(v.red(19, 1), 19);
    EXPECT_EQ(v.green(19, 1), 9);
    EXPECT_EQ(v.red(20, 0), kUnwritten);
    EXPECT_EQ(v.red(0, 2), kUnwritten);
}

TEST_F(RendererTest, ReducedViewsSampleAtFractionalSteps) {
    rampCanvas(100, 100);
    CVX_SetScale(1, 2.0f);
    View half = render(100, 100, 0, 0, 100, 100);
    EXPECT_EQ(half.red(49, 0), 98);
    EXPECT_EQ(half.green(0, 49), 98);
    EXPECT_EQ(half.red(50, 0), kUnwritten);
    CVX_SetScale(1, 1.5f);
    View twoThirds = render(100, 100, 0, 0, 100, 100);
    const int expected[] = {0, 1, 3, 4, 6, 7, 9};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(twoThirds.red(i, 0), expected[i]) << i;
    EXPECT_NE(twoThirds.red(65, 0), kUnwritten);  // 66 columns
    EXPECT_EQ(twoThirds.red(66, 0), kUnwritten);
}

TEST_F(RendererTest, MagnifiedViewsRepeatEachPixelInBlocks) {
    rampCanvas(10, 10);
    CVX_SetScale(3, 1.0f);
    const View v = render(40, 40, 2, 1, 10, 10);  // 8 x 9 canvas pixels: 24 x 27 view pixels
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(v.red(i, j), 2);
            EXPECT_EQ(v.green(i, j), 1);
            EXPECT_EQ(v.red(3 + i, 3 + j), 3);
        }
    EXPECT_EQ(v.red(23, 26), 9);
    EXPECT_EQ(v.red(24, 0), kUnwritten);
    EXPECT_EQ(v.red(0, 27), kUnwritten);
    CVX_SetScale(2, 2.0f);  // equal values render 1:1
    const View same = render(10, 10, 0, 0, 10, 10);
    EXPECT_EQ(same.red(9, 0), 9);
}

TEST_F(RendererTest, HiddenLayersShowTheCheckerboard) {
    makeCanvas(64, 33);
    CVX_SetLayerOptions(1, 0, 0, 100, "Normal");
    const View v = render(64, 33, 0, 0, 64, 33);
    EXPECT_EQ(v.red(0, 0), 255);
    EXPECT_EQ(v.blue(31, 31), 255);
    EXPECT_EQ(v.red(32, 0), 159);
    EXPECT_EQ(v.green(0, 32), 159);
    EXPECT_EQ(v.red(32, 32), 255);
}

TEST_F(RendererTest, BackgroundCountsAsOpaqueAndTextureLayersNeverShow) {
    makeCanvas(2, 1);
    setPixel(1, 0, 0, {65280, 0, 0, 0});  // alpha 0, still opaque in the view
    ASSERT_EQ(CVX_CreateLayer(3, 2, 1), 1);
    CVX_SetLayerOptions(3, 1, 0, 100, "Texturize3");
    setPixel(3, 1, 0, {0, 0, 65280, 65535});
    const View v = render(2, 1, 0, 0, 2, 1);
    EXPECT_EQ(v.red(0, 0), 255);
    EXPECT_EQ(v.green(0, 0), 0);
    EXPECT_EQ(v.blue(1, 0), 255);  // the white background, not the texture layer's blue
    EXPECT_EQ(v.red(1, 0), 255);
}

TEST_F(RendererTest, TheStrokeInProgressLiesRightAboveTheCurrentLayer) {
    makeCanvas(1, 1);
    ASSERT_EQ(CVX_CreateLayer(3, 1, 1), 1);
    CVX_SetLayerOptions(3, 1, 0, 100, "Normal");
    CVX_CreatePaintLayer(100, "Normal");
    engine().layers.paint.pixels.at(0, 0) = {0, 65280, 0, 65535};
    View v = render(1, 1, 0, 0, 1, 1);
    EXPECT_EQ(v.green(0, 0), 255);  // the stroke over the current layer 2
    setPixel(3, 0, 0, {0, 0, 65280, 65535});
    v = render(1, 1, 0, 0, 1, 1);
    EXPECT_EQ(v.blue(0, 0), 255);  // layer 3 covers the stroke
    EXPECT_EQ(v.green(0, 0), 0);
}

TEST_F(RendererTest, SelectionTint) {
    makeCanvas(2, 1);
    CVX_CreatePaintLayer(0, "Normal");
    engine().mask.displayed = true;
    engine().mask.colourB[0] = 65280;  // red tint in even cells
    engine().mask.plane.at(0, 0) = 0;
    View v = render(2, 1, 0, 0, 2, 1);
    // Half strength: M = 32767; R = (32767 x 65535 / 256 + 32768 x 65280 / 256) / 65536.
    EXPECT_EQ(v.red(0, 0), 255);
    EXPECT_EQ(v.green(0, 0), 127);
    EXPECT_EQ(v.blue(0, 0), 127);
    engine().mask.fullStrength = 1;
    for (int x = 0; x < 2; ++x) setPixel(1, x, 0, {65280, 65280, 65280, 65535});
    v = render(2, 1, 0, 0, 2, 1);
    EXPECT_EQ(v.green(1, 0), 255);  // fully selected: untinted at 1:1
    CVX_SetScale(2, 1.0f);
    v = render(4, 2, 0, 0, 2, 1);
    EXPECT_EQ(v.green(2, 0), 254);  // scaled views tint every pixel
    engine().mask.enabled = false;
    v = render(4, 2, 0, 0, 2, 1);
    EXPECT_EQ(v.green(0, 0), 255);
}

TEST_F(RendererTest, TracingAveragesTheTraceImage) {
    makeCanvas(1, 1);
    ASSERT_EQ(CVX_CreateLayer(0, 1, 1), 1);
    setPixel(0, 0, 0, {0, 65280, 20000, 65535});
    CVX_SetTracingMode(1);
    const View v = render(1, 1, 0, 0, 1, 1);
    EXPECT_EQ(v.red(0, 0), (65535 + 0) / 2 / 256);
    EXPECT_EQ(v.green(0, 0), (65535 + 65280) / 2 / 256);
    EXPECT_EQ(v.blue(0, 0), (65535 + 20000) / 2 / 256);
}

TEST_F(RendererTest, FlatteningAgreesWithTheMerge) {
    constexpr int W = 16, H = 8;
    makeCanvas(W, H);
    const char* modes[] = {"Multiply", "Screen", "Soft Light", "Alpha Shader Color"};
    for (int i = 0; i < 4; ++i) {
        const int slot = 3 + i;
        ASSERT_EQ(CVX_CreateLayer(slot, W, H), 1);
        CVX_SetLayerOptions(slot, 1, 0, 80, modes[i]);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                setPixel(slot, x, y,
                         {uint16_t((x * 4000 + i * 9000) % 65280), uint16_t(y * 8000), uint16_t(i * 15000),
                          uint16_t((x * 4096 + y * 2000 + i * 7000) % 65536)});
    }
    expectViewMatchesMerge(W, H);
}

// Normal layers at several opacities over every kind of alpha, with transparent runs of
// all lengths between painted ones, and a stroke in progress.
void normalScene(int32_t w, int32_t h) {
    std::mt19937 pick(3);
    const uint16_t alphas[] = {0, 0, 0, 1, 255, 32768, 65279, 65280, 65535};
    const int32_t opacities[] = {100, 50, 73, 100};
    for (int32_t i = 0; i < 4; ++i) {
        const int32_t slot = 2 + i;
        if (slot > 2) {
            ASSERT_EQ(CVX_CreateLayer(slot, w, h), 1);
        }
        CVX_SetLayerOptions(slot, 1, 0, opacities[i], "Normal");
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint16_t a = (x / 5 + y + i) % 3 == 0 ? 0 : alphas[pick() % 9];
                globalEngine().layers.table[size_t(slot)].pixels.at(x, y) = {
                    uint16_t(pick() % 65281), uint16_t(pick() % 65281), uint16_t(pick() % 65281), a};
            }
    }
    CVX_SetLayer(3);
    CVX_CreatePaintLayer(100, "Normal");
    for (int32_t x = 0; x < w; x += 2) globalEngine().layers.paint.pixels.at(x, h / 2) = {40000, 30000, 20000, 30000};
}

TEST_F(RendererTest, NormalLayersFlattenAsTheMergeDoes) {
    constexpr int W = 37, H = 9;
    makeCanvas(W, H);
    normalScene(W, H);
    engine().layers.paint.pixels.fill({0, 0, 0, 0});  // the merge does not see the stroke
    expectViewMatchesMerge(W, H);
}

TEST_F(RendererTest, NormalRunsShowWhatThePixelByPixelPathShows) {
    constexpr int W = 37, H = 9;
    makeCanvas(W, H);
    normalScene(W, H);
    struct Case {
        int32_t scale;
        int32_t viewW, viewH;
    } cases[] = {{1, W, H}, {3, 3 * W, 3 * H}};
    for (const Case& c : cases) {
        CVX_SetScale(c.scale, 1.0f);
        const View runs = render(c.viewW, c.viewH, 0, 0, W, H);
        useNormalRunsForTesting(false);
        const View pixelByPixel = render(c.viewW, c.viewH, 0, 0, W, H);
        useNormalRunsForTesting(true);
        EXPECT_EQ(runs.bytes, pixelByPixel.bytes) << "scale " << c.scale;
    }
}

TEST_F(RendererTest, NothingIsWrittenWithoutACurrentLayer) {
    CVX_CreateImage(nullptr, 4, 4, 8, 0);
    CVX_CreateLayer(1, 4, 4);
    const View v = render(4, 4, 0, 0, 4, 4);
    EXPECT_EQ(v.red(0, 0), kUnwritten);
    CVX_SetLayer(1);
    CVX_SetViewSize(4, 4);
    CVX_Render(nullptr, 12, 0, 0, 4, 4);
    CVX_SetScale(0, -1.0f);  // no sensible scaling: nothing written
    const View none = render(4, 4, 0, 0, 4, 4);
    EXPECT_EQ(none.red(0, 0), kUnwritten);
}

}  // namespace
}  // namespace calv::test
