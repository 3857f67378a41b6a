// The arithmetic of the blend modes, shared by the layer compositor and the view
// renderer: alpha-mode preparation of the source, and the single-precision blend on
// premultiplied values.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "layers/blend_modes.h"

namespace calv::blend {

constexpr float kAlphaScale = 65535.0f;   // alpha runs to 65535
constexpr float kColourScale = 65280.0f;  // colour runs to 65280 (8-bit 255 x 256)
constexpr float kInvAlphaScale = 1.0f / kAlphaScale;
constexpr float kInvColourScale = 1.0f / kColourScale;
constexpr int32_t kLastSeparableMode = 20;
constexpr int32_t kTexturize = 17;
constexpr int32_t kTexturize2 = 18;
constexpr int32_t kMultiply = 1;

// A source pixel on its way through the compositor: straight 16-bit colour, alpha after
// mask and opacity, the effective mode, and whether the destination counts as empty.
struct Source {
    int32_t r, g, b;
    int32_t sa;
    int32_t h;
    bool destEmpty = false;
};

// The layer mask scales alpha by the mask pixel's grey when the mask pixel is not
// transparent; opacity 0..254 scales by (opacity + 1) / 256.
inline int32_t applyMaskAndOpacity(int32_t sa, const uint16_t* maskPixel, int32_t opacity) {
    if (maskPixel && maskPixel[3] > 0)
        sa = int32_t(uint32_t(sa) * ((uint32_t(maskPixel[0]) + maskPixel[1] + maskPixel[2]) / 3) / 65536);
    if (opacity < 255) sa = int32_t(uint32_t(sa) * uint32_t(opacity + 1) / 256);
    return sa;
}

// c moves towards 65535 above the pivot and towards 0 below it.
inline int32_t shiftChannel(int32_t c, int32_t sa, int32_t pivot, double up, double down) {
    if (sa > pivot) return int32_t(c + (65535 - c) * double(sa - pivot) * up);
    return int32_t(c - c * double(pivot - sa) * down);
}

inline void shade(Source& s) {
    auto one = [&](int32_t c) {
        return s.sa < 32767 ? std::max(c - 2 * (32767 - s.sa), 0) : std::min(c + 2 * s.sa - 65534, 65535);
    };
    s.r = one(s.r);
    s.g = one(s.g);
    s.b = one(s.b);
}

// The alpha modes 21..41 rewrite the source before it is laid; `P` is the alpha layer
// opacity. With `sameAlphaMode` (a layer merged into a layer of the same alpha mode)
// most of them treat the destination as empty instead.
inline void prepareAlphaMode(Source& s, int32_t mode, bool sameAlphaMode, int32_t P) {
    auto setColour = [&](int32_t v) { s.r = s.g = s.b = v; };
    auto shift = [&](int32_t pivot, double up, double down) {
        s.r = shiftChannel(s.r, s.sa, pivot, up, down);
        s.g = shiftChannel(s.g, s.sa, pivot, up, down);
        s.b = shiftChannel(s.b, s.sa, pivot, up, down);
    };
    auto rule8191 = [&] {
        if (s.sa > 0) s.sa = s.sa >= 8191 ? P : 0;
    };
    auto rule9215 = [&] {
        if (s.sa <= 0) return;
        if (s.sa < 8191) s.sa = 0;
        else if (s.sa < 9215) s.sa = 65535 - std::min((9215 - s.sa) * 64, 65535);
        else s.sa = P;
    };
    const bool simpleSame = sameAlphaMode && mode >= 21 && mode <= 31;
    if (simpleSame || (sameAlphaMode && mode == 37)) {
        if (s.sa > 0) s.destEmpty = true;
        return;
    }
    switch (mode) {
    case 21:
        if (s.sa > 0) s.sa = P;
        break;
    case 22:
        s.sa = 65535 - s.sa;
        setColour(65535);
        break;
    case 23:
    case 37:
        if (s.sa > 0 && s.sa < 65280) setColour(0), s.sa = P;
        break;
    case 24:
    case 25:
        if (s.sa > 0) s.sa = s.sa >= 12287 ? P : 65535 - s.sa;
        break;
    case 26:
        if (s.sa > 0) s.sa = 65535 - s.sa;
        break;
    case 27:
        if (s.sa > 0) setColour(s.sa), s.sa = P;
        break;
    case 28:
    case 29:
        if (s.sa > 0) {
            shade(s);
            s.sa = P;
            if (mode == 29) s.h = kTexturize2;
        }
        break;
    case 30:
        if (s.sa > 0) {
            if (s.sa < 32767) {
                s.sa = std::max(s.sa - 2 * (32767 - s.sa), 0);
            } else {
                const int32_t lift = 2 * s.sa - 65534;
                s.r = std::min(s.r + lift, 65535);
                s.g = std::min(s.g + lift, 65535);
                s.b = std::min(s.b + lift, 65535);
                s.sa = P;
            }
            s.h = kTexturize2;
        }
        break;
    case 31:
        if (s.sa > 0) s.sa = s.sa >= 32767 ? P : std::max(s.sa - 4 * (32767 - s.sa), 0);
        break;
    case 32:
    case 33:
    case 34:
        if (sameAlphaMode) {
            if (s.sa >= 8191) s.destEmpty = true;
            else s.sa = 0;
            break;
        }
        if (mode == 32) shift(32767, 1.0 / 32767, 1.0 / 32767);
        if (mode == 33) shift(32767, 1.0 / 32767, 1.0 / 65535);
        if (mode == 34) shift(36862, 1.0 / 28672, 1.0 / 30000);
        rule8191();
        break;
    case 35:
    case 36:
        if (sameAlphaMode) {
            if (s.sa < 8191) s.sa = 0;
            else if (s.sa < 9215) s.h = kMultiply;
            else s.destEmpty = true;
            break;
        }
        if (mode == 35) shift(36862, 1.0 / 28672, 1.0 / 30000);
        else shift(32767, 1.0 / 32767, 1.0 / 32767);
        rule9215();
        break;
    case 38:
        if (sameAlphaMode) {
            if (s.sa <= 32512) s.sa = 0;
            else s.destEmpty = true;
        } else if (s.sa > 32512) {
            s.sa = 0;
        }
        break;
    case 39:
        s.sa = 0;  // a mask layer shows nothing itself
        break;
    case 40:
        s.sa = (s.r + s.g + s.b) / 3;
        setColour(65535);
        break;
    case 41:
        s.sa = 65535 - (s.r + s.g + s.b) / 3;
        setColour(0);
        break;
    default:
        break;
    }
}

// Result of the floating-point blend: straight colour and alpha, each in 0..1.
struct Blended {
    float r, g, b, a;
};

// The single-precision blend of effective mode H. Sa, Da are alphas in 0..1, sc and dc
// straight colours in 0..1; `luminance` is the source's (R + G + B) / (3 x 65280).
// X = Sc(1 - Da) + Dc(1 - Sa) is the part of each layer outside the other.
template <int H>
inline Blended blendFloat(float Sa, const float sc[3], float Da, const float dc[3], float luminance) {
    float Sc[3], Dc[3], Rc[3];
    for (int i = 0; i < 3; ++i) Sc[i] = sc[i] * Sa, Dc[i] = dc[i] * Da;
    float Ao = Sa + Da * (1.0f - Sa);
    for (int i = 0; i < 3; ++i) {
        const float X = Sc[i] * (1.0f - Da) + Dc[i] * (1.0f - Sa);
        const float s = Sc[i], d = Dc[i];
        if constexpr (H == 1) {
            Rc[i] = X + s * d;  // Multiply
        } else if constexpr (H == 2) {
            Rc[i] = s + d - s * d;  // Screen
        } else if constexpr (H == 3) {
            Rc[i] = s * Da < d * Sa ? s + d * (1.0f - Sa) : d + s * (1.0f - Da);  // Darken
        } else if constexpr (H == 4) {
            Rc[i] = s * Da > d * Sa ? s + d * (1.0f - Sa) : d + s * (1.0f - Da);  // Lighten
        } else if constexpr (H == 5) {
            Rc[i] = s + d - 2.0f * std::min(s * Da, d * Sa);  // Difference
        } else if constexpr (H == 6 || H == 7) {
            Rc[i] = X + s * Da + d * Sa - 2.0f * s * d;  // Negation, Exclusion
        } else if constexpr (H == 8) {
            Rc[i] = Da > 2.0f * d ? X + 2.0f * s * d : X + Sa * Da - 2.0f * (Da - d) * (Sa - s);  // Overlay
        } else if constexpr (H == 9) {
            Rc[i] = Sa > 2.0f * s ? X + 2.0f * s * d : X + Sa * Da - 2.0f * (Da - d) * (Sa - s);  // Hard Light
        } else if constexpr (H == 10) {
            const float m = d / Da;  // Soft Light
            if (Sa > 2.0f * s) Rc[i] = X + d * (Sa + (2.0f * s - Sa) * (1.0f - m));
            else if (Da >= 8.0f * d) Rc[i] = X + d * (Sa + (2.0f * s - Sa) * (1.0f - m) * (3.0f - 8.0f * m));
            else Rc[i] = X + d * Sa + (std::sqrt(m) * Da - d) * (2.0f * s - Sa);
        } else if constexpr (H == 11) {
            Rc[i] = s * Da + d * Sa >= Sa * Da ? X + Sa * Da : X + d * Sa / (1.0f - s / Sa);  // Dodge
        } else if constexpr (H == 12) {
            Rc[i] = s * Da + d * Sa <= Sa * Da ? X : X + Sa * (s * Da + d * Sa - Sa * Da) / s;  // Burn
        } else if constexpr (H == 15) {
            Rc[i] = s + d;  // Add
        } else if constexpr (H == 16) {
            Rc[i] = s + d - Sa * Da;  // Subtract
        } else if constexpr (H == 17 || H == 18 || H == 19) {
            Rc[i] = d;  // the texture modes follow below
        } else {
            Rc[i] = s + d * (1.0f - Sa);  // Normal and every other mode
        }
    }
    if constexpr (H == 15 || H == 16) Ao = Sa + Da;
    if constexpr (H == 17 || H == 18 || H == 19) Ao = Da;
    if constexpr (H == 18) {
        for (int i = 0; i < 3; ++i) Rc[i] = dc[i] + (luminance - 0.5f) * 1.75f * Sa;
    }
    if constexpr (H == 17) {
        const float k = (luminance - 0.5f) * Sa;
        const float Q = (dc[0] + k + dc[1] + k + dc[2] + k) / 3.0f;
        for (int i = 0; i < 3; ++i) Rc[i] = dc[i] + (Q - 0.5f) * 1.75f * Sa;
    }
    const float A = std::clamp(Ao, 0.0f, 1.0f), invA = 1.0f / A;
    return {std::clamp(Rc[0] * invA, 0.0f, 1.0f), std::clamp(Rc[1] * invA, 0.0f, 1.0f),
            std::clamp(Rc[2] * invA, 0.0f, 1.0f), A};
}

// The blend for an effective mode known only at run time.
inline Blended blendFloatAny(int32_t h, float Sa, const float sc[3], float Da, const float dc[3], float luminance) {
    switch (h) {
    case 1: return blendFloat<1>(Sa, sc, Da, dc, luminance);
    case 2: return blendFloat<2>(Sa, sc, Da, dc, luminance);
    case 3: return blendFloat<3>(Sa, sc, Da, dc, luminance);
    case 4: return blendFloat<4>(Sa, sc, Da, dc, luminance);
    case 5: return blendFloat<5>(Sa, sc, Da, dc, luminance);
    case 6: return blendFloat<6>(Sa, sc, Da, dc, luminance);
    case 7: return blendFloat<7>(Sa, sc, Da, dc, luminance);
    case 8: return blendFloat<8>(Sa, sc, Da, dc, luminance);
    case 9: return blendFloat<9>(Sa, sc, Da, dc, luminance);
    case 10: return blendFloat<10>(Sa, sc, Da, dc, luminance);
    case 11: return blendFloat<11>(Sa, sc, Da, dc, luminance);
    case 12: return blendFloat<12>(Sa, sc, Da, dc, luminance);
    case 15: return blendFloat<15>(Sa, sc, Da, dc, luminance);
    case 16: return blendFloat<16>(Sa, sc, Da, dc, luminance);
    case 17: return blendFloat<17>(Sa, sc, Da, dc, luminance);
    case 18: return blendFloat<18>(Sa, sc, Da, dc, luminance);
    case 19: return blendFloat<19>(Sa, sc, Da, dc, luminance);
    default: return blendFloat<0>(Sa, sc, Da, dc, luminance);
    }
}

constexpr bool isTextureMode(int32_t h) { return h == 17 || h == 18 || h == 19; }

}  // namespace calv::blend
