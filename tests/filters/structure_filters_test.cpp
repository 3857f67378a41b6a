#include "support/kit_fixture.h"

namespace calv::test {
namespace {

class StructureFilterTest : public KitTest {
protected:
    // A canvas of w x h, layer 2 current and holding `picture`, and both work images.
    static void canvasWith(const Picture& picture, int32_t w, int32_t h) {
        makeCanvas(w, h);
        CVX_LoadRGBA32Layer(reinterpret_cast<const uint8_t*>(picture.data()), w * 4, 2, 0, 0, w, h, 0);
        CVX_IPLAllocSrcBuffer32();
        CVX_IPLAllocDstBuffer32();
    }
};

TEST_F(StructureFilterTest, LineArtCleanerThresholdsIntoTheLayerThenRemovesSpecks) {
    const RGBA32 W{250, 250, 250, 255}, B{20, 20, 20, 255};
    Picture p(25, W);
    p[2 * 5 + 2] = B;  // a speck
    canvasWith(p, 5, 5);
    ASSERT_TRUE(FilterKitRun(engine(), "Line Art Cleaner", kitArgs({500, 100})));
    EXPECT_EQ(pixel(2, 2, 2), (RGBA64{0, 0, 0, 65280}));  // the thresholded picture, speck included
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{65280, 65280, 65280, 65280}));
    EXPECT_EQ(engine().effects.dest32.at(2, 2), (RGBA32{255, 255, 255, 255}));  // the speck cleaned
    EXPECT_EQ(engine().effects.source32.at(2, 2), (RGBA32{0, 0, 0, 255}));      // the commit

    // A thick line is ink, not a speck; the mask weights the commit.
    Picture thick(25, W);
    for (int y = 1; y <= 3; ++y)
        for (int x = 1; x <= 3; ++x) thick[size_t(y * 5 + x)] = B;
    canvasWith(thick, 5, 5);
    fillMask(0);
    FilterKitRun(engine(), "Line Art Cleaner", kitArgs({500, 100}));
    EXPECT_EQ(engine().effects.dest32.at(2, 2), (RGBA32{0, 0, 0, 255}));
    EXPECT_EQ(pixel(2, 2, 2), (RGBA64{20 << 8, 20 << 8, 20 << 8, 65280}));  // protected: unchanged
}

TEST_F(StructureFilterTest, BasReliefPushesLightnessAndSaturation) {
    Picture p(9, RGBA32{0, 0, 0, 255});
    p[4] = {200, 30, 90, 255};
    // Compared with itself: only the truncation of HSL and back.
    EXPECT_EQ(run("Bas Relief", kitArgs({1000}, {}, 3), p, 3, 3)[4], (RGBA32{200, 30, 89, 255}));
    // Lighter and more saturated than its left neighbour at full strength: white.
    EXPECT_EQ(run("Bas Relief", kitArgs({1000}, {}, 0), p, 3, 3)[4], (RGBA32{255, 255, 255, 255}));
    EXPECT_EQ(run("Bas Relief", kitArgs({1000}, {}, 0), p, 3, 3)[0], (RGBA32{0, 0, 0, 255}));  // border
}

TEST_F(StructureFilterTest, MaskDetailMarksOnePixelDotsInsideTheBorder) {
    const RGBA32 g{100, 100, 100, 255};
    Picture p(25, g);
    p[2 * 5 + 2] = {100, 180, 100, 255};  // a dot (green differs from all four)
    p[2 * 5 + 0] = {0, 0, 0, 255};        // a dot on the border
    p[4 * 5 + 3] = {0, 0, 0, 255};        // so (3, 3) differs from below only
    canvasWith(p, 5, 5);
    fillMask(7);
    FilterKitRun(engine(), "Mask Detail", kitArgs({100, 0}));  // d = 25, mask value 65535
    EXPECT_EQ(engine().mask.plane.at(2, 2), 65535);
    EXPECT_EQ(engine().mask.plane.at(0, 2), 7);
    EXPECT_EQ(engine().mask.plane.at(3, 3), 7);
    EXPECT_EQ(engine().mask.plane.at(1, 1), 7);
    EXPECT_EQ(engine().effects.dest32.at(2, 2), p[12]);  // the pictures are left alone
    FilterKitRun(engine(), "Mask Detail", kitArgs({100, 1000}));
    EXPECT_EQ(engine().mask.plane.at(2, 2), 0);
}

