#include <vector>

#include "support/engine_fixture.h"

namespace calv::test {
namespace {

TEST(PremultiplyTest, ColourSurvivesTheRoundTripNearlyAndEndsAreLeft) {
    uint8_t p[12] = {100, 200, 255, 128, 7, 8, 9, 0, 7, 8, 9, 255};
    CVX_AdjustRGBA32PreFilter(p, 3, 1);
    EXPECT_EQ(p[0], 50);   // trunc(128/255 x 101)
    EXPECT_EQ(p[1], 100);  // trunc(128/255 x 201)
    EXPECT_EQ(p[2], 128);
    EXPECT_EQ(p[4], 7);    // alpha 0 and 255 keep their colour
    EXPECT_EQ(p[8], 7);
    CVX_AdjustRGBA32PostFilter(p, 3, 1);
    EXPECT_EQ(p[0], 99);
    EXPECT_EQ(p[1], 199);
    EXPECT_EQ(p[2], 255);  // capped
    CVX_AdjustRGBA32PreFilter(nullptr, 3, 1);
}

class KitEffectTest : public EngineTest {
protected:
    static int32_t process(const char* name, std::initializer_list<int32_t> sliders, int32_t flag1 = 0) {
        int32_t s[6] = {};
        int k = 0;
        for (int32_t v : sliders) s[k++] = v;
        return CVX_IPLImageProcess(0, name, 0, s[0], s[1], s[2], s[3], s[4], s[5], 0, 0, flag1, 0, 0, 0, 0, 0, 0, 0, 0,
                                   "");
    }
};

TEST_F(KitEffectTest, KitEffectsWriteThroughTheMask) {
    makeCanvas(4, 2);
    for (int32_t x = 0; x < 4; ++x)
        for (int32_t y = 0; y < 2; ++y) setPixel(2, x, y, {100 << 8, 100 << 8, 100 << 8, 65535});
    EXPECT_EQ(process("Basic Threshold", {500}), 0);  // no work images yet
    CVX_IPLAllocSrcBuffer32();
    CVX_IPLAllocDstBuffer32();
    for (int32_t y = 0; y < 2; ++y) engine().mask.plane.at(3, y) = 0;  // column 3 protected
    EXPECT_EQ(process("Basic Threshold", {500}), 1);
    EXPECT_EQ(pixel(2, 0, 0), (RGBA64{0, 0, 0, 65280}));
    EXPECT_EQ(pixel(2, 3, 1), (RGBA64{100 << 8, 100 << 8, 100 << 8, 65535}));
    // The layer changed since: the effect reads it afresh.
    setPixel(2, 1, 1, {200 << 8, 200 << 8, 200 << 8, 65535});
    process("Basic Threshold", {500});
    EXPECT_EQ(pixel(2, 1, 1), (RGBA64{65280, 65280, 65280, 65280}));
    const RGBA64 before = pixel(2, 2, 0);
    process("Invert ", {});  // no such effect
    process("Grayscale", {});  // a kit filter but not an effect of this entry
    EXPECT_EQ(pixel(2, 2, 0), before);
}

TEST_F(KitEffectTest, MaskDetailCanClearTheMaskFirst) {
    makeCanvas(5, 5);
    setPixel(2, 2, 2, {0, 200 << 8, 0, 65535});  // a dot on a transparent layer
    CVX_IPLAllocSrcBuffer32();
    CVX_IPLAllocDstBuffer32();
    fillMask(9);
    process("Mask Detail", {100, 500}, 1);
    EXPECT_EQ(engine().mask.plane.at(2, 2), int32_t(0.5 * 65535));
    EXPECT_EQ(engine().mask.plane.at(1, 1), 65535);  // cleared to open
}

}  // namespace
}  // namespace calv::test
