// Conversions of 8-bit RGB colours to and from HSV, HSL, CIE XYZ, CIE L*a*b* and CMYK.
// Every user (masks by hue, the filter kit, buffer adjustments, effects, scripts) calls
// these, so their tie-breaks and truncations are shared behaviour. Arithmetic is in
// double precision; RGB results are truncated toward zero, never rounded.
#pragma once
#include <cstdint>

namespace calv {

struct RGB8 {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const RGB8&) const = default;
};

// Hue in degrees (-1 for grey), saturation and value in 0..1.
struct HSV {
    double h = 0, s = 0, v = 0;
};
// Hue in degrees, saturation and lightness in 0..1.
struct HSL {
    double h = 0, s = 0, l = 0;
};
// CIE XYZ on the 0..100 scale (Y of white 100), white point D65.
struct XYZ {
    double x = 0, y = 0, z = 0;
};
// CIE L*a*b*: L in 0..100, a and b unbounded.
struct Lab {
    double l = 0, a = 0, b = 0;
};
struct CMYK {
    double c = 0, m = 0, y = 0, k = 0;
};

// trunc(v x 255) as a byte; values outside 0..1 (and NaN) saturate.
uint8_t fractionToByte(double v);

// Red wins a tie for the largest channel, then green.
HSV RGBToHSV(int32_t red, int32_t green, int32_t blue);
// H must lie in 0..360; 360 counts as 0.
RGB8 HSVToRGB(double h, double s, double v);
HSL RGBToHSL(int32_t red, int32_t green, int32_t blue);
// The L of RGBToHSL alone.
double LightnessOf(int32_t red, int32_t green, int32_t blue);
RGB8 HSLToRGB(double h, double s, double l);
// One channel of HSLToRGB: h is moved into 0..360 once.
int32_t HueToChannel(double m1, double m2, double h);
// Never negative.
XYZ RGBToXYZ(int32_t red, int32_t green, int32_t blue);
// Clamped to 0..255.
RGB8 XYZToRGB(double x, double y, double z);
Lab XYZToLab(double x, double y, double z);
// Never negative.
XYZ LabToXYZ(double l, double a, double b);
RGB8 LabToRGB(double l, double a, double b);
// From c = 1 - r', m = 1 - g', y = 1 - b'.
CMYK CMYToCMYK(double c, double m, double y);
// Components in 0..1; not clamped.
RGB8 CMYKToRGB(double c, double m, double y, double k);

}  // namespace calv
