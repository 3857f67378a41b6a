#include <zlib.h>

#include <vector>

#include "mask/weights.h"
#include "support/engine_fixture.h"

namespace calv::test {
namespace {

using MaskedLoadTest = EngineTest;

std::vector<uint8_t> rgba32(int w, int h, RGBA32 p) {
    std::vector<uint8_t> v(size_t(w) * size_t(h) * 4);
    for (size_t i = 0; i < v.size(); i += 4) {
        v[i] = p.r;
        v[i + 1] = p.g;
        v[i + 2] = p.b;
        v[i + 3] = p.a;
    }
    return v;
}

TEST(Weights, TextureAndMaskWeights) {
    EXPECT_EQ(textureLoadWeight(0), 0u);
    EXPECT_EQ(textureLoadWeight(1), 767u);  // (3 x 65535) / 256
    EXPECT_EQ(textureLoadWeight(127), 65279u);
    EXPECT_EQ(textureLoadWeight(128), 65535u);
    EXPECT_EQ(textureWeight(0), 0u);
    EXPECT_EQ(textureWeight(4), 2047u);
    EXPECT_EQ(textureWeight(127), 65023u);
    EXPECT_EQ(textureWeight(200), 65535u);
    EXPECT_EQ(maskWeight8(65535, 0x00FF), 0u);  // high byte 0 protects
    EXPECT_EQ(maskWeight8(65535, 0xFF00), 65535u);
    EXPECT_EQ(maskWeight8(65535, 0x8000), 33023u);  // 65535 x 129 / 256
    EXPECT_EQ(maskWeight16(65535, 0x00FF), 254u);
    EXPECT_EQ(maskWeight16(65535, 65535), 65535u);
    EXPECT_EQ(maskedReplace(255, 0, 32768), 32640);
}

TEST_F(MaskedLoadTest, ByteValuesWidenTo16BitsBy256) {
    makeCanvas(2, 1);
    const auto src = rgba32(2, 1, {255, 128, 1, 255});
    CVX_LoadRGBA32(src.data(), 8, 0);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{65280, 32768, 256, 65280}));
}

TEST_F(MaskedLoadTest, NegativeOriginEntersTheSourceFurtherIn) {
    makeCanvas(30, 4);
    std::vector<uint8_t> src(20 * 2 * 4, 0);
    // Source row 1 holds the ramp; with y = -1 it lands on layer row 0.
    for (int x = 0; x < 20; ++x) src[size_t(20 + x) * 4] = uint8_t(x), src[size_t(20 + x) * 4 + 3] = 255;
    CVX_LoadRGBA32Layer(src.data(), 80, 2, -10, -1, 20, 2, 0);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(pixel(2, x, 0).r, (x + 10) * 256) << x;
    EXPECT_EQ(pixel(2, 10, 0).a, 0);
    EXPECT_EQ(pixel(2, 0, 1).a, 0);
}

TEST_F(MaskedLoadTest, RectanglesPastTheRightAndBottomEdgesAreClipped) {
    makeCanvas(4, 4);
    const auto src = rgba32(8, 8, {1, 2, 3, 255});
    CVX_LoadRGBA32Layer(src.data(), 32, 2, 2, 3, 8, 8, 0);
    EXPECT_EQ(pixel(2, 3, 3), (RGBA64{256, 512, 768, 65280}));
    EXPECT_EQ(pixel(2, 1, 3).a, 0);
    CVX_LoadRGBA32Layer(src.data(), 32, 2, 9999, INT32_MAX, 8, 8, 0);  // entirely outside
}

TEST_F(MaskedLoadTest, UnmaskedCopyOfTransparentPixels) {
    makeCanvas(1, 1);
    setPixel(2, 0, 0, {1, 1, 1, 4000});
    const auto src = rgba32(1, 1, {10, 20, 30, 0});
    CVX_LoadRGBA32(src.data(), 4, 0);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{0, 0, 0, 0}));
    setPixel(2, 0, 0, {1, 1, 1, 4000});
    engine().layers.table[2].keepAlpha = true;
    CVX_LoadRGBA32(src.data(), 4, 0);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{2560, 5120, 7680, 4000}));
}

