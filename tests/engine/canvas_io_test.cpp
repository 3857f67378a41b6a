#include <algorithm>
#include <vector>

#include "support/engine_fixture.h"

namespace calv::test {
namespace {

using CanvasIoTest = EngineTest;

constexpr RGBA64 kOddPixel{65535, 32768, 256, 65280};

TEST_F(CanvasIoTest, PickWordsPackHighBytesInTheirOrder) {
    makeCanvas(10, 6);
    setPixel(2, 4, 5, kOddPixel);
    EXPECT_EQ(CVX_GetRGBAAtSurface(4, 5), 0xFF8001FFu);
    EXPECT_EQ(CVX_GetColorAtSurface(4, 5), 0xFFFF8001u);
    EXPECT_EQ(CVX_GetRGBAAtLayer(4, 5, 2), 0xFF8001FFu);
    EXPECT_EQ(CVX_GetColorAtLayer(4, 5, 2), 0xFFFF8001u);
    const uint16_t* plane = &engine().layers.table[2].pixels.data()->r;
    EXPECT_EQ(CVX_GetRGBAAt(4, 5, plane), 0xFF8001FFu);
    EXPECT_EQ(CVX_GetColorAt(4, 5, plane), 0xFFFF8001u);
}

TEST_F(CanvasIoTest, RGBAFamilyClampsColorFamilyReportsOutside) {
    makeCanvas(10, 6);
    setPixel(2, 0, 5, kOddPixel);
    const uint16_t* plane = &engine().layers.table[2].pixels.data()->r;
    EXPECT_EQ(CVX_GetRGBAAt(-5, 99999, plane), 0xFF8001FFu);
    EXPECT_EQ(CVX_GetRGBAAtLayer(-5, 99999, 2), 0xFF8001FFu);
    struct Case {
        int32_t x, y;
    } outside[] = {{10, 0}, {-1, 0}, {0, 6}, {0, -1}, {INT32_MAX, INT32_MIN}};
    for (auto c : outside) {
        EXPECT_EQ(CVX_GetColorAt(c.x, c.y, plane), 0xFFFFFFu) << c.x << "," << c.y;
        EXPECT_EQ(CVX_GetColorAtSurface(c.x, c.y), 0xFFFFFFu);
    }
    EXPECT_EQ(CVX_GetColorAt(10, 0, nullptr), 0u);
    EXPECT_EQ(CVX_GetRGBAAt(0, 0, nullptr), 0u);
}

TEST_F(CanvasIoTest, PicksOfMissingPlanesGiveZero) {
    CVX_CreateImage(nullptr, 4, 4, 8, 0);
    EXPECT_EQ(CVX_GetRGBAAtSurface(1, 1), 0u);  // nothing selected
    EXPECT_EQ(CVX_GetColorAtSurface(1, 1), 0u);
    EXPECT_EQ(CVX_GetRGBAAtTrace(1, 1), 0u);  // no trace image
    EXPECT_EQ(CVX_GetColorAtTrace(1, 1), 0u);
    EXPECT_EQ(CVX_GetColorAtLayer(1, 1, 64), 0u);
    EXPECT_EQ(CVX_GetRGBAAtLayer(1, 1, -1), 0u);
    EXPECT_EQ(CVX_GetColorAtHistory(1, 1), 0u);
    EXPECT_EQ(CVX_GetRed64(1, 1), 0);
}

TEST_F(CanvasIoTest, TraceAndUnderLayerPicks) {
    makeCanvas(4, 4);
    ASSERT_EQ(CVX_CreateLayer(0, 4, 4), 1);
    setPixel(0, 1, 2, kOddPixel);
    EXPECT_EQ(CVX_GetRGBAAtTrace(1, 2), 0xFF8001FFu);
    EXPECT_EQ(CVX_GetColorAtTrace(1, 2), 0xFFFF8001u);
    setPixel(2, 3, 3, kOddPixel);
    CVX_SetLayer(2);  // refreshes the under-layer
    EXPECT_EQ(CVX_GetColorAtUnderLayer(3, 3), 0xFFFF8001u);
    EXPECT_EQ(CVX_GetRGBAAtUnderLayer(9, 9), 0xFF8001FFu);
    EXPECT_EQ(CVX_GetColorAtHistory(3, 3), 0u);  // nothing to undo
}

TEST_F(CanvasIoTest, ChannelPicksReadTheCurrentLayerInsideTheCanvas) {
    makeCanvas(4, 4);
    setPixel(2, 1, 1, {1, 2, 3, 4});
    EXPECT_EQ(CVX_GetRed64(1, 1), 1);
    EXPECT_EQ(CVX_GetGreen64(1, 1), 2);
    EXPECT_EQ(CVX_GetBlue64(1, 1), 3);
    EXPECT_EQ(CVX_GetAlpha64(1, 1), 4);
    EXPECT_EQ(CVX_GetAlpha64(4, 1), 0);
    EXPECT_EQ(CVX_GetAlpha64(1, -1), 0);
}

TEST_F(CanvasIoTest, LayerReadsNarrowToHighBytesIntoPaddedRows) {
    makeCanvas(3, 2);
    setPixel(2, 0, 0, {0x12FF, 0x3400, 0x56AA, 0x7801});
    setPixel(2, 2, 1, {0xFFFF, 0, 0x0100, 0xFF00});
    std::vector<uint8_t> rgba(2 * 16, 0xEE), rgb(2 * 12, 0xEE), grey(2 * 12, 0xEE);
    EXPECT_EQ(CVX_GetRGBA32Layer(rgba.data(), 16, 2), 2);
    EXPECT_EQ((std::vector<uint8_t>(rgba.begin(), rgba.begin() + 4)), (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ((std::vector<uint8_t>(rgba.begin() + 24, rgba.begin() + 28)), (std::vector<uint8_t>{0xFF, 0, 1, 0xFF}));
    EXPECT_EQ(rgba[12], 0xEE);  // the padding stays
    EXPECT_EQ(CVX_GetRGBA32(rgba.data(), 16), 2);
    EXPECT_EQ(CVX_GetRGB24Layer(rgb.data(), 12, 2), 2);
    EXPECT_EQ((std::vector<uint8_t>(rgb.begin(), rgb.begin() + 3)), (std::vector<uint8_t>{0x12, 0x34, 0x56}));
    EXPECT_EQ((std::vector<uint8_t>(rgb.begin() + 18, rgb.begin() + 21)), (std::vector<uint8_t>{0xFF, 0, 1}));
    CVX_GetRGB24FromAlpha(grey.data(), 12);
    EXPECT_EQ((std::vector<uint8_t>(grey.begin(), grey.begin() + 3)), (std::vector<uint8_t>{0x78, 0x78, 0x78}));
    EXPECT_EQ(CVX_GetRGBA32Layer(rgba.data(), 16, 9), 0);
    EXPECT_EQ(CVX_GetRGB24Layer(nullptr, 12, 2), 0);
}

TEST_F(CanvasIoTest, RectangleReadsAreClippedToTheLayer) {
    makeCanvas(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) setPixel(2, x, y, {uint16_t(x), uint16_t(y), 7, 9});
    std::vector<RGBA64> rect(3 * 3, RGBA64{1, 1, 1, 1});
    CVX_GetRGBA64LayerRect(&rect[0].r, 3 * 8, 2, 2, -1, 3, 3);
    // Rectangle columns 2..4 and rows -1..1: only columns 2, 3 of rows 0, 1 exist.
    EXPECT_EQ(rect[0], (RGBA64{1, 1, 1, 1}));
    EXPECT_EQ(rect[3], (RGBA64{2, 0, 7, 9}));
    EXPECT_EQ(rect[4], (RGBA64{3, 0, 7, 9}));
    EXPECT_EQ(rect[5], (RGBA64{1, 1, 1, 1}));
    EXPECT_EQ(rect[7], (RGBA64{3, 1, 7, 9}));
}

TEST_F(CanvasIoTest, WholeLayerCopiesRoundTrip) {
    makeCanvas(5, 3);
    std::vector<RGBA64> picture(15);
    for (int i = 0; i < 15; ++i) picture[size_t(i)] = {uint16_t(i * 1000 + 1), uint16_t(i), uint16_t(65535 - i), 300};
    EXPECT_EQ(CVX_SetRGBA64Layer(&picture[0].r, 40, 2), 3);
    std::vector<RGBA64> back(15);
    CVX_GetRGBA64Layer(&back[0].r, 40, 2);
    EXPECT_EQ(back, picture);
    ASSERT_EQ(CVX_CreateLayer(3, 5, 3), 1);
    CVX_CopyLayerData(2, 3);
    std::vector<RGBA64> raw(15);
    CVX_GetLayerData(raw.data(), 3);
    EXPECT_EQ(raw, picture);
    picture[7] = {9, 9, 9, 9};
    CVX_SetLayerData(picture.data(), 3);
    EXPECT_EQ(pixel(3, 2, 1), (RGBA64{9, 9, 9, 9}));
    EXPECT_EQ(CVX_SetRGBA64Layer(&picture[0].r, 40, 11), 0);
    CVX_SetLayerData(nullptr, 3);
    CVX_CopyLayerData(2, 40);
}

TEST_F(CanvasIoTest, CopiesBetweenLayersOfOtherSizesStayInBounds) {
    makeCanvas(6, 6);
    CVX_NewSize(nullptr, 8, 8, 8, 0);  // layers stay 6 x 6 on an 8 x 8 canvas
    setPixel(2, 5, 5, kOddPixel);
    std::vector<RGBA64> raw(64, RGBA64{1, 1, 1, 1});
    CVX_GetLayerData(raw.data(), 2);
    EXPECT_EQ(raw[5 * 8 + 5], kOddPixel);
    EXPECT_EQ(raw[7 * 8 + 7], (RGBA64{1, 1, 1, 1}));
    std::vector<uint8_t> rgba(64 * 4, 0);
    EXPECT_EQ(CVX_GetRGBA32Layer(rgba.data(), 32, 2), 8);
    EXPECT_EQ(rgba[(5 * 8 + 5) * 4], 0xFF);
    CVX_SetLayerData(raw.data(), 1);
    CVX_Clear(1, 2, 3, 4);
    EXPECT_EQ(CVX_GetColorAtSurface(7, 7), 0xFFFFFFu);
}

TEST_F(CanvasIoTest, CompressedLayerRoundTripsByteExact) {
    constexpr int W = 64, H = 48;
    makeCanvas(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            setPixel(2, x, y,
                     widen(RGBA32{uint8_t(x * 4), uint8_t(y * 5), uint8_t((x * y) ^ 0x5A), uint8_t(255 - x)}));
    std::vector<uint8_t> before(W * H * 4), after(W * H * 4), stream(W * H * 5);
    CVX_GetRGBA32Layer(before.data(), W * 4, 2);
    const int32_t stored = CVX_GetRGBA32LayerCompressed(stream.data(), 0, int32_t(stream.size()), 2, 0);
    const int32_t packed = CVX_GetRGBA32LayerCompressed(stream.data(), 0, int32_t(stream.size()), 2, 9);
    ASSERT_GT(stored, 0);
    ASSERT_GT(packed, 0);
    EXPECT_LT(packed, stored);  // the level reaches the deflater
    EXPECT_GE(stored, W * H * 4);
    ASSERT_EQ(CVX_CreateLayer(3, W, H), 1);
    EXPECT_EQ(CVX_LoadRGBA32LayerCompressed(stream.data(), 0, packed, 3), 1);
    CVX_GetRGBA32Layer(after.data(), W * 4, 3);
    EXPECT_EQ(after, before);
    EXPECT_EQ(CVX_GetRGBA32LayerCompressed(stream.data(), 0, 10, 2, 9), 0);  // no room
    EXPECT_EQ(CVX_GetRGBA32LayerCompressed(stream.data(), 0, 1000, 12, 9), 0);
}

TEST_F(CanvasIoTest, FailedCompressionIsReported) {
    makeCanvas(4, 4);
    std::vector<uint8_t> stream(256);
    failBlocksForTesting(0, 1);
    EXPECT_EQ(CVX_GetRGBA32LayerCompressed(stream.data(), 0, 256, 2, 6), 0);
    EXPECT_STREQ(CVX_GetLastError(), "GetRGBA32Layer Excpt");
}

TEST_F(CanvasIoTest, RectangleConvertersTakeTheirOwnArgumentOrders) {
    CVX_CreateImage(nullptr, 2, 2, 8, 0);
    // A 3 x 2 RGBA64 image; the rectangle at (1, 0) of 2 x 2.
    std::vector<RGBA64> image(6);
    for (int i = 0; i < 6; ++i) image[size_t(i)] = {uint16_t(i << 8), uint16_t((i + 10) << 8), 0x00FF, 0xFFFF};
    std::vector<uint8_t> rgba(16), rgb(12);
    CVX_RGBA64RectToRGBA32(&image[0].r, 1, 0, 2, 2, 3, 0, rgba.data());
    EXPECT_EQ((std::vector<uint8_t>(rgba.begin(), rgba.begin() + 8)), (std::vector<uint8_t>{1, 11, 0, 255, 2, 12, 0, 255}));
    EXPECT_EQ(rgba[8], 4);
    CVX_RGBA64RectToRGBA24(&image[0].r, 1, 1, 2, 1, 3, 0, rgb.data());
    EXPECT_EQ((std::vector<uint8_t>(rgb.begin(), rgb.begin() + 6)), (std::vector<uint8_t>{4, 14, 0, 5, 15, 0}));
    std::fill(rgba.begin(), rgba.end(), 0);
    CVX_GetRGBA32FromRGBA64(rgba.data(), 8, 2, 2, &image[1].r, 24);
    EXPECT_EQ(rgba[0], 1);
    EXPECT_EQ(rgba[8], 4);
    std::fill(rgba.begin(), rgba.end(), 0);
    CVX_GetRGBA32FromRGBA64Rect(rgba.data(), 8, &image[1].r, 24, 500, 500, 2, 2);  // x, y do not offset
    EXPECT_EQ(rgba[8], 4);
    std::fill(rgb.begin(), rgb.end(), 0);
    CVX_GetRGB24FromRGBA64(rgb.data(), 6, &image[0].r, 24);  // the canvas is 2 x 2
    EXPECT_EQ((std::vector<uint8_t>{rgb[0], rgb[3], rgb[6], rgb[9]}), (std::vector<uint8_t>{0, 1, 3, 4}));
    CVX_GetRGB24FromRGBA64Rect(nullptr, 6, &image[0].r, 24, 0, 0, 2, 2);
}

TEST(PackedConverters, ChannelRulesOfEachDirection) {
    const uint8_t rgb[] = {1, 2, 4, 200, 100, 0};
    uint8_t rgba[8] = {9, 9, 9, 77, 9, 9, 9, 88};
    CVX_RGBToRGBA(rgba, 2, 1, rgb);
    EXPECT_EQ((std::vector<uint8_t>(rgba, rgba + 8)), (std::vector<uint8_t>{1, 2, 4, 77, 200, 100, 0, 88}));
    CVX_RGBToRGBAlpha(rgba, 2, 1, rgb);
    EXPECT_EQ(rgba[3], 2);    // (1 + 2 + 4) / 3
    EXPECT_EQ(rgba[7], 100);  // (200 + 100 + 0) / 3
    uint8_t out[6] = {};
    CVX_RGBAToRGB(out, 2, 1, rgba);
    EXPECT_EQ((std::vector<uint8_t>(out, out + 6)), (std::vector<uint8_t>{1, 2, 4, 200, 100, 0}));
    CVX_RGBAlphaToRGB(out, 2, 1, rgba);
    EXPECT_EQ((std::vector<uint8_t>(out, out + 6)), (std::vector<uint8_t>{2, 2, 2, 100, 100, 100}));
    CVX_RGBToRGBA(nullptr, 2, 1, rgb);
    CVX_RGBAToRGB(out, 2, 1, nullptr);
}

TEST_F(CanvasIoTest, SetPixelWritesHighBytesInsideTheCanvasOnly) {
    CVX_CreateImage(nullptr, 2, 2, 8, 0);
    std::vector<uint8_t> buffer(2 * 8, 0);
    CVX_SetPixelRGB24(buffer.data(), 8, 1, 1, 0xFFFF, 0x80FF, 0x0100);
    EXPECT_EQ((std::vector<uint8_t>(buffer.begin() + 11, buffer.begin() + 14)), (std::vector<uint8_t>{0xFF, 0x80, 0x01}));
    CVX_SetPixelRGB24(buffer.data(), 8, 2, 0, 0xFFFF, 0xFFFF, 0xFFFF);
    CVX_SetPixelRGB24(buffer.data(), 8, 0, -1, 0xFFFF, 0xFFFF, 0xFFFF);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xFF), 1);
}

TEST_F(CanvasIoTest, FillsStoreTheirValues) {
    makeCanvas(3, 2);
    CVX_Clear(255, 1, 2, 0);
    EXPECT_EQ(pixel(2, 2, 1), (RGBA64{65280, 256, 512, 0}));
    std::vector<RGBA64> wide(2 * 4, RGBA64{7, 7, 7, 7});  // rows padded to 4 pixels
    CVX_ClearRGBA64(&wide[0].r, 32, 65535, 1, 2, 3);
    EXPECT_EQ(wide[6], (RGBA64{65535, 1, 2, 3}));
    EXPECT_EQ(wide[3], (RGBA64{7, 7, 7, 7}));
    std::vector<uint8_t> rgba(2 * 16, 0);
    CVX_ClearRGBA32(rgba.data(), 16, 1, 2, 3, 4);
    EXPECT_EQ((std::vector<uint8_t>(rgba.begin() + 24, rgba.begin() + 28)), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(rgba[12], 0);
    std::vector<uint8_t> packed(5 * 4, 0);
    CVX_ClearRGBA32Buf(packed.data(), 5, 1, 9, 8, 7, 6);
    EXPECT_EQ((std::vector<uint8_t>(packed.end() - 4, packed.end())), (std::vector<uint8_t>{9, 8, 7, 6}));
}

TEST_F(CanvasIoTest, DataExtentsBoundTheNonTransparentPixels) {
    makeCanvas(12, 8);
    int32_t l = -9, t = -9, r = -9, b = -9;
    CVX_FindDataExtentsLayer(2, &l, &t, &r, &b);
    EXPECT_GT(l, r);  // nothing visible
    EXPECT_EQ(l, 12);
    EXPECT_EQ(t, 8);
    setPixel(2, 7, 3, {0, 0, 0, 1});
    CVX_FindDataExtentsLayer(2, &l, &t, &r, &b);
    EXPECT_EQ((std::vector<int32_t>{l, t, r, b}), (std::vector<int32_t>{7, 3, 7, 3}));
    setPixel(2, 2, 6, {0, 0, 0, 65535});
    setPixel(2, 11, 0, {0, 0, 0, 65535});
    CVX_FindDataExtentsLayer(2, &l, &t, &r, &b);
    EXPECT_EQ((std::vector<int32_t>{l, t, r, b}), (std::vector<int32_t>{2, 0, 11, 6}));
    l = t = r = b = -9;
    CVX_FindDataExtentsLayer(5, &l, &t, &r, &b);  // no pixels: nothing written
    EXPECT_EQ(l, -9);
    CVX_FindDataExtentsLayer(2, nullptr, &t, &r, &b);
}

}  // namespace
}  // namespace calv::test