TEST_F(StructureFilterTest, VignetteFadesOutsideItsShape) {
    const int32_t n = 41;
    const Picture p(size_t(n * n), RGBA32{10, 20, 30, 100});
    // Strength 0: nothing changes, tinted or not, except that transparent pixels take the tint.
    EXPECT_EQ(run("Vignette", kitArgs({200, 400, 600, 500, 500, 0}), p, n, n), p);
    Picture clear = p;
    clear[0] = {10, 20, 30, 0};
    const Picture tinted = run("Vignette", kitArgs({200, 400, 600, 500, 500, 0}, {1}), clear, n, n);
    EXPECT_EQ(tinted[0], (RGBA32{51, 102, 153, 0}));
    EXPECT_EQ(tinted[1], p[1]);

    // Full strength, size 250 (margins 10), no softness: an ellipse of half-axes 10.
    const Picture oval = run("Vignette", kitArgs({0, 0, 0, 0, 250, 1000}), p, n, n);
    EXPECT_EQ(oval[size_t(20 * n + 20)], p[0]);                      // centre: t = 1
    EXPECT_EQ(oval[0], (RGBA32{10, 20, 30, 255}));                   // corner: t = 0, alpha to opaque
    EXPECT_EQ(run("Vignette", kitArgs({0, 0, 0, 0, 250, 1000}, {0, 1}), p, n, n)[0], (RGBA32{10, 20, 30, 0}));
    // The rectangle covers columns and rows 10 .. 30.
    const Picture rect = run("Vignette", kitArgs({0, 0, 0, 0, 250, 1000}, {0, 0, 0, 1}), p, n, n);
    EXPECT_EQ(rect[size_t(10 * n + 10)], p[0]);
    EXPECT_EQ(rect[size_t(30 * n + 30)], p[0]);
    EXPECT_EQ(rect[size_t(10 * n + 9)].a, 255);
    EXPECT_EQ(rect[size_t(31 * n + 30)].a, 255);
    // Inside instead of outside.
    const Picture inside = run("Vignette", kitArgs({0, 0, 0, 0, 250, 1000}, {0, 0, 1}), p, n, n);
    EXPECT_EQ(inside[0], p[0]);
    EXPECT_EQ(inside[size_t(20 * n + 20)].a, 255);
}

TEST_F(StructureFilterTest, ReflectionMirrorsDownwards) {
    // Two columns of 16 rows; column 0 is painted in rows 0..5, column 1 in rows 0..10.
    Picture p(32, RGBA32{0, 0, 0, 0});
    for (int y = 0; y < 16; ++y) {
        if (y <= 5) p[size_t(y * 2)] = {uint8_t(y * 10), 0, 0, 255};
        if (y <= 10) p[size_t(y * 2 + 1)] = {uint8_t(y * 10), 0, 0, 255};
    }
    // Reflection row from 500: g = 7; a 1:1 mirror (S4 250) at full opacity that does not fade.
    const Picture out = run("Reflection", kitArgs({500, 1000, 0, 250}), p, 2, 16);
    for (int j = 6; j < 16; ++j) {  // column 0 finds nothing below row 7: r = 6
        const int src = 5 - (j - 6);
        const RGBA32 want = src >= 0 ? RGBA32{uint8_t(src * 10), 0, 0, 255} : RGBA32{0, 0, 0, 0};
        EXPECT_EQ(out[size_t(j * 2)], want) << j;
    }
    for (int j = 10; j < 16; ++j)  // column 1: its lowest painted row is 10
        EXPECT_EQ(out[size_t(j * 2 + 1)], (RGBA32{uint8_t((9 - (j - 10)) * 10), 0, 0, 255})) << j;
    EXPECT_EQ(out[size_t(3 * 2)], p[6]);  // above the reflection
    // No pixel above 253 with F1: row 0 for all, the whole picture transparent black.
    Picture faint = p;
    for (auto& px : faint) px.a = px.a ? 200 : 0;
    for (const RGBA32& px : run("Reflection", kitArgs({500, 1000, 0, 250}, {1}), faint, 2, 16))
        EXPECT_EQ(px, (RGBA32{0, 0, 0, 0}));
    // Under 16 rows the reflection fades to nothing after its first row.
    Picture small(8, RGBA32{50, 0, 0, 255});
    const Picture s = run("Reflection", kitArgs({500, 1000, 0, 250}, {0, 1}), small, 1, 8);  // r = 2
    EXPECT_EQ(s[2].a, 255);
    EXPECT_EQ(s[3].a, 0);
}

TEST_F(StructureFilterTest, BorderizeDrawsFramesFromTheEdge) {
    Picture p(16);
    for (int i = 0; i < 16; ++i) p[size_t(i)] = {uint8_t(i * 10), 0, 0, uint8_t(i)};
    EXPECT_EQ(run("Borderize", kitArgs({0, 0}), p, 4, 4), p);
    // Two frames sampled on the top edge: ring 0 at (0, 0), ring 1 at (0, 1); alpha kept.
    const Picture out = run("Borderize", kitArgs({0, 1000}), p, 4, 4);
    for (int i = 0; i < 16; ++i) {
        const int x = i % 4, y = i / 4;
        const bool inner = x >= 1 && x <= 2 && y >= 1 && y <= 2;
        EXPECT_EQ(out[size_t(i)], (RGBA32{uint8_t(inner ? 40 : 0), 0, 0, uint8_t(i)})) << i;
    }
    Picture odd(25, RGBA32{9, 9, 9, 9});
    odd[0] = {1, 1, 1, 1};
    const Picture five = run("Borderize", kitArgs({0, 1000}), odd, 5, 5);
    EXPECT_EQ(five[12], odd[12]);  // the middle keeps its pixel
    EXPECT_EQ(five[24], (RGBA32{1, 1, 1, 9}));
}

}  // namespace
}  // namespace calv::test