// One row per case of the weighted load: the mask value sets the weight.
TEST_F(MaskedLoadTest, WeightedLoadFollowsItsCaseTable) {
    struct Case {
        const char* what;
        uint16_t mask;
        RGBA64 dst;
        RGBA32 src;
        bool keepAlpha;
        RGBA64 expected;
    } cases[] = {
        {"full weight", 0xFF00, {1, 1, 1, 1}, {10, 20, 30, 40}, false, {2560, 5120, 7680, 10240}},
        {"protected", 0x00FF, {1, 1, 1, 1}, {10, 20, 30, 40}, false, {1, 1, 1, 1}},
        // w = 33023: A = (40 x 256 x 33023) / 65536
        {"empty destination", 0x8000, {1, 1, 1, 0}, {10, 20, 30, 40}, false, {2560, 5120, 7680, 5159}},
        // e = 32512: A = (65535 x 32512) / 65536
        {"transparent source", 0x8000, {7, 8, 9, 65535}, {10, 20, 30, 0}, false, {7, 8, 9, 32511}},
        // ((2560 x 33023) >> 8 + (0 x 32512) >> 8) >> 8 = 1289; alpha the same blend
        {"blend", 0x8000, {0, 65280, 0, 65535}, {10, 255, 0, 255}, false, {1289, 65279, 0, 65405}},
        {"blend, alpha kept", 0x8000, {0, 65280, 0, 65535}, {10, 255, 0, 255}, true, {1289, 65279, 0, 65535}},
        {"empty destination, alpha kept", 0x8000, {1, 1, 1, 0}, {10, 20, 30, 40}, true, {2560, 5120, 7680, 0}},
    };
    makeCanvas(1, 1);
    for (const Case& c : cases) {
        fillMask(c.mask);
        setPixel(2, 0, 0, c.dst);
        engine().layers.table[2].keepAlpha = c.keepAlpha;
        const auto src = rgba32(1, 1, c.src);
        CVX_LoadRGBA32(src.data(), 4, 1);
        EXPECT_EQ(pixel(2, 0, 0), c.expected) << c.what;
    }
}

TEST_F(MaskedLoadTest, MaskIsIgnoredWhenDisabledOrNotAskedFor) {
    makeCanvas(1, 1);
    fillMask(0);
    const auto src = rgba32(1, 1, {1, 2, 3, 4});
    CVX_LoadRGBA32(src.data(), 4, 0);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{256, 512, 768, 1024}));
    setPixel(2, 0, 0, {});
    engine().mask.enabled = false;
    CVX_LoadRGBA32Into(src.data(), 4, 2, 0, 0, 1, 1);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{256, 512, 768, 1024}));
}

TEST_F(MaskedLoadTest, TextureWeighsLoadsEvenWithTheMaskDisabled) {
    makeCanvas(3, 1);
    engine().mask.enabled = false;
    ASSERT_EQ(CVX_CreateLayer(3, 3, 1), 1);
    setPixel(3, 1, 0, {32767, 32767, 32767, 65535});  // grey 127: weight 65279
    setPixel(3, 2, 0, {65535, 65535, 65535, 65535});  // white: full weight
    ASSERT_NE(CVX_CreateTexture(3), nullptr);
    EXPECT_EQ(engine().brush.texturePlane.at(0, 0), 4);
    for (int x = 0; x < 3; ++x) setPixel(2, x, 0, {0, 0, 0, 65535});
    const auto src = rgba32(3, 1, {255, 0, 0, 255});
    CVX_LoadRGBA32(src.data(), 12, 1);
    // t = 4: w = 2303; t = 127: w = 65279; t = 250: w = 65535.
    EXPECT_EQ(pixel(2, 0, 0).r, ((65280u * 2303) >> 8) >> 8);
    EXPECT_EQ(pixel(2, 1, 0).r, ((65280u * 65279) >> 8) >> 8);
    EXPECT_EQ(pixel(2, 2, 0).r, 65280);
}

TEST_F(MaskedLoadTest, LayerReachingPastTheCanvasLoadsUnmaskedThere) {
    makeCanvas(8, 8);
    CVX_NewSize(nullptr, 4, 4, 8, 0);  // the layers keep 8 x 8
    fillMask(0);
    const auto src = rgba32(8, 8, {1, 2, 3, 255});
    CVX_LoadRGBA32(src.data(), 32, 1);
    EXPECT_EQ(pixel(2, 3, 3).a, 0);      // under the protecting mask
    EXPECT_EQ(pixel(2, 4, 0).a, 65280);  // beyond the mask's columns
    EXPECT_EQ(pixel(2, 0, 7).a, 65280);  // beyond its rows
}

