#include <vector>

#include "support/engine_fixture.h"

namespace calv::test {
namespace {

class AlphaOpsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        makeCanvas(4, 4);
    }
};

TEST_F(AlphaOpsTest, LayerAlphaOperations) {
    setPixel(2, 0, 0, {1, 2, 3, 0x00FF});
    setPixel(2, 1, 0, {1, 2, 3, 0x0100});
    CVX_SetColorAlpha(255, 0, 0x180);  // low bytes: 255, 0, 0x80
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{0xFFFF, 0, 0x80 * 257, 0}));
    EXPECT_EQ(pixel(2, 1, 0), (RGBA64{1, 2, 3, 0x0100}));

    CVX_SetLayerAlpha(2, 0x13000);
    EXPECT_EQ(pixel(2, 3, 3).a, 0x3000);
    CVX_InvertAlpha(2);
    EXPECT_EQ(pixel(2, 3, 3).a, 0xFFFF - 0x3000);

    CVX_SetLayerAlpha(2, 0x7FFF);
    CVX_SetLayerOptions(2, 1, 0, 50, "Normal");
    CVX_NormalizeLayerAlpha(2);
    EXPECT_EQ(pixel(2, 0, 0).a, 0x7FFF * 128 >> 8);
    EXPECT_EQ(engine().layers.table[2].opacity, 256);
    CVX_NormalizeLayerAlpha(2);  // at 100 % nothing changes
    EXPECT_EQ(pixel(2, 0, 0).a, 0x7FFF * 128 >> 8);

    // Slots outside the table or without pixels are ignored.
    for (int32_t slot : {-1, 5, 64, 1000}) {
        CVX_InvertAlpha(slot);
        CVX_SetLayerAlpha(slot, 0);
        CVX_NormalizeLayerAlpha(slot);
        CVX_CreateBlobFromImage(slot, 1);
    }
}

TEST_F(AlphaOpsTest, BlobConversion) {
    struct Case {
        int32_t mode;
        RGBA64 in, out;
    } cases[] = {
        {0, {0, 0, 0, 0xFFFF}, {0x7FFF, 0x7FFF, 0x7FFF, 10239}},
        {0, {0, 0, 0, 0x1FFF}, {0x7FFF, 0x7FFF, 0x7FFF, 0x1FFF}},  // nearly clear: alpha kept
        {1, {0x7FFF, 0x7FFF, 0x7FFF, 0x2000}, {0x7FFF, 0x7FFF, 0x7FFF, uint16_t(0x7FFF * 0.843 + 10239)}},
        {1, {0x2000, 0x4000, 0x6000, 0xFFFF}, {22527, 28671, 34815, 24050}},  // pulled up toward the middle
        {1, {0xC000, 0xD000, 0xE000, 0xFFFF}, {33790, 36606, 39422, 55127}},  // pulled down
    };
    for (const Case& c : cases) {
        setPixel(2, 0, 0, c.in);
        CVX_CreateBlobFromImage(2, c.mode);
        EXPECT_EQ(pixel(2, 0, 0), c.out) << c.mode << " " << c.in;
    }
}

TEST_F(AlphaOpsTest, PaintLayerAlphaBlurKeepsTheInteriorOpaque) {
    CVX_CreatePaintLayer(100, "Normal");
    ASSERT_TRUE(engine().layers.paint.hasPixels());
    Plane<RGBA64>& paint = engine().layers.paint.pixels;
    paint.fill({0, 0, 0, 0});
    for (int32_t y = 0; y < 4; ++y) paint.at(0, y) = paint.at(1, y) = {100, 100, 100, 0xF000};  // high byte 240
    CVX_BlurPaintLayerAlpha();
    EXPECT_EQ(paint.at(1, 2).a, 0xFFFF);  // next to transparent pixels, still fully opaque
    EXPECT_GT(paint.at(2, 2).a, 0);      // the edge takes the blur
    EXPECT_EQ(paint.at(2, 2).a & 0xFF, 0);
    EXPECT_LT(paint.at(3, 2).a, paint.at(2, 2).a);

    const RGBA64 before = paint.at(2, 2);
    CVX_SetLastError("");
    failBlocksForTesting(1, 1);  // the second buffer cannot be had
    CVX_BlurPaintLayerAlpha();
    EXPECT_STREQ(CVX_GetLastError(), "BlurPaintLayerAlpha Excpt");
    EXPECT_EQ(paint.at(2, 2), before);
}

