#include <algorithm>

#include "support/engine_fixture.h"

namespace calv::test {
namespace {

// A 32 x 32 canvas, layer 2 current, a solid round tool of side 6 and a protected mask.
class MaskDabTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        CVX_SetRandomSeed(3);
        makeCanvas(32, 32);
        CVX_SetSize(6);
        CVX_SetAlpha(100);
        CVX_SetDensity(256);
        CVX_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
        CVX_SetSolidBrushMode(1);
        fillMask(0);
    }
    static uint16_t maskAt(int32_t x, int32_t y) { return engine().mask.plane.at(x, y); }
};

TEST_F(MaskDabTest, PaintColourBecomesTheMaskValue) {
    struct Case {
        int32_t grey;    // 16-bit
        uint16_t before, after;
    } cases[] = {
        {0, 0, 65535},           // black opens fully
        {65280, 65535, 0},       // white protects fully
        {0x8000, 0, 0xFF00 - 0x8000},
    };
    for (const Case& c : cases) {
        fillMask(c.before);
        CVX_SetColor16(c.grey, c.grey, c.grey);
        CVX_DrawDabGritMask(16, 16);
        EXPECT_EQ(maskAt(16, 16), c.after) << c.grey;
        EXPECT_EQ(maskAt(25, 25), c.before);  // outside the tip
    }
}

TEST_F(MaskDabTest, MakerRoutesDabsToTheMaskUntilTheNextTool) {
    const RGBA64 layerBefore = pixel(2, 16, 16);
    CVX_EnableMask(0);  // the mask is painted whether or not it gates
    CVX_SetMaskMakerOn();
    CVX_DrawDabGrit(16, 16, 0, 0, 0);
    CVX_DrawDabGrit(10, 10, 0, 0, 0);
    EXPECT_EQ(maskAt(16, 16), 65535);
    EXPECT_EQ(maskAt(10, 10), 65535);
    EXPECT_EQ(pixel(2, 16, 16), layerBefore);
    EXPECT_EQ(engine().history.undoLeft, 7);   // the undo area grows: 10 - 3
    EXPECT_EQ(engine().history.undoRight, 19); // 16 - 3 + 6, exclusive
    CVX_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    CVX_DrawDabGrit(24, 24, 0, 0, 0);
    EXPECT_EQ(maskAt(24, 24), 0);
    EXPECT_NE(pixel(2, 24, 24).a, 0);
}

TEST_F(MaskDabTest, EraseOpensAndColourVariationNeverWraps) {
    CVX_SetColor16(65280, 65280, 65280);
    CVX_SetEraseModeOn();
    CVX_DrawDabGritMask(16, 16);
    EXPECT_EQ(maskAt(16, 16), 65535);
    EXPECT_TRUE(engine().brush.settings.eraseModeOn);  // kept until the next tool

    CVX_SetTool(1.0f, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, "", "", 0);  // colour variation 10
    uint16_t lo = 65535, hi = 0;
    for (int k = 0; k < 200; ++k) {
        fillMask(0);
        CVX_DrawDabGritMask(16, 16);
        lo = std::min(lo, maskAt(16, 16)), hi = std::max(hi, maskAt(16, 16));
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 1280);  // (5 - d mod 10) x 256, clamped at 0
}

TEST_F(MaskDabTest, PartialCoverageBlendsAndBlendPathRemixes) {
    CVX_SetSolidBrushMode(0);
    CVX_SetAlpha(50);  // coverage (65535 x 64) >> 7 = 32767 at the tip's full pixels
    CVX_SetColor16(0, 0, 0);
    fillMask(1000);
    CVX_DrawDabGritMask(16, 16);
    EXPECT_EQ(maskAt(16, 16), ((((65536 - 32767) * 1000u) >> 8) + ((32767 * 65535u) >> 8)) >> 8);

    // With the blend buffer the value comes from its single-channel view.
    CVX_SetAlpha(100);
    CVX_SetSolidBrushMode(1);
    CVX_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 128, 0, 1, 0, 0, 0, "", "", 0);  // strength 128, remix
    uint16_t* values = reinterpret_cast<uint16_t*>(engine().brush.blendBuffer.data());
    const int32_t rowLength = engine().canvas.brushStride;
    for (int32_t t = 0; t < 6; ++t)
        for (int32_t c = 0; c < 6; ++c) values[t * rowLength + c] = 20000;
    fillMask(0);
    CVX_DrawDabGritMask(16, 16);
    EXPECT_EQ(maskAt(16, 16), 20000);
    EXPECT_EQ(values[3 * rowLength + 3], 20000 / 2 + 1);  // ((128 x 0 + 128 x 20000) >> 8) + 1
    CVX_TempDisableBlend();
    CVX_DrawDabGritMask(16, 16);  // the paint colour (black) this once
    EXPECT_EQ(maskAt(16, 16), 65535);
    EXPECT_FALSE(engine().brush.settings.blendDisabledOnce);
}

}  // namespace
}  // namespace calv::test