TEST_F(MaskedLoadTest, RGB24LoadsColourOnlyThroughTheWeight) {
    makeCanvas(2, 1);
    setPixel(2, 0, 0, {0, 0, 0, 1234});
    setPixel(2, 1, 0, {0, 0, 0, 1234});
    engine().mask.plane.at(1, 0) = 0x8000;
    const uint8_t src[] = {10, 20, 30, 255, 255, 255};
    CVX_LoadRGB24(src, 6, 1);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{2560, 5120, 7680, 1234}));
    const uint16_t blended = 32894;  // ((65280 x 33023) >> 8) >> 8
    EXPECT_EQ(pixel(2, 1, 0), (RGBA64{blended, blended, blended, 1234}));
}

TEST_F(MaskedLoadTest, RGB24ToAlphaWeighsByTheWhole16BitMask) {
    makeCanvas(3, 1);
    setPixel(2, 0, 0, {0, 0, 0, 0});      // transparent: left alone
    setPixel(2, 1, 0, {0, 0, 0, 65535});  // mask 0x00FF: weight 254
    setPixel(2, 2, 0, {0, 0, 0, 100});    // open
    engine().mask.plane.at(1, 0) = 0x00FF;
    const uint8_t src[] = {200, 0, 0, 0, 1, 2, 7, 0, 0};
    CVX_LoadRGB24ToAlpha(src, 9, 1);
    EXPECT_EQ(pixel(2, 0, 0).a, 0);
    EXPECT_EQ(pixel(2, 1, 0).a, 65280);  // ((65535 x 65281) >> 8) >> 8
    EXPECT_EQ(pixel(2, 2, 0).a, 7 * 256);
}

TEST_F(MaskedLoadTest, BitmapLoadSwapsBlueAndRedAndIsOpaque) {
    makeCanvas(2, 2);
    const uint8_t bgr[] = {1, 2, 3, 4, 5, 6, 0, 0,  // padded rows of 8 bytes
                           7, 8, 9, 10, 11, 12, 0, 0};
    fillMask(0);  // not consulted
    CVX_Load(bgr, 8, 5, 5);  // larger than the canvas: clipped
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{768, 512, 256, 65535}));
    EXPECT_EQ(pixel(2, 1, 1), (RGBA64{3072, 2816, 2560, 65535}));
}

TEST_F(MaskedLoadTest, MaskedClearUsesTheWhole16BitMask) {
    makeCanvas(4, 1);
    for (int x = 0; x < 4; ++x) setPixel(2, x, 0, {1000, 2000, 3000, 4000});
    const uint16_t masks[] = {65535, 0, 32768, 0x00FF};
    for (int x = 0; x < 4; ++x) engine().mask.plane.at(x, 0) = masks[x];
    CVX_ClearMasked(255, 0, 10, 0);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{65280, 0, 2560, 0}));
    EXPECT_EQ(pixel(2, 1, 0), (RGBA64{1000, 2000, 3000, 4000}));
    EXPECT_EQ(pixel(2, 2, 0), (RGBA64{maskedReplace(255, 1000, 32768), maskedReplace(0, 2000, 32768),
                                      maskedReplace(10, 3000, 32768), 65535}));
    EXPECT_EQ(pixel(2, 3, 0).a, 65535);
    EXPECT_EQ(pixel(2, 3, 0).r, maskedReplace(255, 1000, 0x00FF));
    engine().mask.enabled = false;
    CVX_ClearMasked(1, 2, 3, 4);
    EXPECT_EQ(pixel(2, 1, 0), (RGBA64{256, 512, 768, 1024}));
}

TEST_F(MaskedLoadTest, MaskedAlphaClearMatchesAMaskedLoadOfTheColour) {
    makeCanvas(3, 2);
    const uint16_t masks[] = {65535, 0, 0x8000, 0x4000, 0x00FF, 0xC000};
    for (int i = 0; i < 6; ++i) engine().mask.plane.data()[i] = masks[i];
    for (int i = 0; i < 6; ++i) engine().layers.table[2].pixels.data()[i] = {100, 200, 300, uint16_t(i * 9000)};
    ASSERT_EQ(CVX_CreateLayer(3, 3, 2), 1);
    for (int i = 0; i < 6; ++i) engine().layers.table[3].pixels.data()[i] = engine().layers.table[2].pixels.data()[i];
    EXPECT_EQ(CVX_ClearMaskedAlpha(9, 99, 199, 128), 1);
    const auto src = rgba32(3, 2, {9, 99, 199, 128});
    CVX_LoadRGBA32Layer(src.data(), 12, 3, 0, 0, 3, 2, 1);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(engine().layers.table[2].pixels.data()[i], engine().layers.table[3].pixels.data()[i]) << i;
}

