#include "brush/mix_modes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace calv {
namespace {

constexpr uint32_t kMax = 65535;


// The mode's value f for one channel of adjusted pixel d and paint p, modes 34..48.
uint32_t blendValue(int32_t mode, uint32_t d, uint32_t p) {
    switch (mode) {
    case 34: return kMax - (((kMax - d) * (kMax - p)) >> 16);  // Screen
    case 35: return std::min(d, p);                             // Darken
    case 36: return std::max(d, p);                             // Lighten
    case 37: return uint32_t(std::abs(int32_t(d) - int32_t(p)));  // Difference
    case 38: return clampTo16(int64_t(kMax) - std::abs(int64_t(kMax) - d - p));  // Negation
    case 39: return clampTo16(int64_t(d) + p - ((d * p) >> 15));  // Exclusion
    case 40:                                                    // Overlay
        return d < 32767 ? clampTo16((d * p) >> 15) : clampTo16(int64_t(kMax) - (((kMax - d) * (kMax - p)) >> 15));
    case 41:  // Hard Light
        return p < 32767 ? clampTo16((d * p) >> 15) : clampTo16(int64_t(kMax) - (((kMax - d) * (kMax - p)) >> 15));
    case 42: {  // Soft Light
        const float fp = float(p) / 65535.0f, fd = float(d) / 65535.0f;
        const float r = fp < 0.5f ? fd * (2 * fp + (1 - 2 * fp) * fd) : std::sqrt(fd) * (2 * fp - 1) + 2 * fd * (1 - fp);
        return clampTo16(int64_t(r * 65535.0f));
    }
    case 43: return p == kMax ? kMax : std::min((d * 65536u) / (kMax - p), kMax);  // Dodge
    case 44: return p == 0 ? 0 : clampTo16(int64_t(kMax) - int64_t(((kMax - d) * 65536u) / p));  // Burn
    case 45: return p == kMax ? kMax : std::min(d * d / (kMax - p), kMax);  // Reflect
    case 46: return d == kMax ? kMax : std::min(p * p / (kMax - d), kMax);  // Glow
    case 47: return std::min(d + p, kMax);  // Add
    case 48: return d + p > kMax ? d + p - kMax : 0;  // Subtract
    default: return p;
    }
}

}  // namespace

ModeValue MixModeValue(const BrushSettings& b, int32_t mode, const uint32_t P[3], const uint32_t D[3], uint32_t L,
                       ModeSite site) {
    ModeValue v;
    auto set = [&v](const uint32_t f[3]) { v.f[0] = f[0], v.f[1] = f[1], v.f[2] = f[2]; };
    auto bank = [&](int k) {
        const RGBA64& bk = b.banks[size_t(k)];
        v.f[0] = bk.r, v.f[1] = bk.g, v.f[2] = bk.b;
    };
    auto keep = [&v] { v.kind = ModeValue::Keep; };
    auto plain = [&] { set(P); };
    switch (mode) {
    case 249: L < 32767 ? bank(0) : bank(1); break;
    case 250: L < 21845 ? bank(0) : L < 43690 ? bank(1) : bank(2); break;
    case 251: L < 16383 ? bank(0) : L < 32767 ? bank(1) : L < 49151 ? bank(2) : bank(3); break;
    case 252: {
        const RGBA64* B = b.banks.data();
        const uint32_t b0[3] = {B[0].r, B[0].g, B[0].b}, b1[3] = {B[1].r, B[1].g, B[1].b},
                       b2[3] = {B[2].r, B[2].g, B[2].b};
        const bool lower = L < 32767;
        const uint32_t t = !lower ? (2 * L - 65534) >> 8
                           : site == ModeSite::Dab ? (2 * L) >> 8
                                                   : (P[0] + P[1] + P[2]) / 384;
        for (int c = 0; c < 3; ++c)
            v.f[c] = lower ? (b1[c] * t + b0[c] * (256 - t)) >> 8 : (b2[c] * t + b1[c] * (256 - t)) >> 8;
        break;
    }
    case 253: L < 32767 ? bank(0) : set(D); break;
    case 254: L > 32767 ? bank(0) : set(D); break;
    case 255: L < 20479 ? bank(0) : L > 49151 ? bank(1) : plain(); break;
    case 256: L < 20479 ? keep() : plain(); break;
    case 257: L > 49151 ? keep() : plain(); break;
    case 258: L < 20479 || L > 49151 ? keep() : plain(); break;
    case 259: L > 12287 ? keep() : bank(0); break;
    case 260: L >= 57343 ? bank(0) : keep(); break;
    case 261:
        for (int c = 0; c < 3; ++c) {
            const uint32_t p = P[c];
            v.f[c] = p < 10922 ? 0 : p < 32767 ? 21845 : p < 54613 ? 43690 : 65535;
        }
        break;
    case 262:
        for (int c = 0; c < 3; ++c) {
            const uint32_t p = P[c];
            v.f[c] = p < 21845 ? 0 : p < 43690 ? 32767 : 65535;
        }
        break;
    case 295: {
        const uint32_t s = uint32_t(b.mixShift) & 31;
        for (int c = 0; c < 3; ++c) v.f[c] = (P[c] >> s) << s;
        v.kind = ModeValue::Unmixed;
        break;
    }
    case 340:
        v.f[0] = v.f[1] = v.f[2] = 32767;
        v.kind = ModeValue::Grey;
        break;
    case 387:
    case 388: {
        const uint32_t lumD = (D[2] + 3 * D[0] + 4 * D[1]) >> 3;
        const uint32_t lumP = (3 * P[0] + P[2] + 4 * P[1]) >> 3;
        set((mode == 387 ? lumD < lumP : lumD > lumP) ? D : P);
        break;
    }
    default:
        if (mode >= 34 && mode <= 48) {
            for (int c = 0; c < 3; ++c) v.f[c] = blendValue(mode, D[c], P[c]);
        } else {
            set(P);  // modes without a rule lay the plain paint
            v.kind = ModeValue::Unmixed;
        }
        break;
    }
    return v;
}

