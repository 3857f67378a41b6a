#include <vector>

#include "support/engine_fixture.h"

namespace calv::test {
namespace {

class MaskTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        makeCanvas(16, 16);
    }
    static uint16_t maskAt(int32_t x, int32_t y) { return engine().mask.plane.at(x, y); }
};

TEST_F(MaskTest, FreshCanvasIsOpenAndSavesBlack) {
    std::vector<uint8_t> grey(16 * 20 * 3, 7);  // stride 60 bytes: 12 bytes of row padding
    CVX_SaveMask(grey.data(), 60);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 60; ++x) EXPECT_EQ(grey[size_t(y * 60 + x)], x < 48 ? 0 : 7) << x << "," << y;
    EXPECT_EQ(CVX_GetMask64(0, 0), 0);
    EXPECT_EQ(CVX_GetMask64(15, 15), 0);
}

TEST_F(MaskTest, ClearMaskTakesTheGreyOfTheColour) {
    struct Case {
        int32_t r, g, b;
        uint16_t m;
    } cases[] = {
        {0, 0, 0, 65535},           // black opens
        {255, 255, 255, 65535},     // below one 8-bit step still opens
        {0, 0, 768, 65280 - 256},   // grey 256
        {0x8000, 0x8000, 0x8000, 0xFF00 - 0x8000},
        {65280, 65280, 65280, 0},   // white protects
        {65535, 65535, 65535, 0},   // above white protects too, never wraps
    };
    for (const Case& c : cases) {
        CVX_ClearMask(c.r, c.g, c.b);
        EXPECT_EQ(maskAt(0, 0), c.m) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(maskAt(15, 15), c.m);
    }
}

TEST_F(MaskTest, GetMask64ReportsProtectionOnlyWhileGating) {
    CVX_ClearMask(65280, 65280, 65280);
    EXPECT_EQ(CVX_GetMask64(3, 4), 65535);
    EXPECT_EQ(CVX_GetMask64(16, 4), 0);
    EXPECT_EQ(CVX_GetMask64(3, -1), 0);
    CVX_EnableMask(0x100);  // low byte 0: disabled
    EXPECT_EQ(CVX_GetMask64(3, 4), 0);
    CVX_EnableMask(1);
    CVX_DeleteLayer(2);
    EXPECT_EQ(CVX_GetMask64(3, 4), 0);
}

TEST_F(MaskTest, LoadThenSaveKeepsEveryGrey) {
    // One pixel for each grey 0..255, the three bytes differing but with that mean.
    std::vector<uint8_t> in(16 * 48);
    for (int g = 0; g < 256; ++g) {
        const int spread = g > 0 && g < 255 ? 1 : 0;
        in[size_t(g * 3)] = uint8_t(g - spread), in[size_t(g * 3 + 1)] = uint8_t(g), in[size_t(g * 3 + 2)] = uint8_t(g + spread);
    }
    CVX_LoadMask(in.data(), 48, 16, 16);
    EXPECT_EQ(maskAt(0, 0), 65535);
    EXPECT_EQ(maskAt(1, 0), (255 - 1) * 256);
    EXPECT_EQ(maskAt(15, 15), 0);
    std::vector<uint8_t> out(16 * 48);
    CVX_SaveMask(out.data(), 48);
    for (int g = 0; g < 256; ++g)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(out[size_t(g * 3 + k)], g) << g;
}

TEST_F(MaskTest, LoadLargerThanTheCanvasIsClipped) {
    std::vector<uint8_t> in(size_t(40 * 3 * 30), 255);
    CVX_LoadMask(in.data(), 40 * 3, 40, 30);
    EXPECT_EQ(maskAt(15, 15), 0);
    EXPECT_EQ(maskAt(0, 0), 0);
}

TEST_F(MaskTest, InvertTwiceRestoresThePlane) {
    for (int32_t i = 0; i < 256; ++i) engine().mask.plane.data()[i] = uint16_t(i * 257 + 3);
    CVX_InvertMask();
    EXPECT_EQ(maskAt(1, 0), uint16_t(65535 - 260));
    CVX_InvertMask();
    for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(engine().mask.plane.data()[i], uint16_t(i * 257 + 3));
}

TEST_F(MaskTest, ImageAndMaskConvertBothWays) {
    // Mask to image: colour min(65535 - m, 65280), opaque.
    const uint16_t masks[] = {0, 255, 0x8000, 65535};
    const uint16_t colours[] = {65280, 65280, 0x7FFF, 0};
    for (int k = 0; k < 4; ++k) engine().mask.plane.at(k, 0) = masks[k];
    setPixel(2, 0, 1, {1, 2, 3, 4});
    CVX_CreateImageFromMask();
    for (int k = 0; k < 4; ++k) EXPECT_EQ(pixel(2, k, 0), (RGBA64{colours[k], colours[k], colours[k], 65535})) << k;

    // Image to mask: the grey of the three channels.
    struct Case {
        RGBA64 p;
        uint16_t m;
    } cases[] = {
        {{0, 0, 0, 0}, 65535},          {{255, 255, 255, 9}, 65535}, {{0, 0, 768, 65535}, 65280 - 256},
        {{65280, 65280, 65280, 1}, 0}, {{65535, 65535, 65535, 1}, 0},
    };
    for (int k = 0; k < 5; ++k) setPixel(2, k, 3, cases[k].p);
    CVX_CreateMaskFromImage();
    for (int k = 0; k < 5; ++k) EXPECT_EQ(maskAt(k, 3), cases[k].m) << k;
}

TEST_F(MaskTest, AlphaRoundTripsThroughTheMask) {
    for (int32_t x = 0; x < 16; ++x) setPixel(2, x, 5, {100, 200, 300, uint16_t(x * 4000 + 7)});
    CVX_CreateMaskFromAlpha();
    EXPECT_EQ(maskAt(3, 5), 12007);
    for (int32_t x = 0; x < 16; ++x) setPixel(2, x, 5, {100, 200, 300, 0});
    CVX_CreateAlphaFromMask();
    for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(pixel(2, x, 5), (RGBA64{100, 200, 300, uint16_t(x * 4000 + 7)}));

    std::vector<uint16_t> data(256);
    CVX_GetMaskData16(data.data());
    EXPECT_EQ(data[5 * 16 + 3], 12007);
    data[0] = 42;
    CVX_SetMaskData16(data.data());
    EXPECT_EQ(maskAt(0, 0), 42);
}

TEST_F(MaskTest, OptionsAndFlagsAreStored) {
    CVX_SetMaskOptions(1, 2, 255, 4, 5, 6, 9);
    CVX_DisplayMask(0x101);
    EXPECT_EQ(engine().mask.colourA[2], 255 * 256);
    EXPECT_EQ(engine().mask.colourB[0], 4 * 256);
    EXPECT_EQ(engine().mask.fullStrength, 9);
    EXPECT_TRUE(engine().mask.displayed);
}

TEST_F(MaskTest, ResizeOpensAndEnablesTheMask) {
    CVX_ClearMask(65280, 65280, 65280);
    CVX_EnableMask(0);
    CVX_NewSize(nullptr, 8, 8, 16, 0);
    EXPECT_TRUE(engine().mask.enabled);
    EXPECT_EQ(maskAt(7, 7), 65535);
}

}  // namespace
}  // namespace calv::test