TEST_F(MaskedLoadTest, MaskedAlphaClearReportsAMissingBuffer) {
    makeCanvas(3, 2);
    setPixel(2, 0, 0, {1, 2, 3, 4});
    failBlocksForTesting(0, 1);
    EXPECT_EQ(CVX_ClearMaskedAlpha(9, 9, 9, 9), 0);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{1, 2, 3, 4}));
}

TEST_F(MaskedLoadTest, CompressedBlockRestoresTheLayer) {
    makeCanvas(17, 9);
    std::vector<uint8_t> picture(17 * 9 * 4);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = uint8_t(i * 7 + i / 13);
    for (size_t i = 3; i < picture.size(); i += 4) picture[i] |= 1;  // no transparent pixel
    uLongf size = compressBound(picture.size());
    std::vector<uint8_t> stream(size);
    ASSERT_EQ(compress2(stream.data(), &size, picture.data(), picture.size(), 6), Z_OK);
    fillMask(0);  // restoring a layer ignores the mask
    EXPECT_EQ(CVX_LoadRGBA32LayerCompressed(stream.data(), 0, int32_t(size), 2), 1);
    for (int i = 0; i < 17 * 9; ++i) {
        const RGBA64 p = engine().layers.table[2].pixels.data()[i];
        ASSERT_EQ(p, widen(RGBA32{picture[size_t(i) * 4], picture[size_t(i) * 4 + 1], picture[size_t(i) * 4 + 2],
                                  picture[size_t(i) * 4 + 3]}))
            << i;
    }
}

TEST_F(MaskedLoadTest, DamagedCompressedBlockLeavesTheLayerAlone) {
    makeCanvas(4, 4);
    setPixel(2, 1, 1, {1, 2, 3, 4});
    const auto picture = rgba32(4, 4, {9, 9, 9, 9});
    uLongf size = compressBound(picture.size());
    std::vector<uint8_t> stream(size);
    ASSERT_EQ(compress2(stream.data(), &size, picture.data(), picture.size(), 9), Z_OK);
    struct Case {
        const char* what;
        std::vector<uint8_t> data;
    } cases[] = {
        {"truncated", {stream.begin(), stream.begin() + long(size) / 2}},
        {"garbage", std::vector<uint8_t>(64, 0xA5)},
        {"too few pixels", [] {
             const auto small = rgba32(2, 2, {9, 9, 9, 9});
             uLongf n = compressBound(small.size());
             std::vector<uint8_t> s(n);
             compress2(s.data(), &n, small.data(), small.size(), 1);
             s.resize(n);
             return s;
         }()},
    };
    for (const Case& c : cases) {
        CVX_SetLastError("");
        EXPECT_EQ(CVX_LoadRGBA32LayerCompressed(c.data.data(), 0, int32_t(c.data.size()), 2), 0) << c.what;
        EXPECT_STREQ(CVX_GetLastError(), "LoadRGBA32LayerCompressed Excpt") << c.what;
        EXPECT_EQ(pixel(2, 1, 1), (RGBA64{1, 2, 3, 4})) << c.what;
    }
}

TEST_F(MaskedLoadTest, LoadsIntoMissingLayersOrFromNullDoNothing) {
    makeCanvas(2, 2);
    const auto src = rgba32(2, 2, {1, 1, 1, 1});
    CVX_LoadRGBA32Layer(src.data(), 8, 7, 0, 0, 2, 2, 0);
    CVX_LoadRGBA32Layer(src.data(), 8, -1, 0, 0, 2, 2, 0);
    CVX_LoadRGBA32Layer(nullptr, 8, 2, 0, 0, 2, 2, 0);
    CVX_LoadRGB24(nullptr, 6, 1);
    CVX_LoadRGB24ToAlpha(nullptr, 6, 1);
    CVX_Load(nullptr, 6, 2, 2);
    EXPECT_EQ(CVX_LoadRGBA32LayerCompressed(nullptr, 0, 10, 2), 0);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{0, 0, 0, 0}));
    EXPECT_FALSE(engine().layers.table[7].hasPixels());
}

}  // namespace
}  // namespace calv::test
