#include <cstdlib>
#include <string>
#include <vector>

#include "support/engine_fixture.h"

namespace calv::test {
namespace {

class CompositorTest : public EngineTest {
protected:
    // Layer 3 in `mode` over layer 2, one pixel each, merged with CVX_MergeLayer.
    static RGBA64 mergeOne(const char* mode, RGBA64 source, RGBA64 dest, int32_t opacityPercent = 100) {
        CVX_CreateImage(nullptr, 1, 1, 4, 0);
        CVX_CreateLayer(2, 1, 1);
        CVX_CreateLayer(3, 1, 1);
        CVX_SetLayerOptions(2, 1, 0, 100, "Normal");
        CVX_SetLayerOptions(3, 1, 0, opacityPercent, mode);
        setPixel(2, 0, 0, dest);
        setPixel(3, 0, 0, source);
        CVX_MergeLayer(3, 2);
        return pixel(2, 0, 0);
    }
};

// The floating-point blend may differ by one unit from a double-precision reference.
::testing::AssertionResult near(RGBA64 got, RGBA64 want) {
    const int a[] = {got.r, got.g, got.b, got.a}, b[] = {want.r, want.g, want.b, want.a};
    for (int i = 0; i < 4; ++i)
        if (std::abs(a[i] - b[i]) > 1) return ::testing::AssertionFailure() << got << " vs " << want;
    return ::testing::AssertionSuccess();
}

constexpr RGBA64 kS1{52000, 30000, 9000, 40000}, kD1{20000, 60000, 33000, 50000};
constexpr RGBA64 kS2{65280, 6000, 40000, 20000}, kD2{1000, 65280, 30000, 65535};

TEST_F(CompositorTest, SeparableAndTextureModesMatchTheirFormulas) {
    // Expected values from a double-precision evaluation of each mode's formula.
    struct Case {
        const char* mode;
        RGBA64 first, second;
    } cases[] = {
        {"Normal", {41519, 39825, 16860, 59481}, {20616, 47188, 33051, 65535}},
        {"Multiply", {23013, 38580, 14577, 59481}, {999, 47188, 26454, 65535}},
        {"Screen", {43606, 56462, 31457, 59481}, {20616, 65280, 36597, 65535}},
        {"Darken", {25101, 39825, 16860, 59481}, {1000, 47188, 30000, 65535}},
        {"Lighten", {41519, 55217, 29174, 59481}, {20616, 65280, 33051, 65535}},
        {"Difference", {31257, 39825, 24556, 59481}, {20311, 63448, 23896, 65535}},
        {"Negation", {35432, 42315, 29123, 59481}, {20311, 63448, 30987, 65535}},
        {"Exclusion", {35432, 42315, 29123, 59481}, {20311, 63448, 30987, 65535}},
        {"Overlay", {31187, 54998, 17179, 59481}, {1305, 65280, 32064, 65535}},
        {"Hard Light", {38880, 52727, 16911, 59481}, {20616, 49019, 32427, 65535}},
        {"Soft Light", {30010, 55016, 23110, 59481}, {1864, 65280, 30980, 65535}},
        {"Dodge", {48332, 57926, 31881, 59481}, {20616, 65280, 40766, 65535}},
        {"Burn", {19168, 52031, 12243, 59481}, {1000, 65280, 23195, 65535}},
        {"Reflect", {41519, 39825, 16860, 59481}, {20616, 47188, 33051, 65535}},
        {"Glow", {41519, 39825, 16860, 59481}, {20616, 47188, 33051, 65535}},
        {"Add", {46997, 64087, 30670, 65535}, {20922, 65280, 42207, 65535}},
        {"Subtract", {16598, 33688, 271, 65535}, {1000, 47188, 22285, 65535}},
        {"Texturize", {31280, 65280, 48319, 50000}, {1433, 65280, 30433, 65535}},
        {"Texturize2", {22984, 65280, 40023, 50000}, {3378, 65280, 32378, 65535}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(near(mergeOne(c.mode, kS1, kD1), c.first)) << c.mode;
        EXPECT_TRUE(near(mergeOne(c.mode, kS2, kD2), c.second)) << c.mode;
    }
}

TEST_F(CompositorTest, CopyPathsAndSkipsAreExact) {
    struct Case {
        const char* what;
        const char* mode;
        RGBA64 source, dest;
        int32_t opacity;
        RGBA64 expected;
    } cases[] = {
        {"opaque Normal copies", "Normal", {65280, 0, 0, 65535}, {1, 2, 3, 4}, 100, {65280, 0, 0, 65535}},
        {"nearly opaque Normal copies", "Normal", {7, 8, 9, 65280}, {1, 2, 3, 4}, 100, {7, 8, 9, 65280}},
        {"empty destination takes the source", "Multiply", {7, 8, 9, 300}, {1, 2, 3, 0}, 100, {7, 8, 9, 300}},
        {"transparent source skipped", "Screen", {7, 8, 9, 0}, {1, 2, 3, 4}, 100, {1, 2, 3, 4}},
        {"opacity 50% scales alpha by 129/256", "Normal", {7, 8, 9, 65535}, {1, 2, 3, 0}, 50, {7, 8, 9, 33023}},
        {"Texturize3 leaves the destination", "Texturize3", {65280, 0, 0, 30000}, {1, 2, 3, 4}, 100, {1, 2, 3, 4}},
        {"texture modes clear empty pixels", "Texturize2", {65280, 0, 0, 30000}, {1, 2, 3, 0}, 100, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(mergeOne(c.mode, c.source, c.dest, c.opacity), c.expected) << c.what;
}

TEST_F(CompositorTest, MultiplyOverWhiteKeepsWhiteAndDarkensTheRest) {
    // Sa = 32768 / 65535: R stays 1.0, G = 1 - Sa / 2, B = 1 - Sa.
    EXPECT_TRUE(near(mergeOne("Multiply", {65280, 32640, 0, 32768}, {65280, 65280, 65280, 65535}),
                     {65280, 48959, 32639, 65535}));
    EXPECT_EQ(mergeOne("Add", {100, 100, 100, 32768}, {100, 100, 100, 32768}).a, 65535);
}

TEST_F(CompositorTest, AlphaModesRewriteTheSource) {
    struct Case {
        const char* mode;
        RGBA64 source, dest, expected;
    } cases[] = {
        // Transparent parts become opaque white, opaque parts transparent.
        {"Alpha Filter", {10, 20, 30, 0}, {0, 0, 0, 0}, {65535, 65535, 65535, 65535}},
        {"Alpha Filter", {10, 20, 30, 65535}, {5, 5, 5, 0}, {65535, 65535, 65535, 0}},
        {"Alpha Filter", {10, 20, 30, 65535}, {5, 5, 5, 9}, {5, 5, 5, 9}},
        {"Alpha Normal", {10, 20, 30, 5}, {0, 0, 0, 0}, {10, 20, 30, 32767}},
        {"Alpha Black Outline", {10, 20, 30, 4000}, {0, 0, 0, 0}, {0, 0, 0, 32767}},
        {"Alpha Black Outline", {10, 20, 30, 65535}, {0, 0, 0, 0}, {10, 20, 30, 65535}},
        {"Alpha Outline Tint 1", {10, 20, 30, 12286}, {0, 0, 0, 0}, {10, 20, 30, 53249}},
        {"Alpha Invert", {10, 20, 30, 1000}, {0, 0, 0, 0}, {10, 20, 30, 64535}},
        {"Alpha Shader", {10, 20, 30, 1000}, {0, 0, 0, 0}, {1000, 1000, 1000, 32767}},
        // sa < 32767: each channel minus 2 x (32767 - 30000), at least 0.
        {"Alpha Shader Color", {10000, 3000, 30000, 30000}, {0, 0, 0, 0}, {4466, 0, 24466, 32767}},
        {"Alpha Smooth", {10, 20, 30, 32000}, {0, 0, 0, 0}, {10, 20, 30, 28932}},
        // Shifted down with pivot 36862 (w = 1/30000) and then the 9215 rule.
        {"Alpha Smooth Lum4", {30000, 30000, 30000, 9000}, {0, 0, 0, 0}, {2138, 2138, 2138, 51775}},
        {"Alpha Smooth Lum", {30000, 30000, 30000, 8000}, {0, 0, 0, 0}, {7324, 7324, 7324, 0}},
        {"Alpha Highlight", {10, 20, 30, 40000}, {0, 0, 0, 0}, {10, 20, 30, 0}},
        {"Layer Mask", {10, 20, 30, 65535}, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"Luminance Alpha", {3000, 6000, 9000, 7}, {0, 0, 0, 0}, {65535, 65535, 65535, 6000}},
        {"Luminance Alpha Invert", {3000, 6000, 9000, 7}, {0, 0, 0, 0}, {0, 0, 0, 59535}},
    };
    CVX_SetAlphaLayerOpacity(50);  // P = 32767
    for (const Case& c : cases) {
        const uint16_t p = engine().layers.alphaLayerOpacity;
        EXPECT_EQ(mergeOne(c.mode, c.source, c.dest), c.expected) << c.mode << " " << c.source;
        engine().layers.alphaLayerOpacity = p;
    }
}

TEST_F(CompositorTest, SameAlphaModeCopiesTheSourceOverTheDestination) {
    CVX_CreateImage(nullptr, 1, 1, 4, 0);
    CVX_CreateLayer(2, 1, 1);
    CVX_CreateLayer(3, 1, 1);
    CVX_SetLayerOptions(2, 1, 0, 100, "Alpha Normal");
    CVX_SetLayerOptions(3, 1, 0, 100, "Alpha Normal");
    setPixel(2, 0, 0, {1, 2, 3, 65535});
    setPixel(3, 0, 0, {700, 800, 900, 1000});
    CVX_MergeLayer(3, 2);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{700, 800, 900, 1000}));
}

class LayerMaskTest : public EngineTest {
protected:
    // Background white, layer 3 opaque red, and above it layer 5 in `maskMode`: opaque
    // black at (0, 0) and opaque white at (1, 0).
    void build(const char* between, bool betweenVisible) {
        makeCanvas(2, 1, false);
        for (int slot : {3, 4, 5}) CVX_CreateLayer(slot, 2, 1);
        CVX_SetLayerOptions(3, 1, 0, 100, "Normal");
        CVX_SetLayerOptions(4, betweenVisible, 0, 100, between);
        CVX_SetLayerOptions(5, 1, 0, 100, "Layer Mask");
        CVX_SetLayer(3);
        for (int x = 0; x < 2; ++x) setPixel(3, x, 0, {65280, 0, 0, 65535});
        setPixel(5, 0, 0, {0, 0, 0, 65535});
        setPixel(5, 1, 0, {65280, 65280, 65280, 65535});
    }
};

TEST_F(LayerMaskTest, MaskAboveHidesWhereItIsBlack) {
    build("Normal", false);  // a hidden layer in between passes the mask through
    std::vector<RGBA64> flat(2);
    CVX_Merge(&flat[0].r);
    EXPECT_EQ(flat[0], (RGBA64{65535, 65535, 65535, 65535}));  // hidden: the background shows
    EXPECT_EQ(flat[1].a, 65535);
    // A white mask takes sa to 65535 x 65280 / 65536 = 65279: white shows through by 1/256.
    EXPECT_TRUE(near(flat[1], {65280, 255, 255, 65535}));
    EXPECT_EQ(CVX_GetColorAtMerged(0, 0), 0xFFFFFFFFu);
}

TEST_F(LayerMaskTest, AVisibleLayerBetweenStopsTheMask) {
    build("Normal", true);
    std::vector<RGBA64> flat(2);
    CVX_Merge(&flat[0].r);
    EXPECT_EQ(flat[0], (RGBA64{65280, 0, 0, 65535}));
}

using MergeTest = EngineTest;

TEST_F(MergeTest, FlatteningStartsFromTheVisibleBackgroundOnly) {
    makeCanvas(3, 2);
    setPixel(2, 1, 1, {65280, 0, 0, 65535});
    std::vector<RGBA64> rect(2 * 2, RGBA64{9, 9, 9, 9});
    CVX_MergeRect(&rect[0].r, 1, 0, 2, 2);
    EXPECT_EQ(rect[0], (RGBA64{65535, 65535, 65535, 65535}));
    EXPECT_EQ(rect[2], (RGBA64{65280, 0, 0, 65535}));
    CVX_SetLayerOptions(1, 0, 0, 100, "Normal");
    CVX_MergeRect(&rect[0].r, 1, 0, 2, 2);
    EXPECT_EQ(rect[0], (RGBA64{0, 0, 0, 0}));
    EXPECT_EQ(CVX_GetColorAtMerged(1, 1), 0xFFFF0000u);
    EXPECT_EQ(CVX_GetColorAtMerged(-1, 0), 0xFFFFFFu);
    EXPECT_EQ(CVX_GetColorAtMerged(0, 2), 0xFFFFFFu);
    CVX_MergeRect(nullptr, 0, 0, 2, 2);
}

TEST_F(MergeTest, RectangleMergesClipToTheLayer) {
    makeCanvas(3, 3);
    setPixel(2, 0, 0, {65280, 0, 0, 65535});
    std::vector<RGBA64> rect(2 * 2, RGBA64{1, 1, 1, 1});
    CVX_MergeLayerIntoRect(2, &rect[0].r, -1, -1, 2, 2);  // only rect (1, 1) lies on the layer
    EXPECT_EQ(rect[3], (RGBA64{65280, 0, 0, 65535}));
    EXPECT_EQ(rect[0], (RGBA64{1, 1, 1, 1}));
    std::vector<RGBA64> whole(9);
    CVX_MergeLayerInto(2, &whole[0].r);
    EXPECT_EQ(whole[0], (RGBA64{65280, 0, 0, 65535}));
}

TEST_F(MergeTest, PaintLayerMergesUnderItsModeAndOpacity) {
    makeCanvas(2, 1);
    setPixel(2, 0, 0, {65280, 65280, 65280, 65535});
    CVX_CreatePaintLayer(100, "Multiply");
    Layer& paint = engine().layers.paint;
    paint.pixels.at(0, 0) = {65280, 32640, 0, 32768};
    paint.pixels.at(1, 0) = {65280, 0, 0, 65535};
    paint.dirty = {0, 0, 2, 1};
    CVX_MergePaintLayer(2);
    EXPECT_TRUE(near(pixel(2, 0, 0), {65280, 48959, 32639, 65535}));
    EXPECT_EQ(pixel(2, 1, 0), (RGBA64{65280, 0, 0, 65535}));  // empty destination: copied
}

TEST_F(MergeTest, PictureLoadClearsThroughTheMaskAndLaysNormally) {
    makeCanvas(2, 1);
    setPixel(2, 0, 0, {5, 5, 5, 65535});
    setPixel(2, 1, 0, {5, 5, 5, 65535});
    engine().mask.plane.at(1, 0) = 0;  // protected
    std::vector<uint8_t> picture = {255, 0, 0, 128, 0, 255, 0, 255};
    CVX_LoadRGBA32Layer_BAD(picture.data(), 0, 2, 2, 1, 1);
    // Open pixel: cleared, then laid over the empty destination as it is.
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{65280, 0, 0, 32768}));
    // Protected pixel: the weighting took the picture's alpha to 0, nothing was cleared.
    EXPECT_EQ(picture[7], 0);
    EXPECT_EQ(pixel(2, 1, 0), (RGBA64{5, 5, 5, 65535}));
}

}  // namespace
}  // namespace calv::test
