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

}  // namespace calv
