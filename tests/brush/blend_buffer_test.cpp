#include "support/engine_fixture.h"

namespace calv::test {
namespace {

constexpr uint16_t kWhite = 65280;

// A 32 x 32 canvas, layer 2 current, a brush of side 4 (window x - 2 .. x + 1) and the
// blend buffer switched on.
class BlendBufferTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        makeCanvas(32, 32);
        CVX_SetSize(4);
        CVX_SetBlendStrength(128);
    }
    static RGBA64& buf(int32_t row, int32_t col) { return engine().brush.blendBuffer.at(col, row); }
    static void fillBuffer(RGBA64 p) { engine().brush.blendBuffer.fill(p); }
    static void fillLayer(int32_t slot, RGBA64 p) { engine().layers.table[size_t(slot)].pixels.fill(p); }
    // The buffer seen as single 16-bit values, as mask operations use it.
    static uint16_t blendValue(int32_t row, int32_t i) {
        return reinterpret_cast<const uint16_t*>(engine().brush.blendBuffer.row(row))[i];
    }
};

TEST_F(BlendBufferTest, PickUpTintsTowardTheBrushColour) {
    CVX_SetColor(255, 0, 128);  // (65280, 0, 32768)
    fillLayer(2, {1000, 2000, 65280, 40000});
    setPixel(2, 11, 10, {0, 0, 0, 0});  // one empty pixel: buffer row 0, column 1
    struct Case {
        int32_t amount, opaqueFill;
        RGBA64 picked, empty;
    } cases[] = {
        // amount 0: the source plus one, capped at white; empty pixels take the colour at alpha 0
        {0, 0, {1001, 2001, 65280, 40000}, {65280, 0, 32768, 0}},
        // with opaque fill an empty pixel gets alpha (256 & 255) x 256 = 0 as well
        {0, 1, {1001, 2001, 65280, 40000}, {65280, 0, 32768, 0}},
        // amount 255: ((s x 1 + 255 x c) >> 8) + 1 per channel, alpha (40000 + 255 x 65535) >> 8
        {255, 0, {65028 + 1, 7 + 1, 32640 + 255 + 1, 65435}, {65280, 0, 32768, 65280}},
        {255, 1, {65028 + 1, 7 + 1, 32640 + 255 + 1, 65435}, {65280, 0, 32768, 256}},
    };
    for (const Case& c : cases) {
        CVX_CopyBlendBufferSurface(12, 12, c.amount, c.opaqueFill);
        EXPECT_EQ(buf(3, 3), c.picked) << c.amount << "," << c.opaqueFill;
        EXPECT_EQ(buf(0, 1), c.empty) << c.amount << "," << c.opaqueFill;
    }
}

TEST_F(BlendBufferTest, PickUpAlphaIsWeightedByAnEnabledMask) {
    fillLayer(2, {1000, 2000, 3000, 40000});
    fillMask(0x8000);
    CVX_CopyBlendBufferSurface(12, 12, 0, 0);
    EXPECT_EQ(buf(0, 0).a, 19999);  // trunc(32767 / 65535 x 40000)
    CVX_EnableMask(0);
    CVX_CopyBlendBufferSurface(12, 12, 0, 0);
    EXPECT_EQ(buf(0, 0).a, 40000);
}

TEST_F(BlendBufferTest, WindowOverTheEdgeFillsTheOutsidePart) {
    CVX_SetColor(10, 20, 30);
    fillLayer(2, {100, 100, 100, 65535});
    fillBuffer({7, 7, 7, 7});
    CVX_CopyBlendBufferSurface(0, 0, 64, 0);  // window -2 .. 1: rows and columns 0 and 1 are off the canvas
    EXPECT_EQ(buf(0, 3), (RGBA64{10 * 256, 20 * 256, 30 * 256, 64 * 256}));
    EXPECT_EQ(buf(3, 1), (RGBA64{10 * 256, 20 * 256, 30 * 256, 64 * 256}));
    EXPECT_EQ(buf(2, 2).a, (65535 * 192 + 64 * 65535) >> 8);
    fillBuffer({7, 7, 7, 7});
    CVX_CopyBlendBufferSurface(0, 0, 64, 1);
    EXPECT_EQ(buf(0, 0), (RGBA64{7, 7, 7, 65535}));
    EXPECT_EQ(buf(5, 5), (RGBA64{7, 7, 7, 7}));  // outside the size x size square
}

TEST_F(BlendBufferTest, SourcesAndTheStrengthSwitch) {
    fillLayer(1, {5000, 5000, 5000, 65535});
    CVX_CopyBlendBufferLayer(1, 12, 12, 0);
    EXPECT_EQ(buf(1, 1).r, 5001);
    CVX_SaveUndoBackBuffer(1);
    fillBuffer({9, 9, 9, 9});
    CVX_CopyBlendBufferHistory(12, 12, 0);  // the under-layer now holds layer 1
    EXPECT_EQ(buf(1, 1).r, 5001);
    fillBuffer({9, 9, 9, 9});
    CVX_CopyBlendBufferTrace(12, 12, 0);    // there is no trace image
    CVX_CopyBlendBufferLayer(40, 12, 12, 0);
    EXPECT_EQ(buf(1, 1), (RGBA64{9, 9, 9, 9}));
    CVX_SetBlendStrength(0);
    CVX_CopyBlendBufferLayer(1, 12, 12, 0);
    CVX_DoColorBlendBuffer(12, 12, 255, 255, 255, 0, 255);
    EXPECT_EQ(buf(1, 1), (RGBA64{9, 9, 9, 9}));
}

