#include "mask/adjust.h"

#include <algorithm>

#include "mask/weights.h"

namespace calv {

void AdjustRGBA32ByMaskAndTexture(Engine& engine, uint8_t* picture, int32_t width, int32_t height) {
    const Plane<G8>& texture = engine.brush.texturePlane;
    const bool masked = engine.mask.gating();
    if (!picture || (!masked && texture.empty())) return;
    const int32_t w = std::min(width, engine.canvas.width), h = std::min(height, engine.canvas.height);
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* p = picture + std::ptrdiff_t(y) * width * 4;
        const G8* t = texture.empty() ? nullptr : texture.row(y);
        const G16* m = masked ? engine.mask.plane.row(y) : nullptr;
        for (int32_t x = 0; x < w; ++x) {
            uint32_t f = kWeightFull;
            if (t) f = textureWeight(t[x]);
            if (m) f = maskWeight16(f, m[x]);
            if (f != kWeightFull) p[x * 4 + 3] = uint8_t(f * 1.5259021896696422e-05 * p[x * 4 + 3]);
        }
    }
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

void PremultiplyRGBA32(uint8_t* picture, int32_t width, int32_t height) {
    // c + 1 so that a colour survives premultiplying and dividing back better.
    forPartlyTransparent(picture, width, height, [](uint8_t* c, uint8_t a) {
        const double k = a * 0.00392156862745098;
        for (int i = 0; i < 3; ++i) c[i] = uint8_t(k * (c[i] + 1));
    });
}

void UnpremultiplyRGBA32(uint8_t* picture, int32_t width, int32_t height) {
    forPartlyTransparent(picture, width, height, [](uint8_t* c, uint8_t a) {
        const double k = 1 / (a * 0.00392156862745098);
        for (int i = 0; i < 3; ++i) c[i] = uint8_t(std::min(c[i] * k, 255.0));
    });
}

}  // namespace calv
