#include "mask/range_masks.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "imaging/colour_space.h"
#include "mask/weights.h"

namespace calv {
namespace {

// Sets the mask to `value` at every canvas pixel i for which passes(i) holds.
template <class Test>
void markWhere(Engine& engine, uint16_t value, Test&& passes) {
    Plane<G16>& mask = engine.mask.plane;
    G16* m = mask.data();
    for (std::size_t i = 0, n = mask.pixelCount(); i < n; ++i)
        if (passes(i)) m[i] = value;
}

bool within(int32_t a, int32_t b, int32_t distance) { return std::abs(a - b) <= distance; }

// The three hue differences, each truncated to an integer: direct, and across 0/360 both ways.
template <class Limit>
bool hueWithin(double hp, double hr, Limit limit) {
    auto close = [&](double d) { return std::abs(int32_t(d)) <= limit; };
    return close(hp - hr) || close(hp - (hr - 360)) || close((hp - 360) - hr);
}

}  // namespace

void CreateMaskFromDiff(Engine& engine, const uint8_t* a, const uint8_t* b, int32_t value) {
    if (!a || !b) return;
    markWhere(engine, uint16_t(value), [&](std::size_t i) {
        const uint8_t *p = a + i * 4, *q = b + i * 4;
        return p[0] != q[0] || p[1] != q[1] || p[2] != q[2] || p[3] != q[3];
    });
}

void CreateMaskFromRGBAColor(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b, int32_t level) {
    if (!picture) return;
    markWhere(engine, levelMaskValue(level), [&](std::size_t i) {
        const uint8_t* p = picture + i * 4;
        return p[0] == r && p[1] == g && p[2] == b;
    });
}

void CreateMaskFromRGB24Color(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b, int32_t level) {
    if (!picture) return;
    markWhere(engine, levelMaskValue(level), [&](std::size_t i) {
        const uint8_t* p = picture + i * 3;
        return p[0] == r && p[1] == g && p[2] == b;
    });
}

void CreateMaskFromFloodMask(Engine& engine, const uint8_t* flags, int32_t level) {
    if (!flags) return;
    markWhere(engine, levelMaskValue(level), [&](std::size_t i) { return flags[i] == 1; });
}

void CreateMaskFromColorRange(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b,
                              int32_t tolerance, int32_t level) {
    if (!picture) return;
    const int32_t t = toleranceDistance(tolerance);
    markWhere(engine, levelMaskValue(level), [&](std::size_t i) {
        const uint8_t* p = picture + i * 4;
        return within(p[0], r, t) && within(p[1], g, t) && within(p[2], b, t);
    });
}

void CreateMaskFromAlphaRange(Engine& engine, const uint8_t* picture, int32_t alpha, int32_t tolerance,
                              int32_t level) {
    if (!picture) return;
    const int32_t t = toleranceDistance(tolerance);
    markWhere(engine, levelMaskValue(level), [&](std::size_t i) { return within(picture[i * 4 + 3], alpha, t); });
}

void CreateMaskFromLuminanceRange(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b,
                                  int32_t tolerance, int32_t level) {
    if (!picture) return;
    const int32_t t = toleranceDistance(tolerance), target = (r + g + b) / 3;
    markWhere(engine, levelMaskValue(level), [&](std::size_t i) {
        const uint8_t* p = picture + i * 4;
        return within((p[0] + p[1] + p[2]) / 3, target, t);
    });
}

void CreateMaskFromHueRange(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b,
                            int32_t tolerance, int32_t level) {
    if (!picture) return;
    const int32_t T = int32_t(tolerance * 1.8);
    const double hr = RGBToHSV(r, g, b).h;
    markWhere(engine, levelMaskValue(level), [&](std::size_t i) {
        const uint8_t* p = picture + i * 4;
        return hueWithin(RGBToHSV(p[0], p[1], p[2]).h, hr, T);
    });
}

void CreateMaskFromHSLRange(Engine& engine, const uint8_t* picture, int32_t r, int32_t g, int32_t b,
                            double hueTolerance, double saturationTolerance, double lightnessTolerance,
                            int32_t level) {
    if (!picture) return;
    const double T = hueTolerance * 180;
    const HSL ref = RGBToHSL(r, g, b);
    markWhere(engine, levelMaskValue(level), [&](std::size_t i) {
        const uint8_t* p = picture + i * 4;
        const HSL px = RGBToHSL(p[0], p[1], p[2]);
        return hueWithin(px.h, ref.h, T) && std::abs(px.s - ref.s) <= saturationTolerance &&
               std::abs(px.l - ref.l) <= lightnessTolerance;
    });
}

void ApplyMaskToAlphaRect(Engine& engine, uint8_t* buffer, int32_t stride, int32_t x0, int32_t y0, int32_t x1,
                          int32_t y1) {
    const Plane<G16>& mask = engine.mask.plane;
    if (!buffer || x0 > x1 || y0 > y1) return;
    auto side = [](int32_t from, int32_t to) { return int32_t(std::min<int64_t>(int64_t(to) - from + 1, INT32_MAX)); };
    const ClippedRect c = clipRect(x0, y0, side(x0, x1), side(y0, y1), mask.width(), mask.height());
    for (int32_t j = 0; j < c.height; ++j) {
        uint8_t* p = buffer + std::ptrdiff_t(c.srcY + j) * stride + std::ptrdiff_t(c.srcX) * 4;
        const G16* m = mask.row(c.y + j) + c.x;
        for (int32_t i = 0; i < c.width; ++i, p += 4) p[3] = uint8_t(maskWeight8(p[3], m[i]));
    }
}

void ReplaceFromAlphaRange(Engine& engine, uint8_t* picture, int32_t alpha, int32_t tolerance, int32_t r, int32_t g,
                           int32_t b, int32_t newAlpha) {
    if (!picture) return;
    const int32_t t = toleranceDistance(tolerance);
    uint8_t* p = picture;
    for (std::size_t i = 0, n = std::size_t(engine.canvas.width) * std::size_t(engine.canvas.height); i < n; ++i, p += 4)
        if (within(p[3], alpha, t)) p[0] = uint8_t(r), p[1] = uint8_t(g), p[2] = uint8_t(b), p[3] = uint8_t(newAlpha);
}

}  // namespace calv
