#include "imaging/colour_space.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace calv {
namespace {

constexpr double kInv255 = 0.00392156862745098;

TEST(ColourSpaceTest, HsvOfGreysAndTies) {
    const HSV grey = RGBToHSV(128, 128, 128);
    EXPECT_EQ(grey.h, -1);
    EXPECT_EQ(grey.s, 0);
    EXPECT_DOUBLE_EQ(grey.v, 0.5019607843137255);
    const HSV black = RGBToHSV(0, 0, 0);
    EXPECT_EQ(black.h, -1);
    EXPECT_EQ(black.v, 0);
    EXPECT_EQ(RGBToHSV(255, 255, 0).h, 60);   // red wins the tie
    EXPECT_EQ(RGBToHSV(0, 255, 255).h, 180);  // then green
    const HSV c = RGBToHSV(200, 30, 90);
    EXPECT_NEAR(c.h, 338.8235294117647, 1e-12);
    EXPECT_DOUBLE_EQ(c.s, 0.85);
    EXPECT_EQ(HSVToRGB(360, 1, 1), (RGB8{255, 0, 0}));
    EXPECT_EQ(HSVToRGB(0, 1, 1), (RGB8{255, 0, 0}));
    EXPECT_EQ(HSVToRGB(240, 0.5, 0.5), (RGB8{63, 63, 127}));
}

TEST(ColourSpaceTest, HslTruncatesAndHuesWrap) {
    const HSL red = RGBToHSL(255, 0, 0);
    EXPECT_EQ(red.h, 0);
    EXPECT_EQ(red.s, 1);
    EXPECT_EQ(red.l, 0.5);
    EXPECT_EQ(HSLToRGB(0, 1, 0.5), (RGB8{255, 0, 0}));
    EXPECT_EQ(HSLToRGB(0, 0, 254.99 / 255), (RGB8{254, 254, 254}));  // never rounded up
    const HSL c = RGBToHSL(200, 30, 90);
    EXPECT_NEAR(c.h, 338.82352941176475, 1e-12);
    EXPECT_NEAR(c.s, 0.7391304347826086, 1e-15);
    EXPECT_EQ(HSLToRGB(c.h, c.s, c.l), (RGB8{200, 30, 89}));
    EXPECT_EQ(HueToChannel(0.2, 0.8, -30), HueToChannel(0.2, 0.8, 330));  // moved into 0..360 once
    EXPECT_EQ(HueToChannel(0.2, 0.8, 390), HueToChannel(0.2, 0.8, 30));
    EXPECT_EQ(HueToChannel(0.2, 0.8, 30), 127);                           // (0.2 + 0.6 x 0.5) x 255
}

TEST(ColourSpaceTest, LabAndXyz) {
    const XYZ black = RGBToXYZ(0, 0, 0);
    EXPECT_EQ(black.x, 0);
    const XYZ xyz = RGBToXYZ(200, 30, 90);
    const Lab lab = XYZToLab(xyz.x, xyz.y, xyz.z);
    EXPECT_NEAR(lab.l, 44.155521664561704, 1e-9);
    EXPECT_NEAR(lab.a, 65.82044597059428, 1e-9);
    EXPECT_NEAR(lab.b, 10.603388287374749, 1e-9);
    EXPECT_EQ(LabToRGB(lab.l, lab.a, lab.b), (RGB8{199, 30, 90}));
    // Out of gamut: each channel clamps.
    EXPECT_EQ(LabToRGB(50, 150, 0), (RGB8{255, 0, 126}));
    EXPECT_EQ(LabToRGB(50, -150, 100), (RGB8{0, 154, 0}));
    const XYZ clipped = LabToXYZ(0, 0, 300);  // z would be negative
    EXPECT_EQ(clipped.z, 0);
    for (int r = 0; r < 256; r += 5)
        for (int b = 0; b < 256; b += 5) {
            const XYZ v = RGBToXYZ(r, 255 - r, b);
            ASSERT_GE(v.x, 0);
            ASSERT_GE(v.y, 0);
            ASSERT_GE(v.z, 0);
        }
}

TEST(ColourSpaceTest, Cmyk) {
    const CMYK black = CMYToCMYK(1, 1, 1);
    EXPECT_EQ(black.c, 0);
    EXPECT_EQ(black.y, 0);
    EXPECT_EQ(black.k, 1);
    const CMYK c = CMYToCMYK(1 - 200 * kInv255, 1 - 30 * kInv255, 1 - 90 * kInv255);
    EXPECT_EQ(c.c, 0);
    EXPECT_DOUBLE_EQ(c.m, 0.85);
    EXPECT_EQ(CMYKToRGB(c.c, c.m, c.y, c.k), (RGB8{200, 30, 89}));
}

// Every conversion and its inverse give back each channel within the one step that
// truncation can lose.
TEST(ColourSpaceTest, RoundTripsOverAGridLoseAtMostOneStep) {
    auto near = [](RGB8 a, int r, int g, int b) {
        return std::abs(a.r - r) <= 1 && std::abs(a.g - g) <= 1 && std::abs(a.b - b) <= 1;
    };
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15) {
                const HSV hsv = RGBToHSV(r, g, b);
                ASSERT_TRUE(near(HSVToRGB(hsv.h < 0 ? 0 : hsv.h, hsv.s, hsv.v), r, g, b)) << r << "," << g << "," << b;
                const HSL hsl = RGBToHSL(r, g, b);
                ASSERT_TRUE(near(HSLToRGB(hsl.h, hsl.s, hsl.l), r, g, b)) << r << "," << g << "," << b;
                const XYZ xyz = RGBToXYZ(r, g, b);
                const Lab lab = XYZToLab(xyz.x, xyz.y, xyz.z);
                ASSERT_TRUE(near(LabToRGB(lab.l, lab.a, lab.b), r, g, b)) << r << "," << g << "," << b;
                const CMYK k = CMYToCMYK(1 - r * kInv255, 1 - g * kInv255, 1 - b * kInv255);
                ASSERT_TRUE(near(CMYKToRGB(k.c, k.m, k.y, k.k), r, g, b)) << r << "," << g << "," << b;
            }
}

}  // namespace
}  // namespace calv
