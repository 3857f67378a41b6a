#include "brush/blend_buffer.h"

#include <algorithm>
#include <cstring>

#include "brush/mix_modes.h"
#include "mask/grey.h"
#include "mask/weights.h"

namespace calv {
namespace {

constexpr uint32_t kMax = 65535;
constexpr uint32_t kWhite = 65280;

// The brush window: a size x size square centred on (x, y) (integer halving), clipped to
// the canvas and the source; buffer row and column = canvas row and column - (y0, x0).
struct BrushWindow {
    int32_t x0 = 0, y0 = 0, size = 0;
    ClippedRect onCanvas;
    bool clipped = false;  // part of the square lies off the canvas
};

// The window of the current brush, or nothing (size 0) when the buffer cannot hold it.
BrushWindow brushWindow(const Engine& engine, int32_t x, int32_t y, int32_t planeWidth, int32_t planeHeight) {
    BrushWindow w;
    const int32_t size = engine.brush.settings.size;
    if (size < 1 || size > engine.brush.blendBuffer.width()) return w;
    w.size = size;
    w.x0 = x - size / 2, w.y0 = y - size / 2;
    const int32_t width = std::min(engine.canvas.width, planeWidth), height = std::min(engine.canvas.height, planeHeight);
    w.onCanvas = clipRect(w.x0, w.y0, size, size, width, height);
    w.clipped = w.onCanvas.width != size || w.onCanvas.height != size;
    return w;
}

// The mask values from (x, y) on that scale picked-up alpha, or null without a gating mask.
const G16* maskRow(const Engine& engine, int32_t x, int32_t y) {
    return engine.mask.gating() ? engine.mask.plane.row(y) + x : nullptr;
}

// Calls fn(sourcePixel, sourceAlpha, bufferPixel) for every canvas pixel of the window,
// the source alpha weighted by a gating mask.
template <class Fn>
void forWindowPixels(Engine& engine, const BrushWindow& w, PlaneView source, Fn&& fn) {
    const ClippedRect& r = w.onCanvas;
    for (int32_t j = 0; j < r.height; ++j) {
        const RGBA64* s = source.pixels + std::size_t(r.y + j) * std::size_t(source.width) + r.x;
        const G16* m = maskRow(engine, r.x, r.y + j);
        RGBA64* b = engine.brush.blendBuffer.row(r.srcY + j) + r.srcX;
        for (int32_t i = 0; i < r.width; ++i) fn(s[i], m ? maskedSourceAlpha(s[i].a, m[i]) : s[i].a, b[i]);
    }
}

bool blendActive(const Engine& engine) {
    return engine.brush.settings.blendStrength != 0 && !engine.brush.blendBuffer.empty();
}

}  // namespace

void CopyBlendBuffer(Engine& engine, int32_t x, int32_t y, PlaneView source, int32_t amount, bool opaqueFill) {
    if (!blendActive(engine) || !source.pixels) return;
    const BrushWindow w = brushWindow(engine, x, y, source.width, source.height);
    if (w.size == 0) return;
    BrushState& brush = engine.brush;
    const RGBA64 col = brush.settings.color;
    const uint32_t c = uint32_t(std::clamp(amount, 0, 255)), ci = 256 - c;
    if (w.clipped) {
        for (int32_t t = 0; t < w.size; ++t) {
            RGBA64* b = brush.blendBuffer.row(t);
            for (int32_t k = 0; k < w.size; ++k) {
                if (opaqueFill)
                    b[k].a = uint16_t(kMax);
                else
                    b[k] = {col.r, col.g, col.b, uint16_t(c << 8)};
            }
        }
    }
    const uint16_t emptyAlpha = uint16_t(((opaqueFill ? ci : c) & 255) << 8);
    auto tint = [&](uint32_t s, uint32_t v) { return uint16_t(std::min(((s * ci + c * v) >> 8) + 1, kWhite)); };
    forWindowPixels(engine, w, source, [&](const RGBA64& s, uint32_t sa, RGBA64& b) {
        if (sa == 0)
            b = {col.r, col.g, col.b, emptyAlpha};
        else
            b = {tint(s.r, col.r), tint(s.g, col.g), tint(s.b, col.b), uint16_t((sa * ci + c * col.a) >> 8)};
    });
}

void CopyBlendBufferMask(Engine& engine, int32_t x, int32_t y, int32_t amount) {
    const Plane<G16>& mask = engine.mask.plane;
    if (!blendActive(engine) || mask.empty()) return;
    const BrushWindow w = brushWindow(engine, x, y, mask.width(), mask.height());
    if (w.size == 0) return;
    BrushState& brush = engine.brush;
    const RGBA64 col = brush.settings.color;
    const uint32_t M = maskFromColour(col.r, col.g, col.b);
    const uint32_t a = uint32_t(std::clamp(amount, 0, 256));
    if (w.clipped)
        for (int32_t t = 0; t < w.size; ++t) std::fill_n(blendChannelRow(brush, t), w.size, uint16_t(M));
    const ClippedRect& r = w.onCanvas;
    for (int32_t j = 0; j < r.height; ++j) {
        const G16* m = mask.row(r.y + j) + r.x;
        uint16_t* v = blendChannelRow(brush, r.srcY + j) + r.srcX;
        for (int32_t i = 0; i < r.width; ++i) v[i] = uint16_t(std::min(((m[i] * (256 - a) + M * a) >> 8) + 1, kWhite));
    }
}

void MixBlendBuffer(Engine& engine, int32_t x, int32_t y, PlaneView source, int32_t amount) {
    // Mixing nothing in leaves the buffer as it is.
    if (!blendActive(engine) || !source.pixels || amount <= 0) return;
    const BrushWindow w = brushWindow(engine, x, y, source.width, source.height);
    if (w.size == 0) return;
    BrushState& brush = engine.brush;
    const BrushSettings& s = brush.settings;
    const uint32_t N = uint32_t(std::min<int64_t>(int64_t(amount) * 256, kMax)), Ni = 65536 - N;
    forWindowPixels(engine, w, source, [&](const RGBA64& src, uint32_t sa, RGBA64& B) {
        if (sa == 0) {  // the buffer fades where the source is empty
            B.a = uint16_t((Ni * B.a) >> 16);
            return;
        }
        const uint32_t S[3] = {src.r, src.g, src.b};
        if (B.a == 0) {
            B = {uint16_t(std::min(S[0], kWhite)), uint16_t(std::min(S[1], kWhite)), uint16_t(std::min(S[2], kWhite)),
                 uint16_t(sa)};
            return;
        }
        // The mode's value with the source as the pixel and the buffer as the paint.
        const uint32_t P[3] = {B.r, B.g, B.b};
        uint32_t f[3] = {P[0], P[1], P[2]}, ab = B.a;
        if (s.mixMode == kMixMultiply) {
            for (int c = 0; c < 3; ++c) f[c] = (S[c] * P[c]) >> 16;
        } else if (s.mixMode > kMixMultiply) {
            const uint32_t L = (P[0] + P[1] + P[2]) / 3;
            const ModeValue v = MixModeValue(s, s.mixMode, P, S, L, ModeSite::BlendBuffer);
            if (v.kind == ModeValue::Keep) {
                for (int c = 0; c < 3; ++c) f[c] = S[c];
                ab = sa;
            } else {
                for (int c = 0; c < 3; ++c) f[c] = v.f[c];
                if (v.kind == ModeValue::Grey) ab = L;
            }
        }
        auto ch = [&](int c) { return uint16_t(std::min(((((f[c] * Ni) >> 8) + ((N * S[c]) >> 8)) >> 8) + 1, kWhite)); };
        B = {ch(0), ch(1), ch(2), uint16_t((((ab * Ni) >> 8) + ((N * sa) >> 8)) >> 8)};
    });
}

void ColorBlendBuffer(Engine& engine, int32_t x, int32_t y, int32_t r, int32_t g, int32_t b, int32_t amount) {
    if (!blendActive(engine)) return;
    const BrushWindow w = brushWindow(engine, x, y, engine.canvas.width, engine.canvas.height);
    if (w.size == 0) return;
    const uint32_t F = uint32_t(std::clamp<int64_t>(int64_t(amount) * 256, 0, kMax)), Fi = 65536 - F;
    const uint32_t C[3] = {uint32_t(r & 255) << 8, uint32_t(g & 255) << 8, uint32_t(b & 255) << 8};
    auto tint = [&](int c, uint32_t v) {
        return uint16_t(std::min(((((C[c] * F) >> 8) + ((v * Fi) >> 8)) >> 8) + 1, kWhite));
    };
    const ClippedRect& rc = w.onCanvas;
    for (int32_t j = 0; j < rc.height; ++j) {
        RGBA64* p = engine.brush.blendBuffer.row(rc.srcY + j) + rc.srcX;
        for (int32_t i = 0; i < rc.width; ++i) {
            if (p[i].a != 0)
                p[i].r = tint(0, p[i].r), p[i].g = tint(1, p[i].g), p[i].b = tint(2, p[i].b);
            else
                p[i].r = uint16_t(C[0]), p[i].g = uint16_t(C[1]), p[i].b = uint16_t(C[2]);
        }
    }
}

void ClearBlendBuffer(BrushState& brush) {
    if (!brush.blendBuffer.empty()) brush.blendBuffer.fill(RGBA64{0, 0, 0, 0});
}

void FillBlendBuffer(BrushState& brush, int32_t value) {
    if (!brush.blendBuffer.empty()) std::memset(brush.blendBuffer.data(), value & 255, brush.blendBuffer.bytes());
}

void FilterBlendBuffer(Engine& engine, int32_t kind, int32_t level) {
    BrushState& brush = engine.brush;
    const int32_t size = std::min(brush.settings.size, brush.blendBuffer.width());
    const uint32_t e = uint32_t(std::clamp(int64_t(level * 655.35), int64_t(0), int64_t(kMax)));
    auto each = [&](auto&& fn) {
        for (int32_t t = 0; t < size; ++t) {
            RGBA64* p = brush.blendBuffer.row(t);
            for (int32_t c = 0; c < size; ++c) fn(p[c]);
        }
    };
    auto channels = [&](auto&& fn) { each([&](RGBA64& p) { p.r = fn(p.r), p.g = fn(p.g), p.b = fn(p.b); }); };
    switch (kind) {
    case 289:
        each([](RGBA64& p) { p.r = p.g = p.b = uint16_t((uint32_t(p.r) + p.g + p.b) / 3); });
        break;
    case 290: channels([](uint16_t v) { return uint16_t(kMax - v); }); break;
    case 291: channels([e](uint16_t v) { return v < e ? uint16_t(0) : v; }); break;
    case 292: channels([e](uint16_t v) { return v > e ? uint16_t(kWhite) : v; }); break;
    default: break;
    }
}

}  // namespace calv
