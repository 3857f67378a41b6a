#include <cmath>
#include <random>
#include <vector>

#include "brush/mix_modes.h"
#include "brush/over_row.h"
#include "support/engine_fixture.h"

namespace calv::test {
namespace {

constexpr uint16_t kWhite = 65280;

class BrushTest : public EngineTest {
protected:
    // A 32 x 32 canvas, layer 2 current and transparent, and a hard round tool of `size`.
    void SetUp() override {
        EngineTest::SetUp();
        CVX_SetRandomSeed(1);
        makeCanvas(32, 32);
    }
    static void hardTool(int32_t size, int32_t softness = 0, int32_t colorVary = 0) {
        CVX_SetSize(size);
        CVX_SetAlpha(100);
        CVX_SetDensity(256);
        CVX_SetTool(1.0f, 0, 0, 0, softness, colorVary, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    }
    static BrushSettings& brush() { return engine().brush.settings; }
    static G16 tipAt(int32_t row, int32_t col) { return engine().brush.shapePlane.at(col, row); }
};

TEST_F(BrushTest, SettersStoreTheirArithmetic) {
    CVX_SetColor(255, 255, 0x1FF);
    EXPECT_EQ(brush().color, (RGBA64{kWhite, kWhite, kWhite, 65535}));
    CVX_SetColor16(1, 2, 0x12345);
    EXPECT_EQ(brush().color, (RGBA64{1, 2, 0x2345, 65535}));
    CVX_SetAlpha(50);
    EXPECT_EQ(brush().alphaScaled, 64);
    CVX_SetDensity(256);
    EXPECT_EQ(brush().densityLimit, 255);
    CVX_SetBlendStrength(100);
    CVX_SetBlendStrength(0);
    EXPECT_EQ(brush().blendStrength, 0);
    EXPECT_EQ(brush().blendStrengthInv, 156);  // kept from before
    CVX_SetMixMode(295, 255);
    EXPECT_EQ(brush().mixShift, 16);
    EXPECT_EQ(brush().mixAmountInv, 1);
    CVX_SetMixMode(40, 127);
    EXPECT_EQ(brush().mixShift, 0);
    CVX_SetRotateBrushMode(1, 90);
    EXPECT_FLOAT_EQ(brush().rotateRadians, 1.570795f);
    EXPECT_FLOAT_EQ(brush().rotateSin, std::sin(1.570795f));
}

TEST_F(BrushTest, ScaleSizeMapsDabPixelsOntoTheTip) {
    CVX_SetSize(10);
    CVX_SetScaleSize(5);
    EXPECT_EQ(brush().scaleSize, 5);
    const int expected[] = {1, 3, 5, 7, 9};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(brush().scaleMap[size_t(k)], expected[k]);
    CVX_SetScaleSize(0);
    EXPECT_EQ(brush().scaleSize, 1);
    brush().size = 1500;
    CVX_SetScaleSize(2000);
    EXPECT_EQ(brush().scaleSize, 999);
    CVX_SetSize(5000);  // bounded by the scale map
    EXPECT_EQ(brush().size, 1000);
}

TEST_F(BrushTest, ATipLargerThanTheCanvasBrushLaysNothingButGrowsTheRectangles) {
    hardTool(4);
    CVX_SetSize(40);  // the canvas was made for brushes up to 16
    CVX_SetTool(1.0f, 3, 200, 200, 0, 0, 1, 0, 0, 0, 0, 0, 0, "", "", 0);
    CVX_DrawDabGrit(16, 16, kWhite, 0, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(pixel(2, x, y).a, 0);
    EXPECT_EQ(engine().history.undoLeft, 0);
    EXPECT_EQ(engine().history.undoRight, 32);
}

TEST_F(BrushTest, CircularTips) {
    hardTool(9);
    EXPECT_EQ(tipAt(4, 0), 65535);  // distance 4
    EXPECT_EQ(tipAt(0, 0), 0);      // distance 5 > 4.5
    EXPECT_EQ(tipAt(4, 4), 65535);
    hardTool(10, 255);
    EXPECT_EQ(tipAt(5, 5), 65535);
    EXPECT_EQ(tipAt(5, 1), 13107);  // (5 - 4) / 5 x 65535
    EXPECT_EQ(tipAt(5, 0), 0);      // distance 5: (5 - 5) / 5
    brush().invertShape = true;
    CVX_SetBrushShape("", 0);
    EXPECT_EQ(tipAt(5, 5), 0);
    EXPECT_EQ(tipAt(5, 1), 65535 - 13107);
    EXPECT_EQ(tipAt(0, 0), 0);  // outside the circle stays 0
    CVX_SetTool(0.5f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "no such file.png", 0);
    EXPECT_EQ(tipAt(5, 5), 32767);  // an unreadable source gives the circular tip
}

TEST_F(BrushTest, DabAtTheCornerSamplesTheTipFromItsMiddle) {
    hardTool(10);
    CVX_DrawDabGrit(0, 0, kWhite, 0, 0);
    // x0 = y0 = -5: canvas 0..4 samples tip 5..9.
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{kWhite, 0, 0, 65534}));
    EXPECT_EQ(pixel(2, 4, 0).a, 65534);  // tip (5, 9): distance 4
    EXPECT_EQ(pixel(2, 5, 0).a, 0);
    EXPECT_EQ(pixel(2, 0, 5).a, 0);
}

TEST_F(BrushTest, NormalLayingRules) {
    hardTool(4);
    struct Case {
        const char* what;
        RGBA64 before;
        int32_t alpha;
        RGBA64 after;
    } cases[] = {
        // a = 65535: each channel (65535 x Pv) >> 16.
        {"opaque over opaque", {100, 200, 300, 65535}, 100, {65279, 0, 65279, 65535}},
        {"over transparent", {100, 200, 300, 0}, 100, {kWhite, 0, kWhite, 65534}},
        // coverage (65535 x 64) >> 7 = 32767; Na = (32767 x 65535) >> 16.
        {"half opacity over transparent", {0, 0, 0, 0}, 50, {kWhite, 0, kWhite, 32766}},
    };
    for (const Case& c : cases) {
        CVX_SetAlpha(c.alpha);
        setPixel(2, 10, 10, c.before);
        CVX_DrawDabGrit(10, 10, kWhite, 0, kWhite);
        EXPECT_EQ(pixel(2, 10, 10), c.after) << c.what;
    }
}

TEST_F(BrushTest, SoftEdgeOverHalfTransparentPaint) {
    // Tip (5, 1) of a size-10 tip at softness 255 covers 13107; the dab at (10, 10) samples
    // it at pixel (6, 10). a = 13107, Na = 32767 x 13107 / 65535 + 32768 = 39321, and each
    // channel ((D x Da >> 16) x (65535 - a) / 65535 + (a x P >> 16)) x 65535 / Na; multiply
    // adds (65535 - Da) x Pp / 65535 + Dp x Pp / 65535 in place of the plain product term.
    struct Case {
        const char* what;
        int32_t mixMode;
        RGBA64 after;
    } cases[] = {
        {"normal", kMixNormal, {35091, 26666, 61758, 39321}},
        {"multiply", kMixMultiply, {27531, 26666, 60838, 39321}},
    };
    for (const Case& c : cases) {
        hardTool(10, 255);
        CVX_SetMixMode(c.mixMode, 255);
        setPixel(2, 6, 10, {20000, 40000, 60000, 32768});
        CVX_DrawDabGrit(10, 10, kWhite, 0, kWhite);
        EXPECT_EQ(pixel(2, 6, 10), c.after) << c.what;
    }
}

// Restores the wide rows when a test that turned them off ends.
struct WideRows {
    explicit WideRows(bool on) { useOverRowForTesting(on); }
    ~WideRows() { useOverRowForTesting(true); }
};

TEST_F(BrushTest, WideRowsLayWhatThePixelByPixelPathLays) {
    if (!overRowAvailable()) GTEST_SKIP() << "this processor lays every dab pixel by pixel";
    struct Case {
        const char* what;
        int32_t layer, mixMode, alpha, alphaLevel;
        bool masked;
        int32_t softness = 200;
        int32_t colorVary = 0;  // whole-dab shifts, which lower the paint's alpha half the time
    } cases[] = {
        {"normal", 2, kMixNormal, 100, 0, false},
        {"normal, hard tip", 2, kMixNormal, 100, 0, false, 0},
        {"hard tip, alpha level", 2, kMixNormal, 100, 30000, false, 0},
        {"hard tip on the background", 1, kMixNormal, 100, 0, false, 0},
        {"hard tip, shifted colours", 2, kMixNormal, 100, 0, false, 0, 9000},
        {"multiply, shifted colours", 2, kMixMultiply, 100, 0, false, 200, 9000},
        {"multiply at 70 per cent", 2, kMixMultiply, 70, 0, false},
        {"alpha level", 2, kMixNormal, 100, 40000, false},
        {"the background keeps its alpha", 1, kMixNormal, 100, 0, false},
        {"through the mask", 2, kMixMultiply, 100, 0, true},
    };
    // Dabs across the middle and over every edge, so rows of every length and start are laid.
    const int32_t dabs[][2] = {{16, 16}, {0, 0}, {31, 5}, {3, 31}, {20, 21}, {-4, 12}};
    for (const Case& c : cases) {
        std::vector<RGBA64> before, laid[2];
        for (const bool wide : {true, false}) {
            WideRows rows(wide);
            std::mt19937 pick(7);
            const uint16_t alphas[] = {0, 1, 255, 32768, 65534, 65535};
            for (int32_t y = 0; y < 32; ++y)
                for (int32_t x = 0; x < 32; ++x) {
                    const auto channel = [&] { return uint16_t(pick() & 0xFFFF); };
                    const uint16_t a = pick() % 2 ? alphas[pick() % 6] : channel();
                    setPixel(c.layer, x, y, {channel(), channel(), channel(), a});
                    engine().mask.plane.at(x, y) = pick() % 3 ? channel() : 65535;
                }
            if (wide)
                for (int32_t y = 0; y < 32; ++y)
                    for (int32_t x = 0; x < 32; ++x) before.push_back(pixel(c.layer, x, y));
            CVX_EnableMask(c.masked);
            CVX_SetLayer(c.layer);
            hardTool(13, c.softness, c.colorVary);
            CVX_SetAlpha(c.alpha);
            CVX_SetAlphaLevel(c.alphaLevel);
            CVX_SetMixMode(c.mixMode, 255);
            for (const auto& at : dabs) CVX_DrawDabGrit(at[0], at[1], 51200, 12800, 40000);
            for (int32_t y = 0; y < 32; ++y)
                for (int32_t x = 0; x < 32; ++x) laid[wide].push_back(pixel(c.layer, x, y));
        }
        EXPECT_EQ(laid[0], laid[1]) << c.what;
        EXPECT_NE(laid[1], before) << c.what;
    }
}

TEST_F(BrushTest, MaskAndLocksGateTheDab) {
    hardTool(4);
    engine().mask.plane.at(10, 10) = 0;
    CVX_DrawDabGrit(10, 10, kWhite, kWhite, kWhite);
    EXPECT_EQ(pixel(2, 10, 10).a, 0);
    EXPECT_EQ(pixel(2, 11, 10).a, 65534);

    setPixel(2, 20, 20, {1, 2, 3, 4000});
    CVX_SetColorLocked(1);
    CVX_DrawDabGrit(20, 20, kWhite, kWhite, kWhite);
    EXPECT_EQ(pixel(2, 20, 20).r, 1);
    EXPECT_GT(pixel(2, 20, 20).a, 4000);
    CVX_SetColorLocked(0);

    CVX_SetLayer(1);  // the background: colour only, never alpha
    setPixel(1, 5, 25, {0, 0, 0, 1000});
    CVX_DrawDabGrit(5, 25, kWhite, 0, 0);
    EXPECT_EQ(pixel(1, 5, 25).a, 1000);
    EXPECT_EQ(pixel(1, 5, 25).r, 65279);
}

TEST_F(BrushTest, EraseAndTheBlobLock) {
    hardTool(4);
    struct Case {
        uint16_t alphaBefore;
        bool blob;
        uint16_t alphaAfter;
    } cases[] = {{40000, false, 0}, {8191, true, 8191}, {20000, true, 9215}};
    for (const Case& c : cases) {
        setPixel(2, 8, 8, {7, 8, 9, c.alphaBefore});
        CVX_SetBlobLocked(c.blob);
        CVX_SetEraseModeOn();
        CVX_DrawDabGrit(8, 8, kWhite, kWhite, kWhite);
        EXPECT_EQ(pixel(2, 8, 8), (RGBA64{7, 8, 9, c.alphaAfter})) << c.alphaBefore;
        EXPECT_FALSE(brush().eraseModeOn);  // consumed by the dab
    }
}

TEST_F(BrushTest, DabsGoToThePaintLayerAndGrowTheRectangles) {
    hardTool(6);
    CVX_CreatePaintLayer(100, "Normal");
    CVX_DrawDabGrit(10, 12, kWhite, 0, 0);
    EXPECT_EQ(pixel(2, 10, 12).a, 0);
    EXPECT_EQ(engine().layers.paint.pixels.at(10, 12).a, 65534);
    const DirtyRect& d = engine().layers.paint.dirty;
    EXPECT_EQ((std::vector<int32_t>{d.left, d.top, d.right, d.bottom}), (std::vector<int32_t>{7, 9, 13, 15}));
    CVX_DrawDabGrit(-40, 5, kWhite, 0, 0);  // wholly off the canvas: still grows the rectangles
    EXPECT_EQ(d.left, 0);  // xs = max(-43, 0)
    EXPECT_EQ(d.top, 2);
    const HistoryState& h = engine().history;
    EXPECT_EQ(h.undoRight, 13);
    EXPECT_EQ(h.undoTop, 2);
    CVX_MergePaintLayer(2);
    EXPECT_EQ(pixel(2, 10, 12), (RGBA64{kWhite, 0, 0, 65534}));
}

TEST_F(BrushTest, RemixCarriesPaintInTheBlendBuffer) {
    hardTool(4);
    CVX_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 128, 0, 1, 0, 0, 0, "", "", 0);
    engine().brush.blendBuffer.fill({65535, 65535, 65535, 65535});
    setPixel(2, 10, 10, {65535, 65535, 65535, 65535});
    CVX_DrawDabGrit(10, 10, 0, 0, 0);
    // Laid: ((1 x 65535) >> 8) + ((65535 x 65535) >> 8), >> 8 = 65534.
    EXPECT_EQ(pixel(2, 10, 10), (RGBA64{65534, 65534, 65534, 65534}));
    // The tip pixel under (10, 10) is (2, 2): min(((128 x 65535 + 128 x 65535) >> 8) + 1, 65535).
    EXPECT_EQ(engine().brush.blendBuffer.at(2, 2), (RGBA64{65535, 65535, 65535, 65535}));
}

TEST_F(BrushTest, ColourVaryShiftsTheWholeDab) {
    hardTool(4, 0, 100);
    CVX_DrawDabGrit(10, 10, 100 << 8, 0, 0);
    // Seed 1: the first draw is 41; o = (50 - 41) x 256.
    EXPECT_EQ(pixel(2, 10, 10), (RGBA64{25600 + 2304, 2304, 2304, 65534}));
}

TEST_F(BrushTest, RotationByZeroEqualsTheUnrotatedDab) {
    hardTool(7, 128);
    for (int i = 0; i < 5; ++i) CVX_DrawDabGrit(5 + i * 4, 9 + i, kWhite, 30000, 0);
    ASSERT_EQ(CVX_CreateLayer(3, 32, 32), 1);
    CVX_SetLayer(3);
    CVX_SetRotateBrushMode(1, 0);
    for (int i = 0; i < 5; ++i) CVX_DrawDabGrit(5 + i * 4, 9 + i, kWhite, 30000, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(pixel(2, x, y), pixel(3, x, y)) << x << "," << y;
}

TEST_F(BrushTest, GritToolsAreReproducibleForASeed) {
    auto stroke = [](int slot) {
        CVX_SetRandomSeed(77);
        CVX_SetSize(12);
        CVX_SetAlpha(100);
        CVX_SetDensity(200);
        CVX_SetPixColorVary(40);
        CVX_SetPixLumVary(30);
        CVX_SetTool(1.0f, 2, 120, 160, 60, 20, 3, 0, 0, 0, 0, 0, 0, "", "", 0);
        CVX_SetLayer(slot);
        for (int i = 0; i < 12; ++i) {
            CVX_DrawDabGrit(3 + i * 2, 16 + (i % 3), 40000, 20000, 60000);
            CVX_DecDrawingLength();
        }
    };
    ASSERT_EQ(CVX_CreateLayer(3, 32, 32), 1);
    stroke(2);
    stroke(3);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(pixel(2, x, y), pixel(3, x, y)) << x << "," << y;
    // One dab of the same tool shows holes where the grit is empty.
    ASSERT_EQ(CVX_CreateLayer(4, 32, 32), 1);
    CVX_SetLayer(4);
    CVX_DrawDabGrit(16, 16, 40000, 20000, 60000);
    int laid = 0, gaps = 0;
    for (int y = 14; y < 19; ++y)
        for (int x = 14; x < 19; ++x) (pixel(4, x, y).a ? laid : gaps)++;
    EXPECT_GT(laid, 0);
    EXPECT_GT(gaps, 0);
}

TEST_F(BrushTest, DensityZeroLaysNothingWhileGritIsOn) {
    CVX_SetSize(8);
    CVX_SetAlpha(100);
    CVX_SetDensity(0);
    CVX_SetTool(1.0f, 2, 255, 255, 0, 0, 1, 0, 0, 0, 0, 0, 0, "", "", 0);
    CVX_DrawDabGrit(10, 10, kWhite, 0, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(pixel(2, x, y).a, 0);
}

TEST_F(BrushTest, MaskMakerDabsLeaveTheLayerUntilTheNextTool) {
    hardTool(6);
    CVX_SetMaskMakerOn();
    CVX_DrawDabGrit(10, 10, kWhite, 0, 0);
    CVX_DrawDabGrit(12, 10, kWhite, 0, 0);
    EXPECT_EQ(pixel(2, 10, 10).a, 0);
    EXPECT_TRUE(brush().maskMakerOn);
    hardTool(6);
    EXPECT_FALSE(brush().maskMakerOn);
}

// Mix modes through their rule, coverage and adjustment steps.
TEST(MixModes, CasesOfTheTables) {
    BrushSettings b;
    b.banks = {RGBA64{1000, 1000, 1000, 65535}, RGBA64{2000, 2000, 2000, 65535}, RGBA64{}, RGBA64{}};
    struct Case {
        const char* what;
        int32_t mode, amount;
        uint32_t P[4], w, D[4];
        uint32_t out0, alpha;
    } cases[] = {
        // 65535 - ((35535 x 65535) >> 16): the pixel, up to the shift's truncation.
        {"screen of black paint keeps the pixel", 34, 256, {0, 0, 0, 65535}, 65535, {30000, 0, 0, 65535}, 30001, 65535},
        {"dodge with white paint", 43, 256, {65535, 0, 0, 65535}, 65535, {5, 0, 0, 65535}, 65535, 65535},
        {"dodge with 65534 over 32768", 43, 256, {65534, 0, 0, 65535}, 65535, {32768, 0, 0, 65535}, 65535, 65535},
        {"burn with paint 1 over black", 44, 256, {1, 0, 0, 65535}, 65535, {0, 0, 0, 65535}, 0, 65535},
        {"bank 1 at L 32767", 249, 256, {32767, 32767, 32767, 65535}, 65535, {0, 0, 0, 65535}, 2000, 65535},
        {"bank 0 at L 32766", 249, 256, {32766, 32767, 32767, 65535}, 65535, {0, 0, 0, 65535}, 1000, 65535},
        {"black paint keeps the pixel", 256, 256, {0, 0, 0, 65535}, 65535, {12345, 0, 0, 65535}, 12345, 65535},
        {"shift 16 clears", 295, 255, {65280, 0, 0, 65535}, 65535, {1, 0, 0, 65535}, 0, 65535},
        {"grey by brightness", 340, 256, {65280, 65280, 65280, 65535}, 65535, {0, 0, 0, 65535}, 32767, 65280},
        {"white over white at half coverage", 34, 256, {65535, 0, 0, 65535}, 32768, {65535, 0, 0, 65535}, 65535, 65535},
        // Da = 32768 under full coverage: k = 65535, the pixel takes the paint colour first.
        {"half-transparent pixel pulled to paint", 35, 256, {20000, 0, 0, 65535}, 65535, {60000, 0, 0, 32768}, 19999, 65535},
        {"amount 0 gives the paint", 37, 0, {20000, 0, 0, 65535}, 65535, {60000, 0, 0, 65535}, 20000, 65535},
    };
    for (const Case& c : cases) {
        b.mixMode = c.mode;
        b.mixAmount = c.amount;
        b.mixShift = int32_t((c.amount - 127) * (1.0 / 127) * 16);
        const MixResult r = MixPixel(b, c.P, c.w, c.D, false);
        EXPECT_EQ(r.out[0], c.out0) << c.what;
        EXPECT_EQ(r.alpha, c.alpha) << c.what;
    }
}

}  // namespace
}  // namespace calv::test
