#include "mask/adjust.h"

#include <algorithm>
#include <array>

#include "mask/weights.h"

namespace calv {

namespace {

// The texture-and-mask weight of incoming pictures at one canvas pixel (t and m null when
// there is no texture or no gating mask). Picture loads weigh differently (weights.h).
uint32_t incomingWeight(const G8* t, const G16* m, int32_t x) {
    uint32_t f = kWeightFull;
    if (t) f = textureWeight(t[x]);
    if (m) f = maskWeight16(f, m[x]);
    return f;
}

// Weights the alpha of the picture's pixels covering canvas rectangle c; the picture's
// pixel for canvas (x, y) is at row c.srcY + (y - c.y), column c.srcX + (x - c.x).
void weightRect(Engine& engine, uint8_t* picture, int32_t rowPixels, const ClippedRect& c) {
    const Plane<G8>& texture = engine.brush.texturePlane;
    const bool masked = engine.mask.gating();
    if (!picture || (!masked && texture.empty())) return;
    for (int32_t j = 0; j < c.height; ++j) {
        uint8_t* p = picture + (std::ptrdiff_t(c.srcY + j) * rowPixels + c.srcX) * 4;
        const G8* t = texture.empty() ? nullptr : texture.row(c.y + j) + c.x;
        const G16* m = masked ? engine.mask.plane.row(c.y + j) + c.x : nullptr;
        for (int32_t x = 0; x < c.width; ++x) {
            const uint32_t f = incomingWeight(t, m, x);
            if (f != kWeightFull) p[x * 4 + 3] = uint8_t(f * 1.5259021896696422e-05 * p[x * 4 + 3]);
        }
    }
}

}  // namespace

void AdjustRGBA32ByMaskAndTexture(Engine& engine, uint8_t* picture, int32_t width, int32_t height) {
    const ClippedRect c = clipRect(0, 0, width, height, engine.canvas.width, engine.canvas.height);
    weightRect(engine, picture, width, c);
}

void AdjustRGBA32RectByMaskAndTexture(Engine& engine, uint8_t* picture, int32_t x, int32_t y, int32_t width,
                                      int32_t height) {
    const ClippedRect c = clipRect(x, y, width, height, engine.canvas.width, engine.canvas.height);
    weightRect(engine, picture, width, c);
}

namespace {

// Calls fn(colourBytes, alpha) for every pixel whose alpha is strictly between 0 and 255.
template <class Fn>
void forPartlyTransparent(uint8_t* picture, int32_t width, int32_t height, Fn&& fn) {
    if (!picture || width <= 0 || height <= 0) return;
    uint8_t* p = picture;
    for (std::size_t i = 0, n = std::size_t(width) * std::size_t(height); i < n; ++i, p += 4)
        if (p[3] != 0 && p[3] != 255) fn(p, p[3]);
}

}  // namespace

// The 8-bit premultiply and its inverse for every alpha and colour byte, built once: the
// formulas in double precision are exact per pair, and a lookup is cheaper than three of them.
struct AlphaTables {
    std::array<uint8_t, 65536> multiply, divide;  // index a << 8 | c
    AlphaTables() {
        for (int32_t a = 0; a < 256; ++a)
            for (int32_t c = 0; c < 256; ++c) {
                const double k = a * 0.00392156862745098;
                multiply[size_t(a << 8 | c)] = uint8_t(k * (c + 1));
                divide[size_t(a << 8 | c)] = a == 0 ? uint8_t(c) : uint8_t(std::min(c * (1 / k), 255.0));
            }
    }
};
const AlphaTables& alphaTables() {
    static const AlphaTables tables;
    return tables;
}

void PremultiplyRGBA32(uint8_t* picture, int32_t width, int32_t height) {
    // c + 1 so that a colour survives premultiplying and dividing back better.
    const auto& t = alphaTables().multiply;
    forPartlyTransparent(picture, width, height, [&t](uint8_t* c, uint8_t a) {
        for (int i = 0; i < 3; ++i) c[i] = t[size_t(a << 8 | c[i])];
    });
}

void UnpremultiplyRGBA32(uint8_t* picture, int32_t width, int32_t height) {
    const auto& t = alphaTables().divide;
    forPartlyTransparent(picture, width, height, [&t](uint8_t* c, uint8_t a) {
        for (int i = 0; i < 3; ++i) c[i] = t[size_t(a << 8 | c[i])];
    });
}

void UnpremultiplyAllRGBA32(const CanvasState& canvas, uint8_t* picture) {
    if (!picture) return;
    const auto& t = alphaTables().divide;
    uint8_t* p = picture;
    for (std::size_t i = 0, n = std::size_t(canvas.width) * std::size_t(canvas.height); i < n; ++i, p += 4)
        if (p[3] != 0)
            for (int c = 0; c < 3; ++c) p[c] = t[size_t(p[3] << 8 | p[c])];
}

void PremultiplyRGBA64(uint16_t* picture, int32_t width, int32_t height) {
    if (!picture || width <= 0 || height <= 0) return;
    uint16_t* p = picture;
    for (std::size_t i = 0, n = std::size_t(width) * std::size_t(height); i < n; ++i, p += 4) {
        if (p[3] == 0) continue;
        const double k = p[3] * 1.5259021896696422e-05;
        for (int c = 0; c < 3; ++c) p[c] = uint16_t(k * p[c]);
    }
}

void UnpremultiplyRGBA64(uint16_t* picture, int32_t width, int32_t height) {
    if (!picture || width <= 0 || height <= 0) return;
    uint16_t* p = picture;
    for (std::size_t i = 0, n = std::size_t(width) * std::size_t(height); i < n; ++i, p += 4) {
        if (p[3] == 0) continue;
        const double k = 1 / (p[3] * 1.5259021896696422e-05);
        for (int c = 0; c < 3; ++c) {
            const double v = p[c] * k;
            p[c] = v >= 65536 ? uint16_t(0xFFFF) : uint16_t(v);
        }
    }
}

}  // namespace calv
