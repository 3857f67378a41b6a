// The filter kit's shared frame: the pictures a run reads and writes, its parameters,
// and the pixel accessors every filter goes through. Readers take pixels from the
// destination while `chained` is set (so a filter sees its own earlier results) and from
// the source otherwise; writers always write the destination, clamping to bytes and
// ignoring positions outside the picture.
#pragma once
#include <algorithm>
#include <cstdint>

#include "engine/pixel.h"
#include "imaging/colour_space.h"

namespace calv {

struct FilterContext {
    RGBA32* source = nullptr;
    RGBA32* destination = nullptr;
    int32_t width = 0, height = 0;
    int32_t stride = 0;  // bytes per row of both pictures, width x 4
    bool chained = false;
    double S[6] = {};  // the sliders, per mille x 0.001
    int32_t O1 = 0;
    uint8_t F[6] = {};

    bool inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    const RGBA32* readRow(int32_t y) const { return (chained ? destination : source) + std::size_t(y) * width; }
    RGBA32* writeRow(int32_t y) const { return destination + std::size_t(y) * width; }

    // (r + g + b) / 3 of the read picture; 0 outside.
    int32_t value(int32_t x, int32_t y) const { return inside(x, y) ? valueOf(readRow(y)[x]) : 0; }
    // The read picture's pixel; all zero outside.
    RGBA32 rgba(int32_t x, int32_t y) const { return inside(x, y) ? readRow(y)[x] : RGBA32{0, 0, 0, 0}; }

    void setRGB(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b) const {
        if (!inside(x, y)) return;
        RGBA32& p = writeRow(y)[x];
        p.r = clampByte(r), p.g = clampByte(g), p.b = clampByte(b);
    }
    void setRGBA(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b, int32_t a) const {
        if (inside(x, y)) writeRow(y)[x] = {clampByte(r), clampByte(g), clampByte(b), clampByte(a)};
    }
    // Fractions 0..1, clamped, each written as trunc(v x 255).
    void setRGBAFractions(int32_t x, int32_t y, double r, double g, double b, double a) const {
        setRGBA(x, y, fractionToByte(r), fractionToByte(g), fractionToByte(b), fractionToByte(a));
    }
    // Hue clamped to 0..359, saturation and lightness to 0..1.
    void setHSL(int32_t x, int32_t y, double h, double s, double l) const {
        const RGB8 c = HSLToRGB(std::clamp(h, 0.0, 359.0), std::clamp(s, 0.0, 1.0), std::clamp(l, 0.0, 1.0));
        setRGB(x, y, c.r, c.g, c.b);
    }
    void setLab(int32_t x, int32_t y, double l, double a, double b) const {
        const RGB8 c = LabToRGB(l, a, b);
        setRGB(x, y, c.r, c.g, c.b);
    }

    // Means over the 3 x 3 neighbourhood, pixels outside counting as 0, truncated.
    int32_t valueMean3x3(int32_t x, int32_t y) const {
        int32_t sum = 0;
        for (int32_t j = -1; j <= 1; ++j)
            for (int32_t i = -1; i <= 1; ++i) sum += value(x + i, y + j);
        return sum / 9;
    }
    RGBA32 rgbaMean3x3(int32_t x, int32_t y) const {
        int32_t sum[4] = {0, 0, 0, 0};
        for (int32_t j = -1; j <= 1; ++j)
            for (int32_t i = -1; i <= 1; ++i) {
                const RGBA32 p = rgba(x + i, y + j);
                sum[0] += p.r, sum[1] += p.g, sum[2] += p.b, sum[3] += p.a;
            }
        return {uint8_t(sum[0] / 9), uint8_t(sum[1] / 9), uint8_t(sum[2] / 9), uint8_t(sum[3] / 9)};
    }

    static int32_t valueOf(const RGBA32& p) { return (p.r + p.g + p.b) / 3; }
    static uint8_t clampByte(int32_t v) { return uint8_t(std::clamp(v, 0, 255)); }
};

}  // namespace calv
