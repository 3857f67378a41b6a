// Filters whose result for a pixel depends on that pixel alone.
#include <cmath>

#include "engine/canvas_io.h"
#include "filters/kit_filters.h"

namespace calv::kit {
namespace {

// Calls fn(in, out, x, y) for every pixel: the read picture's pixel and the destination's.
template <class Fn>
void forEachPixel(const FilterContext& c, Fn&& fn) {
    for (int32_t y = 0; y < c.height; ++y) {
        const RGBA32* in = c.readRow(y);
        RGBA32* out = c.writeRow(y);
        for (int32_t x = 0; x < c.width; ++x) fn(in[x], out[x], x, y);
    }
}

}  // namespace

void BasicThreshold(FilterContext& c) {
    const double limit = c.S[0] * 255;
    forEachPixel(c, [limit](const RGBA32& in, RGBA32& out, int32_t, int32_t) {
        const uint8_t v = FilterContext::valueOf(in) < limit ? 0 : 255;
        out.r = out.g = out.b = v;
    });
}

void Grayscale(FilterContext& c) {
    forEachPixel(c, [](const RGBA32& in, RGBA32& out, int32_t, int32_t) {
        out.r = out.g = out.b = uint8_t(FilterContext::valueOf(in));
    });
}

void Invert(FilterContext& c) {
    forEachPixel(c, [](const RGBA32& in, RGBA32& out, int32_t, int32_t) {
        out.r = uint8_t(255 - in.r), out.g = uint8_t(255 - in.g), out.b = uint8_t(255 - in.b);
    });
}

void Channel(FilterContext& c) {
    const bool red = c.F[0] == 1, green = c.F[1] == 1, blue = c.F[2] == 1;
    forEachPixel(c, [&](const RGBA32& in, RGBA32& out, int32_t, int32_t) {
        // Each step sees the result of the one before.
        RGBA32 p = in;
        if (red) p = p.r > 0 ? RGBA32{255, 0, 0, p.r} : RGBA32{0, 0, 0, 0};
        if (green) p = p.g > 0 ? RGBA32{0, 255, 0, p.g} : RGBA32{0, 0, 0, 0};
        if (blue) p = p.b > 0 ? RGBA32{0, 0, 255, p.b} : RGBA32{0, 0, 0, 0};
        out = p;
    });
}

void Clamp(FilterContext& c) {
    const double low = c.S[0] * 255, high = c.S[2] * 255;
    const int32_t lowTo = int32_t(c.S[1] * 255), highTo = int32_t(c.S[3] * 255);
    const bool on[4] = {c.F[0] == 1, c.F[1] == 1, c.F[2] == 1, c.F[3] == 1};
    forEachPixel(c, [&](const RGBA32& in, RGBA32& out, int32_t, int32_t) {
        int32_t v[4] = {in.r, in.g, in.b, in.a};
        for (int k = 0; k < 4; ++k) {
            if (!on[k]) continue;
            if (v[k] < low) v[k] = lowTo;
            if (v[k] > high) v[k] = highTo;
        }
        out = {FilterContext::clampByte(v[0]), FilterContext::clampByte(v[1]), FilterContext::clampByte(v[2]),
               FilterContext::clampByte(v[3])};
    });
}

void AdjustLab(FilterContext& c) {
    const double dl = (c.S[0] - 0.5) * 200, da = (c.S[1] - 0.5) * 200, db = (c.S[2] - 0.5) * 200;
    forEachPixel(c, [&](const RGBA32& in, RGBA32&, int32_t x, int32_t y) {
        const XYZ xyz = RGBToXYZ(in.r, in.g, in.b);
        const Lab lab = XYZToLab(xyz.x, xyz.y, xyz.z);
        c.setLab(x, y, lab.l + dl, lab.a + da, lab.b + db);
    });
}

void HyperContrast(FilterContext& c) {
    int32_t e = int32_t((1 - c.S[0]) * 255);
    if (e == 0) e = 1;
    // The two curves depend on the channel alone: tabulate them once.
    double raise[256], lower[256];
    for (int32_t v = 0; v < 256; ++v) raise[v] = 255 - (255 - v) * (255 - v) / e, lower[v] = v * v / e;
    forEachPixel(c, [&](const RGBA32& in, RGBA32& out, int32_t, int32_t) {
        const double L = LightnessOf(in.r, in.g, in.b), Li = 1 - L;
        auto curve = [&](uint8_t v) { return FilterContext::clampByte(int32_t(raise[v] * Li + lower[v] * L)); };
        out.r = curve(in.r), out.g = curve(in.g), out.b = curve(in.b);
    });
}

void Fader(Engine& engine, FilterContext& c) {
    int32_t x0 = 0, y0 = 0, x1 = c.width - 1, y1 = c.height - 1;
    if (c.F[0] == 1) {
        const Layer* layer = engine.layers.currentWithPixels();
        if (!layer) return;
        const Extents e = FindDataExtents(engine, *layer);
        x0 = std::max(e.left, 0), y0 = std::max(e.top, 0);
        x1 = std::min(e.right, c.width - 1), y1 = std::min(e.bottom, c.height - 1);
    }
    // Two linear ramps; a region one pixel wide or high keeps its start factor.
    const double hStart = 2 * c.S[2], vStart = 2 * c.S[0];
    const double hStep = x1 > x0 ? (2 * c.S[3] - 2 * c.S[2]) / (x1 - x0) : 0;
    const double vStep = y1 > y0 ? (2 * c.S[1] - 2 * c.S[0]) / (y1 - y0) : 0;
    const bool colour = c.F[1] != 0 || c.F[2] != 0, alpha = c.F[3] != 0;
    double v = vStart;
    for (int32_t y = y0; y <= y1; ++y, v += vStep) {
        const RGBA32* in = c.readRow(y);
        RGBA32* out = c.writeRow(y);
        double h = hStart;
        for (int32_t x = x0; x <= x1; ++x, h += hStep) {
            const double f = h * v;
            const RGBA32 p = in[x];
            if (colour) {
                HSL hsl = RGBToHSL(p.r, p.g, p.b);
                if (c.F[1] != 0) hsl.s *= f;
                if (c.F[2] != 0) hsl.l *= f;
                c.setHSL(x, y, hsl.h, hsl.s, hsl.l);
            }
            if (alpha) out[x].a = uint8_t(std::clamp(f * p.a, 0.0, 255.0));
        }
    }
}

}  // namespace calv::kit
