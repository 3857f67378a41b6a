#include "imaging/colour_space.h"

#include <algorithm>
#include <cmath>

namespace calv {
namespace {

constexpr double kInv255 = 0.00392156862745098;
constexpr double kInv60 = 0.016666666666666666;
constexpr double kSixteenOver116 = 0.13793103448275862;


double linearise(double c) { return c > 0.04045 ? std::pow((c + 0.055) * 0.9478672985781991, 2.4) : c * 0.07739938080495357; }
double gammaEncode(double v) { return v > 0.0031308 ? 1.055 * std::pow(v, 0.4166666666666667) - 0.055 : 12.92 * v; }
double labF(double v) { return v > 0.008856 ? std::pow(v, 0.3333333333333333) : 7.787 * v + kSixteenOver116; }
double labFInverse(double f) {
    const double f3 = f * f * f;
    return f3 > 0.008856 ? f3 : (f - kSixteenOver116) * 0.1284191601386927;
}

}  // namespace

uint8_t fractionToByte(double v) {
    const double c = v * 255;
    return uint8_t(c > 0 ? (c < 255 ? int32_t(c) : 255) : 0);
}

HSV RGBToHSV(int32_t red, int32_t green, int32_t blue) {
    const double r = red * kInv255, g = green * kInv255, b = blue * kInv255;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    HSV out;
    out.v = mx;
    const double delta = mx - mn;
    if (delta == 0) {
        out.h = -1;
        out.s = 0;
        return out;
    }
    out.s = delta / mx;
    double h;
    if (r == mx)
        h = (g - b) / delta;
    else if (g == mx)
        h = 2 + (b - r) / delta;
    else
        h = 4 + (r - g) / delta;
    out.h = h * 60;
    if (out.h < 0) out.h += 360;
    return out;
}

RGB8 HSVToRGB(double h, double s, double v) {
    if (s == 0) return {fractionToByte(v), fractionToByte(v), fractionToByte(v)};
    const double hh = (h == 360 ? 0 : h) * kInv60;
    const double i = std::floor(hh), f = hh - i;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (int32_t(i)) {
    case 0: return {fractionToByte(v), fractionToByte(t), fractionToByte(p)};
    case 1: return {fractionToByte(q), fractionToByte(v), fractionToByte(p)};
    case 2: return {fractionToByte(p), fractionToByte(v), fractionToByte(t)};
    case 3: return {fractionToByte(p), fractionToByte(q), fractionToByte(v)};
    case 4: return {fractionToByte(t), fractionToByte(p), fractionToByte(v)};
    default: return {fractionToByte(v), fractionToByte(p), fractionToByte(q)};
    }
}

HSL RGBToHSL(int32_t red, int32_t green, int32_t blue) {
    const double r = red * kInv255, g = green * kInv255, b = blue * kInv255;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    HSL out;
    out.l = (mx + mn) * 0.5;
    const double delta = mx - mn;
    if (delta == 0) return out;
    out.s = out.l < 0.5 ? delta / (mx + mn) : delta / (2 - mx - mn);
    auto d = [&](double c) { return ((mx - c) * 0.16666666666666666 + delta / 2) / delta; };
    const double dR = d(r), dG = d(g), dB = d(b);
    double h;
    if (r == mx)
        h = dB - dG;
    else if (g == mx)
        h = 0.3333333333333333 + dR - dB;
    else
        h = 0.6666666666666666 + dG - dR;
    if (h < 0) h += 1;
    if (h > 1) h -= 1;
    out.h = h * 360;
    return out;
}

double LightnessOf(int32_t red, int32_t green, int32_t blue) {
    return (std::max({red, green, blue}) * kInv255 + std::min({red, green, blue}) * kInv255) * 0.5;
}

int32_t HueToChannel(double m1, double m2, double h) {
    if (h > 360)
        h -= 360;
    else if (h < 0)
        h += 360;
    if (h < 60) return int32_t((m1 + (m2 - m1) * h / 60) * 255);
    if (h < 180) return int32_t(m2 * 255);
    if (h < 240) return int32_t((m1 + (m2 - m1) * (240 - h) / 60) * 255);
    return int32_t(m1 * 255);
}

RGB8 HSLToRGB(double h, double s, double l) {
    if (s == 0) return {fractionToByte(l), fractionToByte(l), fractionToByte(l)};
    const double m2 = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    return {uint8_t(HueToChannel(m1, m2, h + 120)), uint8_t(HueToChannel(m1, m2, h)),
            uint8_t(HueToChannel(m1, m2, h - 120))};
}

XYZ RGBToXYZ(int32_t red, int32_t green, int32_t blue) {
    const double R = linearise(red * kInv255) * 100, G = linearise(green * kInv255) * 100,
                 B = linearise(blue * kInv255) * 100;
    XYZ out;
    out.x = std::max(0.4124 * R + 0.3576 * G + 0.1805 * B, 0.0);
    out.y = std::max(0.2126 * R + 0.7152 * G + 0.0722 * B, 0.0);
    out.z = std::max(0.0193 * R + 0.1192 * G + 0.9505 * B, 0.0);
    return out;
}

RGB8 XYZToRGB(double x, double y, double z) {
    x *= 0.01, y *= 0.01, z *= 0.01;
    const double R = 3.2406 * x - 1.5372 * y - 0.4986 * z;
    const double G = -0.9689 * x + 1.8758 * y + 0.0415 * z;
    const double B = 0.0557 * x - 0.204 * y + 1.057 * z;
    return {fractionToByte(gammaEncode(R)), fractionToByte(gammaEncode(G)), fractionToByte(gammaEncode(B))};
}

Lab XYZToLab(double x, double y, double z) {
    const double fx = labF(x * 0.010521110608435826), fy = labF(y * 0.01), fz = labF(z * 0.009184170164304804);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

XYZ LabToXYZ(double l, double a, double b) {
    const double fy = (l + 16) * 0.008620689655172414, fx = fy + a * 0.002, fz = fy - b * 0.005;
    return {std::max(95.047 * labFInverse(fx), 0.0), std::max(100 * labFInverse(fy), 0.0),
            std::max(108.883 * labFInverse(fz), 0.0)};
}

RGB8 LabToRGB(double l, double a, double b) {
    const XYZ xyz = LabToXYZ(l, a, b);
    return XYZToRGB(xyz.x, xyz.y, xyz.z);
}

CMYK CMYToCMYK(double c, double m, double y) {
    const double k = std::min({1.0, c, m, y});
    if (k == 1) return {0, 0, 0, 1};
    return {(c - k) / (1 - k), (m - k) / (1 - k), (y - k) / (1 - k), k};
}

RGB8 CMYKToRGB(double c, double m, double y, double k) {
    auto channel = [k](double v) { return fractionToByte(1 - (k + (1 - k) * v)); };
    return {channel(c), channel(m), channel(y)};
}

}  // namespace calv
