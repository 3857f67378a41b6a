#include "engine/masked_load.h"

#include <algorithm>
#include <cstring>

#include "imaging/deflate.h"
#include "mask/weights.h"

namespace calv {
namespace {

// new = ((s x w) / 256 + (d x (65535 - w)) / 256) / 256, every product in 32 bits.
inline uint16_t loadBlend(uint32_t s, uint32_t d, uint32_t w) {
    return uint16_t((((s * w) >> 8) + ((d * (kWeightFull - w)) >> 8)) >> 8);
}

// The weighting planes of one destination row: null where a plane is not in force or
// the row lies outside it. `limit` is the first column the planes no longer cover.
struct WeightRow {
    const G8* texture = nullptr;
    const G16* mask = nullptr;
    int32_t limit = 0;
    bool active() const { return texture || mask; }
};

WeightRow weightRow(Engine& engine, int32_t y) {
    WeightRow row;
    const Plane<G8>& tex = engine.brush.texturePlane;
    const Plane<G16>& mask = engine.mask.plane;
    int32_t limit = INT32_MAX;
    if (!tex.empty() && y < tex.height()) {
        row.texture = tex.row(y);
        limit = std::min(limit, tex.width());
    }
    if (engine.mask.gating() && y < mask.height()) {
        row.mask = mask.row(y);
        limit = std::min(limit, mask.width());
    }
    row.limit = row.active() ? limit : 0;
    return row;
}

// Weight of the picture loads at column x of a weighting row.
inline uint32_t loadWeight(const WeightRow& row, int32_t x) {
    uint32_t w = kWeightFull;
    if (row.texture) w = textureLoadWeight(row.texture[x]);
    if (row.mask) w = maskWeight8(w, row.mask[x]);
    return w;
}

template <bool KeepAlpha>
void copyRGBA32Row(const RGBA32* src, RGBA64* dst, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const RGBA32 s = src[i];
        if constexpr (KeepAlpha) {
            dst[i].r = widen8(s.r);
            dst[i].g = widen8(s.g);
            dst[i].b = widen8(s.b);
        } else {
            // Branch-free so the loop vectorises: a transparent source clears all four.
            const uint16_t keep = s.a == 0 ? 0 : 0xFFFF;
            dst[i] = {uint16_t(widen8(s.r) & keep), uint16_t(widen8(s.g) & keep), uint16_t(widen8(s.b) & keep),
                      widen8(s.a)};
        }
    }
}

// Columns [from, to) of a row through the load weight; columns are in the weighting
// row's coordinates, `src` and `dst` already point at column `from`.
template <bool KeepAlpha>
void weighRGBA32Row(const WeightRow& weights, int32_t from, int32_t to, const RGBA32* src, RGBA64* dst) {
    for (int32_t x = from; x < to; ++x, ++src, ++dst) {
        const uint32_t w = loadWeight(weights, x);
        if (w == 0) continue;
        const RGBA32 s = *src;
        RGBA64& d = *dst;
        if (w == kWeightFull) {
            d.r = widen8(s.r);
            d.g = widen8(s.g);
            d.b = widen8(s.b);
            if constexpr (!KeepAlpha) d.a = widen8(s.a);
        } else if (d.a == 0) {
            d.r = widen8(s.r);
            d.g = widen8(s.g);
            d.b = widen8(s.b);
            if constexpr (!KeepAlpha) d.a = uint16_t((widen8(s.a) * w) >> 16);
        } else if (s.a == 0) {
            if constexpr (!KeepAlpha) d.a = uint16_t((d.a * (kWeightFull - w)) >> 16);
        } else {
            d.r = loadBlend(widen8(s.r), d.r, w);
            d.g = loadBlend(widen8(s.g), d.g, w);
            d.b = loadBlend(widen8(s.b), d.b, w);
            if constexpr (!KeepAlpha) d.a = loadBlend(widen8(s.a), d.a, w);
        }
    }
}

template <bool KeepAlpha>
void loadRGBA32Rows(Engine& engine, const uint8_t* src, int32_t srcStride, Layer& layer, const ClippedRect& c,
                    bool weighted) {
    const HostRows<const RGBA32, const uint8_t> source{src, srcStride};
    for (int32_t j = 0; j < c.height; ++j) {
        const RGBA32* s = source.row(c.srcY + j) + c.srcX;
        RGBA64* d = layer.pixels.row(c.y + j) + c.x;
        int32_t split = 0;  // columns before `split` go through the weights
        WeightRow weights;
        if (weighted) {
            weights = weightRow(engine, c.y + j);
            split = std::clamp(weights.limit - c.x, 0, c.width);
        }
        if (split > 0) weighRGBA32Row<KeepAlpha>(weights, c.x, c.x + split, s, d);
        copyRGBA32Row<KeepAlpha>(s + split, d + split, c.width - split);
    }
}

bool weightsInForce(const Engine& engine) { return engine.mask.gating() || !engine.brush.texturePlane.empty(); }

}  // namespace

