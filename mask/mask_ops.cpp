#include "mask/mask_ops.h"

#include <algorithm>
#include <cstring>

#include "mask/grey.h"

namespace calv {
namespace {

// Calls fn(layerPixel, maskValue) for every pixel of the current layer that lies on the
// canvas; the mask plane is canvas-sized.
template <class Fn>
void forLayerAndMask(Engine& engine, Fn&& fn) {
    Layer* layer = engine.layers.currentWithPixels();
    if (!layer || engine.mask.plane.empty()) return;
    const ClippedRect r = onCanvas(engine.canvas, *layer);
    for (int32_t y = 0; y < r.height; ++y) {
        RGBA64* p = layer->pixels.row(y);
        G16* m = engine.mask.plane.row(y);
        for (int32_t x = 0; x < r.width; ++x) fn(p[x], m[x]);
    }
}

}  // namespace

void InvertMask(MaskState& mask) {
    G16* m = mask.plane.data();
    for (std::size_t i = 0, n = mask.plane.pixelCount(); i < n; ++i) m[i] = uint16_t(kMaskOpen - m[i]);
}

void ClearMask(MaskState& mask, int32_t r, int32_t g, int32_t b) {
    // Components outside 0..65280 count as their nearest end.
    auto channel = [](int32_t v) { return uint32_t(std::clamp(v, 0, 65535)); };
    mask.plane.fill(maskFromColour(channel(r), channel(g), channel(b)));
}

void SaveMask(const MaskState& mask, uint8_t* dst, int32_t stride) {
    if (!dst) return;
    for (int32_t y = 0; y < mask.plane.height(); ++y) {
        const G16* m = mask.plane.row(y);
        uint8_t* out = dst + std::ptrdiff_t(y) * stride;
        for (int32_t x = 0; x < mask.plane.width(); ++x, out += 3) out[0] = out[1] = out[2] = greyFromMask(m[x]);
    }
}

void LoadMask(MaskState& mask, const uint8_t* src, int32_t stride, int32_t width, int32_t height) {
    if (!src) return;
    const ClippedRect r = clipRect(0, 0, width, height, mask.plane.width(), mask.plane.height());
    for (int32_t y = 0; y < r.height; ++y) {
        const uint8_t* in = src + std::ptrdiff_t(y) * stride;
        G16* m = mask.plane.row(y);
        for (int32_t x = 0; x < r.width; ++x, in += 3) m[x] = maskFromGrey8((in[0] + in[1] + in[2]) / 3u);
    }
}

void CreateImageFromMask(Engine& engine) {
    forLayerAndMask(engine, [](RGBA64& p, G16& m) {
        const uint16_t c = uint16_t(std::min<uint32_t>(kMaskOpen - m, 65280));
        p = {c, c, c, kFullAlpha16};
    });
}

void CreateAlphaFromMask(Engine& engine) {
    forLayerAndMask(engine, [](RGBA64& p, G16& m) { p.a = m; });
}

void CreateMaskFromImage(Engine& engine) {
    forLayerAndMask(engine, [](RGBA64& p, G16& m) { m = maskFromColour(p.r, p.g, p.b); });
}

void CreateMaskFromAlpha(Engine& engine) {
    forLayerAndMask(engine, [](RGBA64& p, G16& m) { m = p.a; });
}

int32_t GetMask64(Engine& engine, int32_t x, int32_t y) {
    const MaskState& mask = engine.mask;
    if (!engine.layers.currentWithPixels() || !mask.gating() || !mask.plane.contains(x, y)) return 0;
    return kMaskOpen - mask.plane.at(x, y);
}

}  // namespace calv
