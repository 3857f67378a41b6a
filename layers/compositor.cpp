#include "layers/compositor.h"

#include <algorithm>

#include "layers/blend_modes.h"

namespace calv {
namespace {

constexpr float kAlphaScale = 65535.0f;
constexpr float kColourScale = 65280.0f;

// Normal over a destination that is neither empty nor covered by an opaque source, in
// single precision on premultiplied values: Rc = Sc + Dc x (1 - Sa), Ao = Sa + Da x (1 - Sa).
inline RGBA64 blendNormal(RGBA64 s, uint32_t sa, RGBA64 d) {
    const float Sa = float(sa) / kAlphaScale, Da = float(d.a) / kAlphaScale;
    const float Ao = std::clamp(Sa + Da * (1.0f - Sa), 0.0f, 1.0f);
    auto channel = [&](uint16_t sc, uint16_t dc) {
        const float Sc = float(sc) * Sa / kColourScale, Dc = float(dc) * Da / kColourScale;
        const float Rc = Sc + Dc * (1.0f - Sa);
        return uint16_t(std::clamp(Rc / Ao, 0.0f, 1.0f) * kColourScale);
    };
    return {channel(s.r, d.r), channel(s.g, d.g), channel(s.b, d.b), uint16_t(Ao * kAlphaScale)};
}

}  // namespace

// Every mode lays its pixels by the Normal rule until the other modes join.
void BlendLayerPixels(const BlendRequest& q) {
    if (q.width <= 0 || q.height <= 0 || !q.source || !q.destination) return;
    for (int32_t j = 0; j < q.height; ++j) {
        const RGBA64* s = q.source + std::ptrdiff_t(q.sourceY + j) * q.sourceStride / 4 + q.sourceX;
        RGBA64* d = q.destination + std::ptrdiff_t(q.destY + j) * q.destStride / 4 + q.destX;
        for (int32_t i = 0; i < q.width; ++i) {
            const RGBA64 src = s[i];
            uint32_t sa = src.a;
            if (sa == 0) continue;
            if (q.opacity < 255) sa = sa * uint32_t(q.opacity + 1) / 256;
            RGBA64 out;
            if (d[i].a == 0 || (sa >= 65280 && q.mode == kBlendNormal))
                out = {src.r, src.g, src.b, uint16_t(sa)};
            else if (sa == 0)
                continue;
            else
                out = blendNormal(src, sa, d[i]);
            d[i].r = out.r;
            d[i].g = out.g;
            d[i].b = out.b;
            if (!q.keepAlpha) d[i].a = out.a;
        }
    }
}

}  // namespace calv
