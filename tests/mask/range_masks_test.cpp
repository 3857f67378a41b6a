#include <vector>

#include "support/engine_fixture.h"

namespace calv::test {
namespace {

constexpr uint16_t kKept = 7;  // the mask value before a builder runs

// A 4 x 2 canvas and an RGBA32 picture of it; every test starts from mask value 7.
class RangeMaskTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        makeCanvas(4, 2);
        fillMask(kKept);
        picture.assign(8 * 4, 0);
    }
    void set(int i, int r, int g, int b, int a = 255) {
        picture[size_t(i * 4)] = uint8_t(r), picture[size_t(i * 4 + 1)] = uint8_t(g);
        picture[size_t(i * 4 + 2)] = uint8_t(b), picture[size_t(i * 4 + 3)] = uint8_t(a);
    }
    static uint16_t m(int i) { return engine().mask.plane.data()[i]; }
    std::vector<uint8_t> picture;
};

TEST_F(RangeMaskTest, LevelsAndFloodFlags) {
    const uint8_t flags[8] = {1, 2, 0, 1, 255, 1, 1, 1};
    struct Case {
        int32_t level;
        uint16_t value;
    } cases[] = {{0, 0xFF00}, {255, 0}, {128, 127 * 256}};
    for (const Case& c : cases) {
        fillMask(kKept);
        CVX_CreateMaskFromFloodMask(flags, c.level);
        EXPECT_EQ(m(0), c.value) << c.level;
        EXPECT_EQ(m(1), kKept);  // only flag 1 counts
        EXPECT_EQ(m(4), kKept);
    }
}

TEST_F(RangeMaskTest, ExactColours) {
    set(0, 10, 20, 30, 0);  // alpha ignored
    set(1, 10, 20, 31);
    CVX_CreateMaskFromRGBAImageColor(picture.data(), 10, 20, 30, 0);
    EXPECT_EQ(m(0), 0xFF00);
    EXPECT_EQ(m(1), kKept);
    std::vector<uint8_t> rgb(8 * 3, 0);
    rgb[3] = 10, rgb[4] = 20, rgb[5] = 30;  // pixel 1
    fillMask(kKept);
    CVX_CreateMaskFromRGB24ImageColor(rgb.data(), 10, 20, 30, 255);
    EXPECT_EQ(m(1), 0);
    EXPECT_EQ(m(0), kKept);
}

TEST_F(RangeMaskTest, ToleranceRanges) {
    set(0, 100, 100, 100, 100);
    set(1, 102, 98, 100, 102);  // within 2 of (100, 100, 100) and of alpha 100
    set(2, 103, 100, 100, 103);  // 3 away
    set(3, 0, 0, 255, 0);
    struct Case {
        int32_t tolerance;
        bool selected[4];
    } cases[] = {{0, {true, false, false, false}}, {1, {true, true, false, false}}, {100, {true, true, true, true}}};
    for (const Case& c : cases) {
        fillMask(kKept);
        CVX_CreateMaskFromRGBAImageColorRange(picture.data(), 100, 100, 100, c.tolerance, 0);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(m(i), c.selected[i] ? 0xFF00 : kKept) << c.tolerance << " " << i;
        fillMask(kKept);
        CVX_CreateMaskFromRGBAImageAlphaRange(picture.data(), 100, c.tolerance, 0);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(m(i), c.selected[i] ? 0xFF00 : kKept) << "alpha " << c.tolerance << " " << i;
    }
    // Luminance: the means (integer) of pixel and key within t = 2.
    fillMask(kKept);
    CVX_CreateMaskFromRGBAImageLuminanceRange(picture.data(), 0, 150, 150, 1, 0);  // key mean 100
    EXPECT_EQ(m(0), 0xFF00);
    EXPECT_EQ(m(2), 0xFF00);  // (103 + 100 + 100) / 3 = 101
    EXPECT_EQ(m(3), kKept);   // 85
}

