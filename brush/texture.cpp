#include "brush/texture.h"

#include <algorithm>

namespace calv {
namespace {

constexpr uint8_t kTextureMin = 4;
constexpr uint8_t kTextureMax = 250;

}  // namespace

uint8_t* CreateTexture(Engine& engine, int32_t slot) {
    return guarded(engine, "CreateTexture Excpt", static_cast<uint8_t*>(nullptr), [&]() -> uint8_t* {
        const Layer* layer = engine.layers.withPixels(slot);
        if (!layer) return nullptr;
        Plane<G8>& texture = engine.brush.texturePlane;
        if (texture.empty()) texture.allocate(engine.canvas.width, engine.canvas.height);
        // Canvas pixels the layer does not reach read as white paper.
        if (layer->width() < texture.width() || layer->height() < texture.height()) texture.fill(kTextureMax);
        const int32_t w = std::min(layer->width(), texture.width());
        const int32_t h = std::min(layer->height(), texture.height());
        for (int32_t y = 0; y < h; ++y) {
            const RGBA64* s = layer->pixels.row(y);
            G8* t = texture.row(y);
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t grey = ((uint32_t(s[x].r) + s[x].g + s[x].b) / 3) >> 8;
                t[x] = uint8_t(std::clamp<uint32_t>(grey, kTextureMin, kTextureMax));
            }
        }
        return texture.data();
    });
}

void DeleteTexture(Engine& engine) { engine.brush.texturePlane.release(); }

}  // namespace calv
