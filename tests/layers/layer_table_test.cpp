#include "layers/blend_modes.h"
#include "layers/layer_table.h"
#include "support/engine_fixture.h"

namespace calv::test {
namespace {

using LayerTableTest = EngineTest;

TEST_F(LayerTableTest, BackgroundStartsOpaqueWhiteOtherSlotsTransparent) {
    CVX_CreateImage(nullptr, 4, 3, 8, 0);
    ASSERT_EQ(CVX_CreateLayer(1, 4, 3), 1);
    ASSERT_EQ(CVX_CreateLayer(5, 4, 3), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(pixel(1, x, y), (RGBA64{65535, 65535, 65535, 65535}));
            EXPECT_EQ(pixel(5, x, y), (RGBA64{0, 0, 0, 0}));
        }
    // A slot never configured is hidden, with opacity 0 and mode "Normal".
    const Layer& fresh = engine().layers.table[5];
    EXPECT_FALSE(fresh.visible);
    EXPECT_EQ(fresh.opacity, 0);
    EXPECT_EQ(fresh.blendMode, 0);
}

TEST_F(LayerTableTest, BadSlotsAndSizesAreRejectedWithoutChange) {
    CVX_CreateImage(nullptr, 4, 4, 8, 0);
    struct Case {
        int32_t slot, w, h;
    } cases[] = {{64, 4, 4}, {-1, 4, 4}, {1000, 4, 4}, {INT32_MIN, 4, 4}, {2, -1, 4}, {2, 4, 10001}};
    for (auto c : cases) EXPECT_EQ(CVX_CreateLayer(c.slot, c.w, c.h), 0) << c.slot << " " << c.w << "x" << c.h;
    EXPECT_EQ(CVX_GetLayerCount(), 0);
    // Every other slot export takes a bad slot quietly.
    CVX_DeleteLayer(-3);
    CVX_DeleteLayer(64);
    CVX_SetLayer(-1);
    CVX_SetLayer(99);
    CVX_SwapLayers(-1, 2);
    CVX_SwapLayers(2, 64);
    CVX_MergePaintLayer(-7);
    EXPECT_EQ(CVX_SetLayerOptions(-1, 1, 0, 100, "Multiply"), 0);
    EXPECT_EQ(CVX_SetLayerOptions(64, 1, 0, 100, "Multiply"), 0);
    EXPECT_EQ(CVX_CreateTexture(-2), nullptr);
    EXPECT_EQ(CVX_GetLayerNum(), 0);
}

TEST_F(LayerTableTest, RecreatingKeepsABufferOfTheSameSizeAndClearsIt) {
    CVX_CreateImage(nullptr, 4, 4, 8, 0);
    ASSERT_EQ(CVX_CreateLayer(3, 4, 4), 1);
    const RGBA64* before = engine().layers.table[3].pixels.data();
    setPixel(3, 1, 1, {9, 9, 9, 9});
    ASSERT_EQ(CVX_CreateLayer(3, 4, 4), 1);
    EXPECT_EQ(engine().layers.table[3].pixels.data(), before);
    EXPECT_EQ(pixel(3, 1, 1), (RGBA64{0, 0, 0, 0}));
    ASSERT_EQ(CVX_CreateLayer(3, 6, 2), 1);
    EXPECT_EQ(engine().layers.table[3].width(), 6);
    EXPECT_EQ(engine().layers.table[3].stride(), 24);
}

TEST_F(LayerTableTest, OptionsSetOpacityModeAndFlags) {
    CVX_CreateImage(nullptr, 4, 4, 8, 0);
    struct Case {
        int32_t percent;
        const char* name;
        int32_t mode;
        uint16_t opacity;
    } cases[] = {
        {50, "Multiply", 1, 128},       {100, "Normal", 0, 256},       {0, "Luminance Alpha Invert", 41, 0},
        {33, "Texturize2", 18, 84},     {25, "multiply", 0, 64},       {75, nullptr, 0, 192},
        {150, "Layer Mask", 39, 256},   {-20, "Screen", 2, 0},         {1, "Alpha Normal", 21, 2},
    };
    for (auto c : cases) {
        EXPECT_EQ(CVX_SetLayerOptions(3, 0x101, 0x200, c.percent, c.name), c.mode) << c.percent;
        const Layer& l = engine().layers.table[3];
        EXPECT_EQ(l.opacity, c.opacity) << c.percent;
        EXPECT_TRUE(l.visible);     // low byte 0x01
        EXPECT_FALSE(l.keepAlpha);  // low byte 0x00
    }
}

TEST(BlendModes, NamesAndIdsMatchBothWays) {
    for (int32_t id = 0; id < kBlendModeCount; ++id) {
        if (id == 20) {
            EXPECT_EQ(blendModeName(id), nullptr);
            continue;
        }
        ASSERT_NE(blendModeName(id), nullptr) << id;
        EXPECT_EQ(blendModeId(blendModeName(id)), id);
    }
    EXPECT_EQ(blendModeId("Texturize3"), kBlendTexturize3);
    EXPECT_EQ(blendModeId("Normal "), 0);
}

TEST_F(LayerTableTest, TopLayerIsRecomputedOnlyByOptions) {
    CVX_CreateImage(nullptr, 4, 4, 8, 0);
    for (int slot : {1, 2, 7}) CVX_CreateLayer(slot, 4, 4);
    CVX_SetLayerOptions(2, 1, 0, 100, "Normal");
    EXPECT_EQ(engine().layers.topLayer, 7);
    CVX_DeleteLayer(7);
    EXPECT_EQ(engine().layers.topLayer, 7);
    CVX_SetLayerOptions(1, 1, 0, 100, "Normal");
    EXPECT_EQ(engine().layers.topLayer, 2);
    CVX_DeleteLayer(2);
    CVX_SetLayerOptions(1, 1, 0, 100, "Normal");
    EXPECT_EQ(engine().layers.topLayer, 1);
}

TEST_F(LayerTableTest, SelectingNeedsPixelsAndRefreshesTheUnderLayer) {
    makeCanvas(4, 4);
    CVX_SetLayer(9);  // empty slot
    EXPECT_EQ(CVX_GetLayerNum(), 2);
    setPixel(1, 2, 2, {1, 2, 3, 4});
    engine().mask.plane.at(3, 3) = 77;
    CVX_SetLayer(1);
    EXPECT_EQ(CVX_GetLayerNum(), 1);
    EXPECT_EQ(engine().layers.currentRecord, &engine().layers.table[1]);
    EXPECT_EQ(engine().history.underLayer.at(2, 2), (RGBA64{1, 2, 3, 4}));
    EXPECT_EQ(engine().history.underMask.at(3, 3), 77);
}

TEST_F(LayerTableTest, SwapKeepsTheCurrentSlotSoItsPictureChanges) {
    makeCanvas(4, 4);
    ASSERT_EQ(CVX_CreateLayer(3, 4, 4), 1);
    CVX_SetLayerOptions(3, 1, 1, 40, "Screen");
    setPixel(3, 0, 0, {5, 5, 5, 5});
    CVX_SwapLayers(2, 3);
    EXPECT_EQ(CVX_GetLayerNum(), 2);
    CVX_ClearMasked(255, 0, 0, 255);  // the current layer is slot 2, now layer 3's picture
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{65280, 0, 0, 65280}));
    EXPECT_EQ(pixel(3, 0, 0), (RGBA64{0, 0, 0, 0}));
    EXPECT_EQ(engine().layers.table[2].blendMode, 2);
    EXPECT_TRUE(engine().layers.table[2].keepAlpha);
}

