// Filters that look at a pixel's neighbours or at the picture's geometry.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/masked_load.h"
#include "filters/kit_filters.h"
#include "imaging/plane_draw.h"

namespace calv::kit {
namespace {

// Calls fn(x, y) for the interior pixels (1 .. width - 2, 1 .. height - 2), row by row.
template <class Fn>
void forInterior(const FilterContext& c, Fn&& fn) {
    for (int32_t y = 1; y <= c.height - 2; ++y)
        for (int32_t x = 1; x <= c.width - 2; ++x) fn(x, y);
}

// The pictures cover the canvas pixel for pixel: filters that also touch the layer or
// the mask need that.
bool canvasSized(const Engine& engine, const FilterContext& c) {
    return c.width == engine.canvas.width && c.height == engine.canvas.height;
}

}  // namespace

void LineArtCleaner(Engine& engine, FilterContext& c) {
    const double ink = c.S[0] * 255;
    for (int32_t y = 0; y < c.height; ++y) {
        RGBA32* out = c.writeRow(y);
        for (int32_t x = 0; x < c.width; ++x) {
            const uint8_t v = c.value(x, y) < ink ? 0 : 255;
            out[x].r = out[x].g = out[x].b = v;
        }
    }
    // The thresholded picture goes into the current layer through the mask, and becomes
    // what the cleaning reads.
    if (Layer* layer = engine.layers.currentWithPixels(); layer && canvasSized(engine, c))
        LoadRGBA32Layer(engine, reinterpret_cast<const uint8_t*>(c.destination), c.stride, *layer, 0, 0,
                        std::min(layer->width(), c.width), std::min(layer->height(), c.height), true);
    std::memcpy(c.source, c.destination, std::size_t(c.width) * std::size_t(c.height) * sizeof(RGBA32));
    const double speck = c.S[1] * 255;
    forInterior(c, [&](int32_t x, int32_t y) {
        const int32_t v = c.value(x, y);
        if (v < ink && c.valueMean3x3(x, y) - speck > v) c.setRGB(x, y, 255, 255, 255);
    });
}

void BasRelief(FilterContext& c) {
    int32_t dx = 0, dy = 0;
    switch (c.O1) {
    case 0: dx = -1; break;
    case 1: dy = -1; break;
    case 2: dx = dy = -1; break;
    default: break;  // compared with itself
    }
    const double k = c.S[0];
    auto push = [k](double v, double other) { return v > other ? v + k * (1 - v) : v < other ? v - k * v : v; };
    forInterior(c, [&](int32_t x, int32_t y) {
        const RGBA32 p = c.rgba(x, y), n = c.rgba(x + dx, y + dy);
        const HSL a = RGBToHSL(p.r, p.g, p.b), b = RGBToHSL(n.r, n.g, n.b);
        const double l = std::clamp(push(a.l, b.l), 0.0, 1.0), s = std::clamp(push(a.s, b.s), 0.0, 1.0);
        c.setHSL(x, y, a.h, s, l);
    });
}

void MaskDetail(Engine& engine, FilterContext& c) {
    Plane<G16>& mask = engine.mask.plane;
    if (mask.width() != c.width || mask.height() != c.height) return;
    const int32_t d = int32_t(c.S[0] * 255);
    const uint16_t mv = uint16_t(std::clamp(int32_t((1 - c.S[1]) * 65535), 0, 65535));
    forInterior(c, [&](int32_t x, int32_t y) {
        const RGBA32 p = c.rgba(x, y), up = c.rgba(x, y - 1), right = c.rgba(x + 1, y), down = c.rgba(x, y + 1),
                     left = c.rgba(x - 1, y);
        const uint8_t P[3] = {p.r, p.g, p.b}, U[3] = {up.r, up.g, up.b}, D[3] = {down.r, down.g, down.b},
                      L[3] = {left.r, left.g, left.b}, R[3] = {right.r, right.g, right.b};
        bool detail = false;
        for (int k = 0; k < 3 && !detail; ++k) {
            const bool vertical = std::abs(P[k] - U[k]) > d && std::abs(P[k] - D[k]) > d;
            const bool horizontal = std::abs(P[k] - L[k]) > d && std::abs(P[k] - R[k]) > d;
            detail = vertical || horizontal;
        }
        if (detail) mask.at(x, y) = mv;
    });
}

void Vignette(Engine& engine, FilterContext& c) {
    const int32_t w = c.width, h = c.height;
    Plane<G8> shape, blurred;
    try {
        shape.allocate(w, h);
        blurred.allocate(w, h);
    } catch (const std::bad_alloc&) {
        return;  // without the planes nothing changes
    }
    uint8_t value;
    if (c.F[2] == 0) {
        shape.fill(FilterContext::clampByte(int32_t(255 - c.S[5] * 255)));
        value = 255;
    } else {
        shape.fill(0);
        value = c.F[2] == 1 ? FilterContext::clampByte(int32_t(c.S[5] * 255)) : 255;
    }
    int32_t A = (w - 2 * int32_t(w * c.S[4])) / 2, B = (h - 2 * int32_t(h * c.S[4])) / 2;
    if (c.F[4] != 0) (w < h ? A : B) = (w < h ? B : A);
    if (c.F[3] != 0) {
        // Right edge width - A - 1 inclusive and bottom edge height - B exclusive: a
        // rectangle centred on the picture.
        fillRect8(shape.data(), w, h, A, B, w - A, h - B, value);
    } else {
        fillEllipse8(shape.data(), w, h, w / 2, h / 2, std::max(2, (w - 2 * A) / 2), std::max(2, (h - 2 * B) / 2), value);
    }
    double radius = std::max(w, h) * 0.1 * c.S[3];
    if (radius == 0) radius = 0.1;
    gaussianBlur8(shape.data(), blurred.data(), w, h, radius);
    if (c.S[0] == 0) c.S[0] = 0.001;

    double tint[3] = {c.S[0], c.S[1], c.S[2]};
    if (c.F[5] != 0) {
        const RGBA64 col = engine.brush.settings.color;
        tint[0] = narrow16(col.r) / 255.0, tint[1] = narrow16(col.g) / 255.0, tint[2] = narrow16(col.b) / 255.0;
    }
    const double target = c.F[1] == 1 ? 0 : 1;
    const bool tinted = c.F[0] == 1, inside = c.F[2] == 1;
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* weight = blurred.row(y);
        const RGBA32* in = c.readRow(y);
        for (int32_t x = 0; x < w; ++x) {
            float t = float(weight[x]) / 255.0f;
            if (inside) t = 1 - t;
            const RGBA32 p = in[x];
            double col[3] = {p.r / 255.0, p.g / 255.0, p.b / 255.0};
            const double a = p.a / 255.0;
            if (tinted)
                for (int k = 0; k < 3; ++k) col[k] = a == 0 ? tint[k] : t * col[k] + (1 - t) * tint[k];
            c.setRGBAFractions(x, y, col[0], col[1], col[2], t * a + (1 - t) * target);
        }
    }
}