void LoadRGBA32Layer(Engine& engine, const uint8_t* src, int32_t srcStride, Layer& layer, int32_t x, int32_t y,
                     int32_t width, int32_t height, bool useMask) {
    if (!src || !layer.hasPixels()) return;
    const ClippedRect c = clipRect(x, y, width, height, layer.width(), layer.height());
    if (c.empty()) return;
    const bool weighted = useMask && weightsInForce(engine);
    if (layer.keepAlpha)
        loadRGBA32Rows<true>(engine, src, srcStride, layer, c, weighted);
    else
        loadRGBA32Rows<false>(engine, src, srcStride, layer, c, weighted);
}

void LoadRGB24(Engine& engine, const uint8_t* src, int32_t srcStride, bool useMask) {
    Layer* layer = engine.layers.currentWithPixels();
    if (!src || !layer) return;
    const ClippedRect c = onCanvas(engine.canvas, *layer);
    const bool weighted = useMask && weightsInForce(engine);
    const HostRows<const RGB24, const uint8_t> source{src, srcStride};
    for (int32_t y = 0; y < c.height; ++y) {
        const RGB24* s = source.row(y);
        RGBA64* d = layer->pixels.row(y);
        const WeightRow weights = weighted ? weightRow(engine, y) : WeightRow{};
        for (int32_t x = 0; x < c.width; ++x) {
            const uint32_t w = weights.active() ? loadWeight(weights, x) : kWeightFull;
            if (w == kWeightFull) {
                d[x].r = widen8(s[x].r);
                d[x].g = widen8(s[x].g);
                d[x].b = widen8(s[x].b);
            } else if (w != 0) {
                d[x].r = loadBlend(widen8(s[x].r), d[x].r, w);
                d[x].g = loadBlend(widen8(s[x].g), d[x].g, w);
                d[x].b = loadBlend(widen8(s[x].b), d[x].b, w);
            }
        }
    }
}

void LoadRGB24ToAlpha(Engine& engine, const uint8_t* src, int32_t srcStride, bool useMask) {
    Layer* layer = engine.layers.currentWithPixels();
    if (!src || !layer) return;
    const ClippedRect c = onCanvas(engine.canvas, *layer);
    const bool weighted = useMask && weightsInForce(engine);
    const HostRows<const RGB24, const uint8_t> source{src, srcStride};
    for (int32_t y = 0; y < c.height; ++y) {
        const RGB24* s = source.row(y);
        RGBA64* d = layer->pixels.row(y);
        const WeightRow weights = weighted ? weightRow(engine, y) : WeightRow{};
        for (int32_t x = 0; x < c.width; ++x) {
            if (d[x].a == 0) continue;
            uint32_t w = kWeightFull;
            if (weights.texture) w = textureWeight(weights.texture[x]);
            if (weights.mask) w = maskWeight16(w, weights.mask[x]);
            if (w == kWeightFull)
                d[x].a = widen8(s[x].r);
            else if (w != 0)
                d[x].a = loadBlend(widen8(s[x].r), d[x].a, w);
        }
    }
}