TEST_F(LayerTableTest, LayerCountCountsSlotsWithPixels) {
    CVX_CreateImage(nullptr, 4, 4, 8, 0);
    for (int slot : {0, 1, 5, 63}) CVX_CreateLayer(slot, 4, 4);
    EXPECT_EQ(CVX_GetLayerCount(), 4);
    CVX_DeleteLayer(5);
    EXPECT_EQ(CVX_GetLayerCount(), 3);
}

TEST_F(LayerTableTest, AlphaLayerOpacityIsAFractionOf65535) {
    CVX_SetAlphaLayerOpacity(50);
    EXPECT_EQ(engine().layers.alphaLayerOpacity, 32767);
    CVX_SetAlphaLayerOpacity(100);
    EXPECT_EQ(engine().layers.alphaLayerOpacity, 65535);
    CVX_SetAlphaLayerOpacity(-4);
    EXPECT_EQ(engine().layers.alphaLayerOpacity, 0);
}

TEST_F(LayerTableTest, FailedLayerAllocationReturns0AndTheEngineGoesOn) {
    makeCanvas(8, 8);
    CVX_SetLastError("");
    failBlocksForTesting(0, 1);
    EXPECT_EQ(CVX_CreateLayer(4, 8, 8), 0);
    EXPECT_STREQ(CVX_GetLastError(), "CreateLayer Excpt");
    EXPECT_FALSE(engine().layers.table[4].hasPixels());
    EXPECT_EQ(CVX_CreateLayer(4, 8, 8), 1);
    EXPECT_EQ(CVX_GetLayerCount(), 3);
}

