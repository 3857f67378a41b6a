#include <cstring>
#include <string>

#include "engine/canvas.h"
#include "history/history.h"
#include "support/engine_fixture.h"

namespace calv::test {
namespace {

using CanvasTest = EngineTest;

TEST(CanvasSide, OutOfRangeSidesBecome100AndZeroStays) {
    struct Case {
        int32_t in, out;
    } cases[] = {{-5, 100}, {-1, 100}, {0, 0}, {1, 1}, {10000, 10000}, {10001, 100}, {20000, 100}};
    for (auto c : cases) EXPECT_EQ(clampCanvasSide(c.in), c.out) << c.in;
}

TEST_F(CanvasTest, CreateClampsSizesAndSetsGeometry) {
    CVX_CreateImage(nullptr, -5, 20000, 64, 0);
    const CanvasState& c = engine().canvas;
    EXPECT_EQ(c.width, 100);
    EXPECT_EQ(c.height, 100);
    EXPECT_EQ(c.stride, 400);
    EXPECT_EQ(c.brushStride, 256);
    EXPECT_EQ(engine().brush.blendBuffer.width(), 64);
    EXPECT_EQ(engine().brush.workBuffers[19].width(), 64 + 25);
}

TEST_F(CanvasTest, FreshCanvasHasOpenEnabledMaskAndDefaultView) {
    engine().view.scale = 4;
    engine().view.zoom = 3.0f;
    engine().view.offsetX = 7;
    engine().view.tracingMode = true;
    CVX_CreateImage(nullptr, 1000, 1000, 16, 0);
    const Plane<G16>& mask = engine().mask.plane;
    ASSERT_EQ(mask.pixelCount(), 1000u * 1000u);
    for (size_t i = 0; i < mask.pixelCount(); ++i) ASSERT_EQ(mask.data()[i], 65535) << i;
    EXPECT_TRUE(engine().mask.enabled);
    EXPECT_FALSE(engine().view.tracingMode);
    EXPECT_EQ(engine().view.scale, 1);
    EXPECT_EQ(engine().view.zoom, 1.0f);
    EXPECT_EQ(engine().view.offsetX, 0);
    EXPECT_EQ(engine().history.undoMemoryKB, 9765);
    EXPECT_EQ(engine().history.underLayer.width(), 1000);
}

TEST_F(CanvasTest, ZeroWidthCanvasHasEmptyPlanesAndStillTakesLayers) {
    CVX_CreateImage(nullptr, 0, 50, 8, 0);
    EXPECT_EQ(engine().canvas.width, 0);
    EXPECT_EQ(engine().mask.plane.pixelCount(), 0u);
    EXPECT_EQ(CVX_CreateLayer(1, 0, 50), 1);
    CVX_SetLayer(1);
    CVX_ClearMasked(1, 2, 3, 4);  // nothing to fill, nothing to break
    EXPECT_EQ(CVX_GetLayerCount(), 1);
}

TEST_F(CanvasTest, CreateEmptiesEveryLayerSlot) {
    makeCanvas(20, 10);
    CVX_CreateImage(nullptr, 20, 10, 16, 0);
    EXPECT_EQ(CVX_GetLayerCount(), 0);
    EXPECT_EQ(engine().layers.currentRecord, nullptr);
}

TEST_F(CanvasTest, NewSizeKeepsLayersDropsPaintLayerAndReopensMask) {
    makeCanvas(20, 10);
    setPixel(2, 3, 4, {1, 2, 3, 4});
    CVX_CreatePaintLayer(100, "Normal");
    fillMask(0);
    engine().mask.enabled = false;
    CVX_NewSize(nullptr, 30, 40, 8, 0);
    EXPECT_EQ(engine().canvas.width, 30);
    EXPECT_EQ(engine().layers.table[2].width(), 20);
    EXPECT_EQ(pixel(2, 3, 4), (RGBA64{1, 2, 3, 4}));
    EXPECT_EQ(CVX_GetLayerNum(), 2);
    EXPECT_FALSE(engine().layers.paint.hasPixels());
    EXPECT_TRUE(engine().mask.enabled);
    EXPECT_EQ(engine().mask.plane.at(29, 39), 65535);
    EXPECT_EQ(engine().history.undoMemoryKB, 30 * 40 * 10 / 1024);
}

TEST_F(CanvasTest, DeleteImageFreesEverythingButKeepsSizeAndCurrentSlot) {
    makeCanvas(20, 10);
    CVX_CreatePaintLayer(100, "Normal");
    CVX_DeleteImage();
    EXPECT_EQ(CVX_GetLayerCount(), 0);
    EXPECT_TRUE(engine().mask.plane.empty());
    EXPECT_TRUE(engine().history.underLayer.empty());
    EXPECT_TRUE(engine().brush.blendBuffer.empty());
    EXPECT_FALSE(engine().layers.paint.hasPixels());
    EXPECT_EQ(engine().canvas.width, 20);
    EXPECT_EQ(CVX_GetLayerNum(), 2);
    // A layer export after delete finds no pixels and does nothing.
    CVX_ClearMasked(1, 1, 1, 1);
}

TEST_F(CanvasTest, LargestCanvasTakesLayersAndIsFreedWhole) {
    CVX_CreateImage(nullptr, 10000, 10000, 64, 0);
    ASSERT_EQ(engine().canvas.width, 10000);
    ASSERT_EQ(CVX_CreateLayer(1, 10000, 10000), 1);
    ASSERT_EQ(CVX_CreateLayer(2, 10000, 10000), 1);
    CVX_SetLayer(2);
    EXPECT_EQ(pixel(1, 9999, 9999), (RGBA64{65535, 65535, 65535, 65535}));
    CVX_DeleteImage();
    EXPECT_EQ(CVX_GetLayerCount(), 0);
}

TEST_F(CanvasTest, FailedCreateIsReportedAndACreateAfterItWorks) {
    failBlocksForTesting(3, 1);
    CVX_CreateImage(nullptr, 64, 64, 16, 0);
    EXPECT_STREQ(CVX_GetLastError(), "CreateImage Excpt");
    CVX_DeleteImage();
    CVX_CreateImage(nullptr, 64, 64, 16, 0);
    EXPECT_EQ(CVX_CreateLayer(1, 64, 64), 1);
    EXPECT_EQ(engine().mask.plane.at(63, 63), 65535);
}

TEST_F(CanvasTest, FailedNewSizeIsReported) {
    makeCanvas(8, 8);
    failBlocksForTesting(0, 1);
    CVX_NewSize(nullptr, 16, 16, 4, 0);
    EXPECT_STREQ(CVX_GetLastError(), "NewSize Excpt");
}

TEST_F(CanvasTest, LastErrorKeepsAtMost511Characters) {
    const char* before = CVX_GetLastError();
    const std::string text(600, 'x');
    CVX_SetLastError(text.c_str());
    EXPECT_EQ(std::string(CVX_GetLastError()), text.substr(0, 511));
    EXPECT_EQ(CVX_GetLastError(), before);
    CVX_SetLastError(nullptr);
    EXPECT_STREQ(CVX_GetLastError(), "");
}

TEST_F(CanvasTest, StartDirTakesPathsShorterThan1024) {
    const std::string ok(1023, 'a'), tooLong(1024, 'b');
    CVX_SetStartDir(ok.c_str());
    EXPECT_EQ(std::string(engine().process.startDir), ok);
    CVX_SetStartDir(tooLong.c_str());
    EXPECT_EQ(std::string(engine().process.startDir), ok);
    CVX_SetStartDir(nullptr);
    EXPECT_EQ(std::string(engine().process.startDir), ok);
}

TEST_F(CanvasTest, UtilitiesIgnoreNullAndNegativeArguments) {
    char dst[4] = {'a', 'b', 'c', 'd'};
    const char src[4] = {'w', 'x', 'y', 'z'};
    CVX_Memcpy(dst, nullptr, 4);
    CVX_Memcpy(nullptr, src, 4);
    CVX_Memcpy(dst, src, -1);
    EXPECT_EQ(std::memcmp(dst, "abcd", 4), 0);
    CVX_Memcpy(dst, src, 3);
    EXPECT_EQ(std::memcmp(dst, "wxyd", 4), 0);
    EXPECT_EQ(CVX_Alloc(-1), nullptr);
    void* block = CVX_Alloc(16);
    ASSERT_NE(block, nullptr);
    CVX_Free(block);
    CVX_Free(nullptr);
    EXPECT_EQ(BankAdrs(reinterpret_cast<intptr_t>(dst)), reinterpret_cast<intptr_t>(dst));
}

TEST_F(CanvasTest, DisplayChangeIsReportedOnce) {
    EXPECT_EQ(CVX_IsDisplayChanged(), 0);
    engine().process.displayChanged = true;
    EXPECT_EQ(CVX_IsDisplayChanged(), 1);
    EXPECT_EQ(CVX_IsDisplayChanged(), 0);
}

TEST_F(CanvasTest, RandomGeneratorFollowsItsRecurrence) {
    CVX_SetRandomSeed(1);
    const int32_t expected[] = {41, 18467, 6334, 26500, 19169};
    for (int32_t v : expected) EXPECT_EQ(engine().brush.random.draw(), v);
}

TEST_F(CanvasTest, GritTablesAreDrawnFromTheSeed) {
    CVX_SetRandomSeed(1);
    CVX_CreateImage(nullptr, 8, 8, 4, 0);
    const RandomByteTable& placement = engine().brush.gritPlacementTable;
    ASSERT_EQ(placement.length, 1'000'000);
    EXPECT_EQ(placement.limit, 255);
    // Draws 41, 18467, 6334 mod 255.
    EXPECT_EQ(placement.data[0], 41);
    EXPECT_EQ(placement.data[1], 18467 % 255);
    EXPECT_EQ(placement.data[2], 6334 % 255);
    EXPECT_EQ(engine().brush.gritValueTable.data[0], 41);
    EXPECT_EQ(engine().brush.gritValueTable.limit, 254);
}

TEST_F(CanvasTest, RandomTableKeepsLowByteOfLargeLimits) {
    CVX_SetRandomSeed(1);
    RandomByteTable table;
    MakeRandArrayByte(engine(), table, 1000, 3);
    EXPECT_EQ(table.data[1], uint8_t(18467 % 1000));  // 467 stored as 211
    const uint8_t* before = table.data.get();
    MakeRandArrayByte(engine(), table, 1000, 3);
    EXPECT_EQ(table.data.get(), before);  // unchanged request: not rebuilt
}

}  // namespace
}  // namespace calv::test
