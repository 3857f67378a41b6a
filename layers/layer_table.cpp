#include "layers/layer_table.h"

#include <algorithm>
#include <cstring>

#include "brush/texture.h"
#include "history/history.h"
#include "layers/blend_modes.h"
#include "layers/compositor.h"

namespace calv {
namespace {

bool isTextureLayer(const Layer& layer) { return layer.blendMode == kBlendTexturize3; }

void dropTextureFor(Engine& engine, const Layer& layer) {
    if (isTextureLayer(layer) && !engine.brush.texturePlane.empty()) DeleteTexture(engine);
}

// Allocates a slot's pixels; when memory runs out, takes back undo memory and tries
// again for as long as the history gives something back.
bool allocateLayerPixels(Engine& engine, Layer& layer, int32_t width, int32_t height) {
    const int64_t kilobytes = int64_t(width) * height * 8 / 1024;
    for (;;) {
        try {
            layer.pixels.allocate(width, height);
            return true;
        } catch (const std::bad_alloc&) {
            if (ReduceUndo(engine, kilobytes) == 0) return false;
        }
    }
}

}  // namespace

uint16_t percentTo256(int32_t percent) {
    // In double precision 2.56 lies just above the true value, so whole results stay whole.
    return uint16_t(std::clamp(percent, 0, 100) * 2.56);
}

bool CreateLayer(Engine& engine, int32_t slot, int32_t width, int32_t height) {
    if (!isLayerSlot(slot) || width < 0 || height < 0 || width > kMaxLayerSide || height > kMaxLayerSide)
        return false;
    Layer& layer = engine.layers.table[size_t(slot)];
    if (layer.hasPixels() && (layer.width() != width || layer.height() != height)) layer.pixels.release();
    if (!layer.hasPixels() && !allocateLayerPixels(engine, layer, width, height)) {
        setLastError(engine.process, "CreateLayer Excpt");
        return false;
    }
    // The background starts opaque white (every channel 65535), any other slot transparent.
    const uint8_t fill = slot == kBackgroundSlot ? 0xFF : 0x00;
    std::memset(layer.pixels.data(), fill, layer.pixels.bytes());
    return true;
}

void DeleteLayer(Engine& engine, int32_t slot) {
    if (isLayerSlot(slot)) engine.layers.table[size_t(slot)].pixels.release();
}

int32_t SetLayerOptions(Engine& engine, int32_t slot, bool visible, bool keepAlpha, int32_t opacityPercent,
                        const char* blendName) {
    if (!isLayerSlot(slot)) return kBlendNormal;
    LayerState& ls = engine.layers;
    Layer& layer = ls.table[size_t(slot)];
    dropTextureFor(engine, layer);
    layer.visible = visible;
    layer.keepAlpha = keepAlpha;
    layer.opacity = percentTo256(opacityPercent);
    layer.blendMode = blendModeId(blendName);
    ls.topLayer = kBackgroundSlot;
    for (int32_t s = kLayerSlots - 1; s > kBackgroundSlot; --s) {
        if (ls.table[size_t(s)].hasPixels()) {
            ls.topLayer = s;
            break;
        }
    }
    if (slot != ls.currentLayer && layer.visible && isTextureLayer(layer)) CreateTexture(engine, slot);
    return layer.blendMode;
}

void SetLayer(Engine& engine, int32_t slot) {
    LayerState& ls = engine.layers;
    Layer* layer = ls.withPixels(slot);
    if (!layer) return;
    dropTextureFor(engine, *layer);
    const Layer& old = ls.table[size_t(ls.currentLayer)];
    if (slot != ls.currentLayer && old.visible && isTextureLayer(old)) CreateTexture(engine, ls.currentLayer);
    ls.currentRecord = layer;
    ls.currentLayer = slot;
    SaveUndoBackBuffer(engine, slot);
}

int32_t GetLayerCount(const Engine& engine) {
    const auto& t = engine.layers.table;
    return int32_t(std::count_if(t.begin(), t.end(), [](const Layer& l) { return l.hasPixels(); }));
}

void SwapLayers(Engine& engine, int32_t a, int32_t b) {
    if (!isLayerSlot(a) || !isLayerSlot(b)) return;
    std::swap(engine.layers.table[size_t(a)], engine.layers.table[size_t(b)]);
}

void SetAlphaLayerOpacity(Engine& engine, int32_t percent) {
    engine.layers.alphaLayerOpacity = uint16_t(std::clamp(percent, 0, 100) * 0.01 * 65535);
}

int32_t CreatePaintLayer(Engine& engine, int32_t opacityPercent, const char* blendName) {
    Layer& paint = engine.layers.paint;
    if (!paint.hasPixels()) {
        paint.pixels.allocate(engine.canvas.width, engine.canvas.height);
        ClearPaintLayer(engine);
    }
    paint.visible = true;
    paint.keepAlpha = false;
    paint.opacity = percentTo256(opacityPercent);
    paint.blendMode = blendModeId(blendName);
    return paint.blendMode;
}

void ClearPaintLayer(Engine& engine) {
    Layer& paint = engine.layers.paint;
    if (!paint.hasPixels()) return;
    paint.pixels.fill(RGBA64{0, 0, 0, 0});
    paint.dirty = {engine.canvas.width, engine.canvas.height, 0, 0};
}

void ClearPaintLayerOld(Engine& engine) {
    Layer& paint = engine.layers.paint;
    if (!paint.hasPixels()) return;
    std::memset(paint.pixels.data(), 0xFF, paint.pixels.bytes());
    const DirtyRect& d = paint.dirty;
    const ClippedRect c = clipRect(d.left, d.top, d.right - d.left, d.bottom - d.top, paint.width(), paint.height());
    for (int32_t y = 0; y < c.height; ++y) std::fill_n(paint.pixels.row(c.y + y) + c.x, c.width, RGBA64{0, 0, 0, 0});
    paint.dirty = {engine.canvas.width, engine.canvas.height, 0, 0};
}

void MergePaintLayer(Engine& engine, int32_t slot) {
    Layer& paint = engine.layers.paint;
    Layer* target = engine.layers.withPixels(slot);
    // Without a target the stroke stays in the paint layer rather than being lost.
    if (!paint.hasPixels() || !target) return;
    const DirtyRect& d = paint.dirty;
    if (!d.empty()) {
        // The rectangle must lie in both planes, which share positions.
        ClippedRect c = clipRect(d.left, d.top, d.right - d.left, d.bottom - d.top, paint.width(), paint.height());
        c = clipRect(c.x, c.y, c.width, c.height, target->width(), target->height());
        BlendLayerPixels({paint.pixels.data(), c.x, c.y, c.width, c.height, paint.stride(), nullptr, 0,
                          target->pixels.data(), c.x, c.y, target->stride(), paint.blendMode, 0, paint.opacity,
                          false, false, engine.layers.alphaLayerOpacity});
    }
    ClearPaintLayer(engine);
}

void DeletePaintLayer(Engine& engine) { engine.layers.paint.pixels.release(); }

}  // namespace calv