TEST_F(AlphaOpsTest, HostPictures) {
    std::vector<uint8_t> p = {10, 20, 30, 0, 10, 20, 30, 40, 1, 2, 3, 255};
    CVX_SetColorAlphaRGBABuf(p.data(), 3, 1, 7, 8, 9);
    EXPECT_EQ(p, (std::vector<uint8_t>{7, 8, 9, 0, 10, 20, 30, 40, 1, 2, 3, 255}));
    CVX_SetColorRGBABuf(p.data(), 3, 1, 4, 5, 6);
    EXPECT_EQ(p, (std::vector<uint8_t>{4, 5, 6, 0, 4, 5, 6, 40, 4, 5, 6, 255}));

    std::vector<uint8_t> canvas(4 * 4 * 4, 0);
    canvas[3] = 40;
    canvas[4] = 1, canvas[5] = 2, canvas[6] = 3, canvas[7] = 99;  // the key colour
    CVX_InvertAlpha_RGBA32(canvas.data());
    EXPECT_EQ(canvas[3], 215);
    CVX_SetAlphaFromRGBAImageColor(canvas.data(), 1, 2, 3);
    EXPECT_EQ(canvas[7], 0);
    EXPECT_EQ(canvas[3], 215);
}

TEST_F(AlphaOpsTest, TextureAndMaskWeightIncomingAlpha) {
    std::vector<uint8_t> p(4 * 4 * 4, 200);
    CVX_EnableMask(0);
    CVX_AdjustRGBA32ByMaskAndTexture(p.data(), 4, 4);  // neither in force
    EXPECT_EQ(p[3], 200);
    CVX_EnableMask(1);
    engine().mask.plane.at(1, 0) = 0x8000;
    CVX_AdjustRGBA32ByMaskAndTexture(p.data(), 4, 4);
    EXPECT_EQ(p[3], 200);   // m = 0xFFFF
    EXPECT_EQ(p[7], 99);    // f = 0x7FFF: trunc(0.49999 x 200)
    ASSERT_TRUE(CVX_CreateTexture(2) != nullptr);  // a transparent layer: texture bytes 4
    EXPECT_EQ(engine().brush.texturePlane.at(0, 0), 4);
    std::vector<uint8_t> q(4 * 4 * 4, 200);
    CVX_EnableMask(0);
    CVX_AdjustRGBA32ByMaskAndTexture(q.data(), 4, 4);
    EXPECT_EQ(q[3], 6);  // f = 2047

    // A picture of the rectangle at x = -1: its column 1 lies on canvas column 0.
    CVX_DeleteTexture();
    CVX_EnableMask(1);
    fillMask(0xFFFF);
    engine().mask.plane.at(0, 0) = 0;
    uint8_t rect[3 * 4] = {9, 9, 9, 200, 9, 9, 9, 200, 9, 9, 9, 200};
    CVX_AdjustRGBA32RectByMaskAndTexture(rect, -1, 0, 3, 1);
    EXPECT_EQ(rect[3], 200);
    EXPECT_EQ(rect[7], 0);
    EXPECT_EQ(rect[11], 200);
}

TEST_F(AlphaOpsTest, PreAndPostFilters) {
    uint16_t p64[8] = {0x8000, 0xFF00, 1, 1, 0x1234, 5, 6, 0};
    CVX_AdjustRGBA64PreFilter(p64, 2, 1);
    EXPECT_EQ(p64[0], 0);  // trunc(1/65535 x 0x8000)
    EXPECT_EQ(p64[4], 0x1234);  // alpha 0: left
    uint16_t q64[4] = {0x8000, 1, 0, 1};
    CVX_AdjustRGBA64PostFilter(q64, 1, 1);  // A = 1: any colour reaches the top
    EXPECT_EQ(q64[0], 0xFFFF);
    EXPECT_EQ(q64[1], 0xFFFF);
    EXPECT_EQ(q64[2], 0);

    std::vector<uint8_t> canvas(4 * 4 * 4, 0);
    canvas[0] = 50, canvas[3] = 128;
    canvas[4] = 200, canvas[7] = 255;
    CVX_AdjustRGBA32ForAlphaComp(0, canvas.data());
    EXPECT_EQ(canvas[0], 50);
    CVX_AdjustRGBA32ForAlphaComp(1, canvas.data());
    EXPECT_EQ(canvas[0], 99);   // 50 / (128 / 255), truncated
    EXPECT_EQ(canvas[4], 200);  // opaque pixels are divided too, by 1
}

}  // namespace
}  // namespace calv::test