TEST_F(RangeMaskTest, HueWrapsAroundRed) {
    set(0, 255, 0, 43);   // hue 349.9
    set(1, 255, 21, 0);   // hue 4.9
    set(2, 255, 85, 0);   // hue 20
    set(3, 128, 128, 128);  // grey: hue -1
    CVX_CreateMaskFromRGBAImageHueRange(picture.data(), 255, 0, 0, 10, 0);  // T = 18
    EXPECT_EQ(m(0), 0xFF00);  // through (Hp - 360) - Hr
    EXPECT_EQ(m(1), 0xFF00);
    EXPECT_EQ(m(2), kKept);
    EXPECT_EQ(m(3), 0xFF00);  // -1 lies within 18 of 0
    fillMask(kKept);
    CVX_CreateMaskFromRGBAImageHueRange(picture.data(), 255, 0, 43, 10, 0);  // reference hue 349.9
    EXPECT_EQ(m(1), 0xFF00);  // through Hp - (Hr - 360)
    EXPECT_EQ(m(2), kKept);
}

TEST_F(RangeMaskTest, HueSaturationLightness) {
    set(0, 255, 0, 43);    // H 349.9, S 1, L 0.5
    set(1, 255, 60, 60);   // H 0, S 1, L 0.62
    set(2, 200, 100, 100); // H 0, S 0.47, L 0.59
    CVX_CreateMaskFromRGBAImageHSLRange(picture.data(), 255, 0, 0, 0.1, 0.1, 0.15, 0);
    EXPECT_EQ(m(0), 0xFF00);
    EXPECT_EQ(m(1), 0xFF00);
    EXPECT_EQ(m(2), kKept);  // saturation too far
    fillMask(kKept);
    CVX_CreateMaskFromRGBAImageHSLRange(picture.data(), 255, 0, 0, 0.1, 0.1, 0.1, 0);
    EXPECT_EQ(m(1), kKept);  // lightness too far
}

TEST_F(RangeMaskTest, DifferenceOfTwoPictures) {
    std::vector<uint8_t> other = picture;
    CVX_CreateMaskFromDiff_RGBA32(picture.data(), other.data(), 0xFFFF);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(m(i), kKept);
    other[5 * 4 + 3] = 1;  // pixel 5's alpha
    CVX_CreateMaskFromDiff_RGBA32(picture.data(), other.data(), 0x1FFFF);  // low 16 bits
    EXPECT_EQ(m(5), 0xFFFF);
    EXPECT_EQ(m(4), kKept);
}

TEST_F(RangeMaskTest, ApplyMaskToAlphaUsesTheHighByte) {
    const uint16_t masks[4] = {0xFF00, 0x00FF, 0x8000, 0xFFFF};
    for (int i = 0; i < 4; ++i) engine().mask.plane.data()[i] = masks[i], set(i, 1, 2, 3, 200);
    CVX_ApplyMaskToAlpha_RGBA32(picture.data());
    EXPECT_EQ(picture[3], 200);
    EXPECT_EQ(picture[7], 0);
    EXPECT_EQ(picture[11], 200 * 129 / 256);
    EXPECT_EQ(picture[15], 200);
    EXPECT_EQ(picture[8], 1);  // colour untouched
    // A rectangle hanging off the left: buffer column 1 is canvas column 0.
    uint8_t rect[2 * 4] = {9, 9, 9, 200, 9, 9, 9, 200};
    engine().mask.plane.data()[0] = 0;
    CVX_ApplyMaskToAlphaRect_RGBA32(rect, 8, -1, 0, 0, 0);
    EXPECT_EQ(rect[3], 200);
    EXPECT_EQ(rect[7], 0);
    CVX_ApplyMaskToAlphaRect_RGBA32(rect, 8, 1, 0, 0, 0);  // empty range
}

TEST_F(RangeMaskTest, ReplaceByAlphaRangeLeavesTheMask) {
    set(0, 1, 1, 1, 100);
    set(1, 1, 1, 1, 110);
    CVX_ReplaceFromRGBAImageAlphaRange(picture.data(), 102, 1, 0x1FF, 5, 6, 50);
    EXPECT_EQ(picture[0], 0xFF);
    EXPECT_EQ(picture[3], 50);
    EXPECT_EQ(picture[7], 110);
    EXPECT_EQ(m(0), kKept);
}

}  // namespace
}  // namespace calv::test