TEST_F(LayerTableTest, TextureFollowsTheVisibleTexturize3Layer) {
    makeCanvas(4, 4);
    ASSERT_EQ(CVX_CreateLayer(3, 4, 4), 1);
    setPixel(3, 0, 0, {65535, 65535, 65535, 65535});  // the rest stays black
    CVX_SetLayerOptions(3, 1, 0, 100, "Texturize3");
    const Plane<G8>& texture = engine().brush.texturePlane;
    ASSERT_FALSE(texture.empty());
    EXPECT_EQ(texture.at(0, 0), 250);
    EXPECT_EQ(texture.at(1, 0), 4);
    CVX_SetLayer(3);  // painting on the texture layer is never textured
    EXPECT_TRUE(texture.empty());
    CVX_SetLayer(2);  // leaving it builds the texture again
    EXPECT_FALSE(texture.empty());
    CVX_SetLayerOptions(3, 0, 0, 100, "Texturize3");  // hidden: no texture
    EXPECT_TRUE(texture.empty());
}

TEST_F(LayerTableTest, PaintLayerIsCanvasSizedWithAnEmptyDirtyRectangle) {
    makeCanvas(6, 5);
    EXPECT_EQ(CVX_CreatePaintLayer(50, "Screen"), 2);
    const Layer& paint = engine().layers.paint;
    EXPECT_EQ(paint.width(), 6);
    EXPECT_EQ(paint.height(), 5);
    EXPECT_EQ(paint.opacity, 128);
    EXPECT_TRUE(paint.visible);
    EXPECT_TRUE(paint.dirty.empty());
    EXPECT_EQ(paint.dirty.left, 6);
    EXPECT_EQ(paint.dirty.top, 5);
    EXPECT_EQ(CVX_CreatePaintLayer(100, "no such mode"), 0);
    CVX_DeletePaintLayer();
    EXPECT_FALSE(paint.hasPixels());
}

TEST_F(LayerTableTest, MergingAnEmptyDirtyRectangleChangesNothingAndClears) {
    makeCanvas(4, 4);
    CVX_CreatePaintLayer(100, "Normal");
    Layer& paint = engine().layers.paint;
    paint.pixels.at(1, 1) = {65280, 0, 0, 65535};
    CVX_MergePaintLayer(2);
    EXPECT_EQ(pixel(2, 1, 1), (RGBA64{0, 0, 0, 0}));
    EXPECT_EQ(paint.pixels.at(1, 1), (RGBA64{0, 0, 0, 0}));
}

TEST_F(LayerTableTest, MergeCompositesTheDirtyRectangleOnlyThenClears) {
    makeCanvas(4, 4);
    CVX_CreatePaintLayer(100, "Normal");
    Layer& paint = engine().layers.paint;
    paint.pixels.fill({65280, 0, 0, 65535});
    paint.dirty = {1, 1, 3, 2};
    CVX_MergePaintLayer(1);
    EXPECT_EQ(pixel(1, 1, 1), (RGBA64{65280, 0, 0, 65535}));
    EXPECT_EQ(pixel(1, 2, 1), (RGBA64{65280, 0, 0, 65535}));
    EXPECT_EQ(pixel(1, 3, 1), (RGBA64{65535, 65535, 65535, 65535}));
    EXPECT_EQ(pixel(1, 1, 2), (RGBA64{65535, 65535, 65535, 65535}));
    EXPECT_EQ(paint.pixels.at(2, 1), (RGBA64{0, 0, 0, 0}));
    EXPECT_TRUE(paint.dirty.empty());
}

TEST_F(LayerTableTest, MergeIntoAnEmptySlotKeepsTheStroke) {
    makeCanvas(4, 4);
    CVX_CreatePaintLayer(100, "Normal");
    Layer& paint = engine().layers.paint;
    paint.pixels.at(0, 0) = {1, 2, 3, 4};
    paint.dirty = {0, 0, 1, 1};
    CVX_MergePaintLayer(9);
    EXPECT_EQ(paint.pixels.at(0, 0), (RGBA64{1, 2, 3, 4}));
    EXPECT_FALSE(paint.dirty.empty());
}

TEST_F(LayerTableTest, OldClearSetsFFOutsideAndZeroInsideTheDirtyRectangle) {
    makeCanvas(4, 4);
    CVX_CreatePaintLayer(100, "Normal");
    Layer& paint = engine().layers.paint;
    paint.dirty = {2, 0, 9, 1};  // reaches past the edge: clipped
    CVX_ClearPaintLayer_old();
    EXPECT_EQ(paint.pixels.at(0, 0), (RGBA64{65535, 65535, 65535, 65535}));
    EXPECT_EQ(paint.pixels.at(3, 0), (RGBA64{0, 0, 0, 0}));
    EXPECT_EQ(paint.pixels.at(3, 1), (RGBA64{65535, 65535, 65535, 65535}));
    EXPECT_TRUE(paint.dirty.empty());
}

}  // namespace
}  // namespace calv::test