void LoadBGR24(Engine& engine, const uint8_t* src, int32_t srcStride, int32_t width, int32_t height) {
    Layer* layer = engine.layers.currentWithPixels();
    if (!src || !layer) return;
    const ClippedRect area = onCanvas(engine.canvas, *layer);
    const int32_t w = std::min(area.width, width), h = std::min(area.height, height);
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* s = src + std::ptrdiff_t(y) * srcStride;
        RGBA64* d = layer->pixels.row(y);
        for (int32_t x = 0; x < w; ++x, s += 3) d[x] = {widen8(s[2]), widen8(s[1]), widen8(s[0]), kFullAlpha16};
    }
}

void ClearLayer(Engine& engine, Layer& layer, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (!layer.hasPixels()) return;
    const ClippedRect c = onCanvas(engine.canvas, layer);
    const RGBA64 colour = widen(RGBA32{r, g, b, a});
    for (int32_t y = 0; y < c.height; ++y) std::fill_n(layer.pixels.row(y), c.width, colour);
}

void ClearLayerMasked(Engine& engine, Layer& layer, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (!layer.hasPixels()) return;
    if (!engine.mask.gating()) return ClearLayer(engine, layer, r, g, b, a);
    const ClippedRect c = onCanvas(engine.canvas, layer);
    const RGBA64 colour = widen(RGBA32{r, g, b, a});
    for (int32_t y = 0; y < c.height; ++y) {
        const G16* m = engine.mask.plane.row(y);
        RGBA64* d = layer.pixels.row(y);
        for (int32_t x = 0; x < c.width; ++x) {
            if (m[x] == kMaskOpen) {
                d[x] = colour;
            } else if (m[x] != 0) {
                d[x] = {maskedReplace(r, d[x].r, m[x]), maskedReplace(g, d[x].g, m[x]),
                        maskedReplace(b, d[x].b, m[x]), kFullAlpha16};
            }
        }
    }
}

void Clear(Engine& engine, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (Layer* layer = engine.layers.currentWithPixels()) ClearLayer(engine, *layer, r, g, b, a);
}

void ClearMasked(Engine& engine, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (Layer* layer = engine.layers.currentWithPixels()) ClearLayerMasked(engine, *layer, r, g, b, a);
}

bool ClearMaskedAlpha(Engine& engine, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    Layer* layer = engine.layers.currentWithPixels();
    if (!engine.mask.gating()) {
        Clear(engine, r, g, b, a);
        return true;
    }
    if (!layer) return true;
    const ClippedRect c = onCanvas(engine.canvas, *layer);
    if (c.empty()) return true;
    // One row of the colour serves every row: the source stride is 0.
    std::unique_ptr<RGBA32[]> row;
    try {
        row = allocateBlock<RGBA32>(std::size_t(c.width));
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::fill_n(row.get(), c.width, RGBA32{r, g, b, a});
    LoadRGBA32Layer(engine, reinterpret_cast<const uint8_t*>(row.get()), 0, *layer, 0, 0, c.width, c.height, true);
    return true;
}

bool LoadRGBA32LayerCompressed(Engine& engine, const uint8_t* data, int32_t dataLength, Layer& layer) {
    if (!data || dataLength <= 0 || !layer.hasPixels()) return false;
    const std::size_t bytes = layer.pixels.pixelCount() * sizeof(RGBA32);
    std::unique_ptr<RGBA32[]> buffer = allocateBlock<RGBA32>(layer.pixels.pixelCount());
    if (!imaging::inflateBuffer(data, std::size_t(dataLength), reinterpret_cast<uint8_t*>(buffer.get()), bytes))
        return false;
    LoadRGBA32Layer(engine, reinterpret_cast<const uint8_t*>(buffer.get()), layer.width() * 4, layer, 0, 0,
                    layer.width(), layer.height(), false);
    return true;
}

}  // namespace calv