TEST_F(BlendBufferTest, MixingFollowsTheMixMode) {
    // Buffer (10000, 20000, 30000, 65535) over source (30000, 30000, 30000, 65535) at
    // amount 128 (N = 32768): new = ((f x 32768 >> 8) + (32768 x 30000 >> 8)) >> 8, plus 1.
    struct Case {
        int32_t mode;
        RGBA64 expected;
    } cases[] = {
        {32, {20001, 25001, 30001, 65535}},   // f = the buffer
        {33, {17289, 19578, 21867, 65535}},   // f = source x buffer >> 16
        {35, {20001, 25001, 30001, 65535}},   // Darken: min of the two
        {256, {30001, 30001, 30001, 65535}},  // keeps the source where the buffer is dark (L 20000)
        {340, {31384, 31384, 31384, 42767}},  // grey 32767 at the buffer's brightness
        {999, {20001, 25001, 30001, 65535}},  // no rule: the buffer
    };
    fillLayer(2, {30000, 30000, 30000, 65535});
    for (const Case& c : cases) {
        CVX_SetMixMode(c.mode, 256);
        fillBuffer({10000, 20000, 30000, 65535});
        CVX_MixBlendBufferSurface(12, 12, 128);
        EXPECT_EQ(buf(2, 2), c.expected) << c.mode;
    }
}

TEST_F(BlendBufferTest, MixingFadesOverEmptySourceAndFillsEmptyBuffer) {
    CVX_SetMixMode(32, 256);
    fillLayer(2, {0, 0, 0, 0});
    setPixel(2, 12, 12, {65535, 100, 200, 30000});  // buffer row 2, column 2
    fillBuffer({1, 2, 3, 40000});
    CVX_MixBlendBufferSurface(12, 12, 128);
    EXPECT_EQ(buf(0, 0), (RGBA64{1, 2, 3, 20000}));
    fillBuffer({1, 2, 3, 40000});
    CVX_MixBlendBufferSurface(12, 12, 300);  // N = 65535 leaves (1 x A) >> 16 = 0
    EXPECT_EQ(buf(0, 0).a, 0);
    fillBuffer({1, 2, 3, 0});
    CVX_MixBlendBufferSurface(12, 12, 128);
    EXPECT_EQ(buf(2, 2), (RGBA64{kWhite, 100, 200, 30000}));
    fillBuffer({1, 2, 3, 40000});
    CVX_MixBlendBufferSurface(12, 12, 0);  // mixing nothing in leaves the buffer
    EXPECT_EQ(buf(0, 0), (RGBA64{1, 2, 3, 40000}));
}

TEST_F(BlendBufferTest, ColourTintsFilledPixelsAndPaintsEmptyOnes) {
    fillBuffer({0, 0, 65280, 100});
    buf(0, 0).a = 0;
    CVX_DoColorBlendBuffer(12, 12, 255, 0, 0, 77, 128);
    // F = 32768: ((65280 x 32768 >> 8) + (v x 32768 >> 8)) >> 8, plus 1
    EXPECT_EQ(buf(1, 1), (RGBA64{32641, 1, 32641, 100}));
    EXPECT_EQ(buf(0, 0), (RGBA64{kWhite, 0, 0, 0}));
    EXPECT_EQ(buf(4, 4), (RGBA64{0, 0, 65280, 100}));  // outside the window
}

TEST_F(BlendBufferTest, ClearFillAndFilterIgnoreTheStrength) {
    CVX_SetBlendStrength(0);
    CVX_FillBlendBuffer(1, 2, 3, 0x1FF);
    EXPECT_EQ(buf(15, 15), (RGBA64{65535, 65535, 65535, 65535}));
    CVX_ClearBlendBuffer();
    EXPECT_EQ(buf(15, 15), (RGBA64{0, 0, 0, 0}));

    struct Case {
        int32_t kind, level;
        RGBA64 in, out;
    } cases[] = {
        {289, 0, {3, 4, 8, 9}, {5, 5, 5, 9}},
        {290, 0, {0, 65535, 100, 9}, {65535, 0, 65435, 9}},
        {291, 50, {32766, 32767, 40000, 9}, {0, 32767, 40000, 9}},    // e = 32767
        {292, 50, {32766, 32767, 40000, 9}, {32766, 32767, kWhite, 9}},
        {7, 50, {1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        fillBuffer(c.in);
        CVX_FilterBlendBuffer(c.kind, c.level);
        EXPECT_EQ(buf(3, 3), c.out) << c.kind;
        EXPECT_EQ(buf(4, 4), c.in) << c.kind;  // only the size x size square
    }
}

TEST_F(BlendBufferTest, MaskPickUpTintsTowardTheColoursMaskValue) {
    CVX_SetColor(0, 0, 0);  // mask value 65535
    fillMask(0);
    CVX_DoCopyBlendBufferMask(12, 12, 128);
    EXPECT_EQ(blendValue(1, 1), 32768);  // ((65535 x 128) >> 8) + 1
    CVX_SetColor(255, 255, 255);         // mask value 0
    CVX_DoCopyBlendBufferMask(0, 0, 128);
    EXPECT_EQ(blendValue(0, 0), 0);      // off the canvas: the colour's value
    EXPECT_EQ(blendValue(3, 3), 1);
}

}  // namespace
}  // namespace calv::test
