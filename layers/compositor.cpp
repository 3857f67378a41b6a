#include "layers/compositor.h"

#include <array>
#include <utility>

#include "layers/blend_math.h"

namespace calv {
namespace {

using namespace blend;

// One source pixel over one destination pixel; false when nothing is to be written.
template <int Mode>
inline bool composePixel(RGBA64 src, const uint16_t* maskPixel, const BlendRequest& q, RGBA64 d, RGBA64& out) {
    if constexpr (Mode <= kLastSeparableMode) {
        if (src.a == 0) return false;  // transparent pixels of these modes cost nothing
    }
    Source s{src.r, src.g, src.b, applyMaskAndOpacity(src.a, maskPixel, q.opacity), Mode};
    if constexpr (Mode > kLastSeparableMode) prepareAlphaMode(s, Mode, q.sameAlphaMode, q.alphaLayerOpacity);
    if (d.a == 0 || s.destEmpty) {
        out = isTextureMode(s.h) ? RGBA64{0, 0, 0, 0}
                                 : RGBA64{uint16_t(s.r), uint16_t(s.g), uint16_t(s.b), uint16_t(s.sa)};
        return true;
    }
    if (s.sa == 0) return false;
    if (s.sa >= 65280 && s.h == kBlendNormal) {
        out = {uint16_t(s.r), uint16_t(s.g), uint16_t(s.b), uint16_t(s.sa)};
        return true;
    }
    if constexpr (Mode == kBlendTexturize3) return false;  // the paper layer leaves what lies below
    const float Sa = float(s.sa) * kInvAlphaScale, Da = float(d.a) * kInvAlphaScale;
    const float sc[3] = {float(s.r) * kInvColourScale, float(s.g) * kInvColourScale, float(s.b) * kInvColourScale};
    const float dc[3] = {float(d.r) * kInvColourScale, float(d.g) * kInvColourScale, float(d.b) * kInvColourScale};
    const float luminance = float(s.r + s.g + s.b) * (kInvColourScale / 3.0f);
    Blended b;
    if constexpr (Mode <= kLastSeparableMode)
        b = blendFloat<Mode>(Sa, sc, Da, dc, luminance);
    else if (s.h > kLastSeparableMode)  // an alpha mode that kept its own id lays as "Normal"
        b = blendFloat<kBlendNormal>(Sa, sc, Da, dc, luminance);
    else
        b = blendFloatAny(s.h, Sa, sc, Da, dc, luminance);
    out = {uint16_t(b.r * kColourScale), uint16_t(b.g * kColourScale), uint16_t(b.b * kColourScale),
           uint16_t(b.a * kAlphaScale)};
    return true;
}

template <int Mode>
void blendRows(const BlendRequest& q) {
    const bool masked = q.maskPixels && q.maskMode == kBlendLayerMask;
    for (int32_t j = 0; j < q.height; ++j) {
        const RGBA64* s = q.source + std::ptrdiff_t(q.sourceY + j) * (q.sourceStride / 4) + q.sourceX;
        RGBA64* d = q.destination + std::ptrdiff_t(q.destY + j) * (q.destStride / 4) + q.destX;
        const RGBA64* m =
            masked ? q.maskPixels + std::ptrdiff_t(q.sourceY + j) * (q.maskStride / 4) + q.sourceX : nullptr;
        for (int32_t i = 0; i < q.width; ++i) {
            RGBA64 out;
            if (!composePixel<Mode>(s[i], m ? &m[i].r : nullptr, q, d[i], out)) continue;
            d[i].r = out.r;
            d[i].g = out.g;
            d[i].b = out.b;
            if (!q.keepAlpha) d[i].a = out.a;
        }
    }
}

using RowsFn = void (*)(const BlendRequest&);

template <std::size_t... Modes>
constexpr std::array<RowsFn, sizeof...(Modes)> rowsTable(std::index_sequence<Modes...>) {
    return {&blendRows<int(Modes)>...};
}

constexpr auto kRowsByMode = rowsTable(std::make_index_sequence<kBlendModeCount>());

}  // namespace

void BlendLayerPixels(const BlendRequest& q) {
    if (q.width <= 0 || q.height <= 0 || !q.source || !q.destination) return;
    const int32_t mode = q.mode >= 0 && q.mode < kBlendModeCount ? q.mode : kBlendNormal;
    kRowsByMode[std::size_t(mode)](q);
}

}  // namespace calv