MixResult MixPixel(const BrushSettings& b, const uint32_t P[4], uint32_t w, const uint32_t D[4], bool erase) {
    const uint32_t a = uint32_t(std::clamp(b.mixAmount, 0, 256));
    // mix(f, p) = ((a f >> 4) + ((256 - a) p >> 4)) >> 4
    auto mix = [a](uint32_t f, uint32_t p) { return (((a * f) >> 4) + (((256 - a) * p) >> 4)) >> 4; };
    MixResult r{};
    const uint32_t Da = D[3];
    // A partly transparent pixel takes on the paint colour in proportion to three times
    // its transparency times the coverage.
    if (Da == 0) {
        for (int c = 0; c < 3; ++c) r.dest[c] = P[c];
    } else if (Da < kMax) {
        const uint32_t k = std::min((((kMax - Da) * w) >> 16) * 3, kMax);
        for (int c = 0; c < 3; ++c) r.dest[c] = ((((kMax - k) * D[c]) >> 8) + ((k * P[c]) >> 8)) >> 8;
    } else {
        for (int c = 0; c < 3; ++c) r.dest[c] = D[c];
    }
    uint32_t A = erase ? 0 : P[3];
    uint32_t o[3] = {0, 0, 0};
    const uint32_t L = (P[0] + P[1] + P[2]) / 3;
    const ModeValue v = MixModeValue(b, b.mixMode, P, r.dest, L, ModeSite::Dab);
    switch (v.kind) {
    case ModeValue::Mixed:
        for (int c = 0; c < 3; ++c) o[c] = mix(v.f[c], P[c]);
        break;
    case ModeValue::Unmixed:
        for (int c = 0; c < 3; ++c) o[c] = v.f[c];
        break;
    case ModeValue::Keep:
        for (int c = 0; c < 3; ++c) o[c] = r.dest[c];
        A = Da;
        break;
    case ModeValue::Grey:
        for (int c = 0; c < 3; ++c) o[c] = r.dest[c] = v.f[c];
        A = L;
        break;
    }
    if (w < kMax) {
        for (int c = 0; c < 3; ++c)
            r.out[c] = std::min(((((w * o[c]) >> 8) + (((65536 - w) * r.dest[c]) >> 8)) >> 8) + 1, kMax);
        r.alpha = (((A * w) >> 8) + (((65536 - w) * Da) >> 8)) >> 8;
    } else {
        for (int c = 0; c < 3; ++c) r.out[c] = o[c];
        r.alpha = A;
    }
    return r;
}

}  // namespace calv
