#include "layers/merge.h"

#include <algorithm>
#include <cstring>

#include "engine/canvas_io.h"
#include "layers/blend_modes.h"
#include "layers/blend_math.h"
#include "layers/compositor.h"

namespace calv {

const Layer* LayerMaskOf(const Engine& engine, int32_t slot) {
    const LayerState& ls = engine.layers;
    for (int32_t s = slot + 1; s <= ls.topLayer && s < kLayerSlots; ++s) {
        const Layer& above = ls.table[size_t(s)];
        if (!above.hasPixels() || !above.visible) continue;
        return above.blendMode == kBlendLayerMask ? &above : nullptr;
    }
    return nullptr;
}

namespace {

// A request laying `source` from (x, y) onto a destination; the mask, when given, must
// cover the same rectangle or it is left out.
BlendRequest requestFor(const Engine& engine, const Layer& source, const Layer* mask, int32_t x, int32_t y,
                        int32_t width, int32_t height) {
    if (mask && (mask->width() < x + width || mask->height() < y + height)) mask = nullptr;
    BlendRequest q{};
    q.source = source.pixels.data();
    q.sourceX = x;
    q.sourceY = y;
    q.width = width;
    q.height = height;
    q.sourceStride = source.stride();
    q.maskPixels = mask ? mask->pixels.data() : nullptr;
    q.maskStride = mask ? mask->stride() : 0;
    q.mode = source.blendMode;
    q.maskMode = mask ? kBlendLayerMask : 0;
    q.opacity = source.opacity;
    q.alphaLayerOpacity = engine.layers.alphaLayerOpacity;
    return q;
}

}  // namespace

void MergeLayer(Engine& engine, int32_t source, int32_t target) {
    const Layer* from = engine.layers.withPixels(source);
    Layer* to = engine.layers.withPixels(target);
    if (!from || !to) return;
    const int32_t w = std::min({engine.canvas.width, from->width(), to->width()});
    const int32_t h = std::min({engine.canvas.height, from->height(), to->height()});
    BlendRequest q = requestFor(engine, *from, LayerMaskOf(engine, source), 0, 0, w, h);
    q.destination = to->pixels.data();
    q.destStride = to->stride();
    q.sameAlphaMode = from->blendMode == to->blendMode && from->blendMode > blend::kLastSeparableMode;
    BlendLayerPixels(q);
}

void MergeLayerIntoRect(Engine& engine, int32_t source, RGBA64* buffer, int32_t x, int32_t y, int32_t width,
                        int32_t height) {
    const Layer* from = engine.layers.withPixels(source);
    if (!from || !buffer) return;
    const ClippedRect c = clipRect(x, y, width, height, from->width(), from->height());
    if (c.empty()) return;
    BlendRequest q = requestFor(engine, *from, LayerMaskOf(engine, source), c.x, c.y, c.width, c.height);
    q.destination = buffer;
    q.destX = c.srcX;
    q.destY = c.srcY;
    q.destStride = width * 4;
    BlendLayerPixels(q);
}

void MergeRect(Engine& engine, RGBA64* buffer, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!buffer || width <= 0 || height <= 0) return;
    std::fill_n(buffer, std::size_t(width) * std::size_t(height), RGBA64{0, 0, 0, 0});
    const Layer& background = engine.layers.table[kBackgroundSlot];
    if (background.visible)
        GetRGBA64Rect(background, reinterpret_cast<uint8_t*>(buffer), width * 8, x, y, width, height);
    for (int32_t slot = 2; slot < kLayerSlots; ++slot) {
        const Layer& layer = engine.layers.table[size_t(slot)];
        if (layer.hasPixels() && layer.visible) MergeLayerIntoRect(engine, slot, buffer, x, y, width, height);
    }
}

void BlendImageIntoLayer(Engine& engine, const uint8_t* image, Layer& layer, int32_t mode, int32_t maskMode,
                         int32_t opacity, bool keepAlpha) {
    if (!image || !layer.hasPixels()) return;
    const ClippedRect area = onCanvas(engine.canvas, layer);
    if (area.empty()) return;
    const int32_t w = area.width, h = area.height;
    // Widened one row at a time: the same result as a widened copy of the whole image.
    std::unique_ptr<RGBA64[]> row = allocateBlock<RGBA64>(std::size_t(w));
    for (int32_t y = 0; y < h; ++y) {
        const RGBA32* s = reinterpret_cast<const RGBA32*>(image + std::ptrdiff_t(y) * engine.canvas.width * 4);
        for (int32_t x = 0; x < w; ++x) row[size_t(x)] = widen(s[x]);
        BlendRequest q{};
        q.source = row.get();
        q.width = w;
        q.height = 1;
        q.sourceStride = w * 4;
        q.destination = layer.pixels.row(y);
        q.destStride = layer.stride();
        q.mode = mode;
        q.maskMode = maskMode;
        q.opacity = opacity;
        q.keepAlpha = keepAlpha;
        q.alphaLayerOpacity = engine.layers.alphaLayerOpacity;
        BlendLayerPixels(q);
    }
}

}  // namespace calv