void Reflection(FilterContext& c) {
    const int32_t height = c.height;
    const int32_t g = int32_t((1 - c.S[0]) * (height - 1));
    const int32_t h16 = height / 16;
    // Below 16 rows the reflection fades to nothing after its first row.
    const double dt = h16 > 0 ? c.S[1] * c.S[2] / h16 : c.S[1];
    const double dr = c.S[3] * 4;
    int32_t sharedRow = -1;
    if (c.F[0] == 1) {
        sharedRow = 0;
        for (int32_t y = height - 1; y >= 0 && sharedRow == 0; --y)
            for (int32_t x = 0; x < c.width; ++x)
                if (c.readRow(y)[x].a > 253) {
                    sharedRow = y;
                    break;
                }
    }
    for (int32_t x = 0; x < c.width; ++x) {
        int32_t r = g - 1;
        if (sharedRow >= 0) {
            r = sharedRow;
        } else if (c.F[1] != 1) {
            for (int32_t y = height - 1; y >= g + 1; --y)
                if (c.readRow(y)[x].a != 0) {
                    r = y;
                    break;
                }
        }
        if (r >= height - 1) continue;
        double source = r - 1, f = c.S[1];
        for (int32_t j = r; j < height; ++j, source -= dr, f -= dt) {
            const RGBA32 p = c.rgba(x, int32_t(source));
            c.setRGBA(x, j, p.r, p.g, p.b, int32_t(f * p.a));
        }
    }
}

void Borderize(FilterContext& c) {
    const int32_t w = c.width, h = c.height;
    const int32_t rings = int32_t(std::min(w, h) / 2 * c.S[1]);
    const double s = c.S[0];
    for (int32_t i = 0; i < rings; ++i) {
        const int32_t right = w - 1 - i, bottom = h - 1 - i;
        int32_t sx, sy;
        if (s < 0.25)
            sx = int32_t(s * 4 * w), sy = i;
        else if (s < 0.5)
            sx = right, sy = int32_t((s - 0.25) * 4 * h);
        else if (s < 0.75)
            sx = int32_t(w - w * (s - 0.5) * 4), sy = bottom;
        else
            sx = i, sy = int32_t(h - h * (s - 0.75) * 4);
        const RGBA32 p = c.rgba(sx, sy);
        for (int32_t x = i; x <= right; ++x) c.setRGB(x, i, p.r, p.g, p.b), c.setRGB(x, bottom, p.r, p.g, p.b);
        for (int32_t y = i; y <= bottom; ++y) c.setRGB(i, y, p.r, p.g, p.b), c.setRGB(right, y, p.r, p.g, p.b);
    }
}

}  // namespace calv::kit
