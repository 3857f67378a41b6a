#include "layers/renderer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "layers/blend_math.h"
#include "layers/blend_modes.h"

namespace calv {
namespace {

using namespace blend;

constexpr int32_t kMaxEntries = kLayerSlots + 1;  // the slots and the paint layer
constexpr uint32_t kCheckerLight = 65535;
constexpr uint32_t kCheckerDark = 40959;  // 0x9FFF

struct Entry {
    const Layer* layer;
    bool background;
    int32_t maskEntry;  // index of the "Layer Mask" entry masking this one, or -1
    const RGBA64* row;  // the row being rendered, null when the layer does not reach it
};

struct RenderList {
    std::array<Entry, kMaxEntries> entries;
    int32_t count = 0;
};

// Slots 1..63 with pixels, visible and not the paper layer, in slot order, with the paint
// layer right after the current layer's slot (visible or not).
RenderList buildList(const Engine& engine) {
    RenderList list;
    const LayerState& ls = engine.layers;
    int32_t currentEntry = -1;
    for (int32_t slot = kBackgroundSlot; slot < kLayerSlots; ++slot) {
        const Layer& layer = ls.table[size_t(slot)];
        const bool current = &layer == ls.currentRecord;
        if (layer.hasPixels() && layer.visible && layer.blendMode != kBlendTexturize3) {
            if (current) currentEntry = list.count;
            list.entries[size_t(list.count++)] = {&layer, slot == kBackgroundSlot, -1, nullptr};
        }
        if (current && ls.paint.hasPixels()) list.entries[size_t(list.count++)] = {&ls.paint, false, -1, nullptr};
    }
    // An entry is masked by the entry after it in "Layer Mask" mode; the current layer
    // looks past the paint layer.
    for (int32_t i = 0; i < list.count; ++i) {
        const int32_t next = i + (i == currentEntry && ls.paint.hasPixels() ? 2 : 1);
        if (next < list.count && list.entries[size_t(next)].layer->blendMode == kBlendLayerMask)
            list.entries[size_t(i)].maskEntry = next;
    }
    return list;
}

// The running result of one canvas pixel: exact 16-bit values until an entry blends,
// straight floating-point values from then on.
struct Running {
    bool isFloat = false;
    RGBA64 exact{0, 0, 0, 0};
    float r = 0, g = 0, b = 0, a = 0;

    bool empty() const { return isFloat ? a <= 0.0f : exact.a == 0; }
    void copy(const Source& s, bool texture) {
        const RGBA64 p = texture ? RGBA64{0, 0, 0, 0}
                                 : RGBA64{uint16_t(s.r), uint16_t(s.g), uint16_t(s.b), uint16_t(s.sa)};
        if (!isFloat) {
            exact = p;
            return;
        }
        r = float(p.r) * kInvColourScale;
        g = float(p.g) * kInvColourScale;
        b = float(p.b) * kInvColourScale;
        a = float(p.a) * kInvAlphaScale;
    }
    void blend(const Source& s) {
        float dc[3], Da;
        if (isFloat) {
            dc[0] = r, dc[1] = g, dc[2] = b, Da = a;
        } else {
            dc[0] = float(exact.r) * kInvColourScale, dc[1] = float(exact.g) * kInvColourScale;
            dc[2] = float(exact.b) * kInvColourScale, Da = float(exact.a) * kInvAlphaScale;
        }
        const float sc[3] = {float(s.r) * kInvColourScale, float(s.g) * kInvColourScale,
                             float(s.b) * kInvColourScale};
        const float Sa = float(s.sa) * kInvAlphaScale;
        const float luminance = float(s.r + s.g + s.b) * (kInvColourScale / 3.0f);
        const Blended out = s.h == kBlendNormal || s.h > kLastSeparableMode
                                ? blendFloat<kBlendNormal>(Sa, sc, Da, dc, luminance)
                                : blendFloatAny(s.h, Sa, sc, Da, dc, luminance);
        isFloat = true;
        r = out.r, g = out.g, b = out.b, a = out.a;
    }
    RGBA64 result() const {
        if (!isFloat) return exact;
        return {uint16_t(r * kColourScale), uint16_t(g * kColourScale), uint16_t(b * kColourScale),
                uint16_t(a * kAlphaScale)};
    }
};

RGBA64 flatten(const RenderList& list, int32_t cx, uint16_t P) {
    Running acc;
    for (int32_t i = 0; i < list.count; ++i) {
        const Entry& e = list.entries[size_t(i)];
        if (!e.row || cx >= e.layer->width()) continue;
        const RGBA64 px = e.row[cx];
        const int32_t mode = e.layer->blendMode;
        // A stroke in the paper mode leaves the view as it is, as it leaves the layer.
        if (mode == kBlendTexturize3) continue;
        const int32_t rawAlpha = e.background ? 65535 : px.a;
        if (mode <= kLastSeparableMode && rawAlpha == 0) continue;
        const uint16_t* mask = nullptr;
        if (e.maskEntry >= 0 && !e.background) {
            const Entry& m = list.entries[size_t(e.maskEntry)];
            if (m.row && cx < m.layer->width()) mask = &m.row[cx].r;
        }
        Source s{px.r, px.g, px.b, applyMaskAndOpacity(rawAlpha, mask, e.layer->opacity), mode};
        if (mode > kLastSeparableMode) prepareAlphaMode(s, mode, false, P);
        if (acc.empty() || s.destEmpty)
            acc.copy(s, isTextureMode(s.h));
        else if (s.sa == 0)
            continue;
        else if (s.sa >= 65280 && s.h == kBlendNormal)
            acc.copy(s, false);
        else
            acc.blend(s);
    }
    return acc.result();
}

struct Finisher {
    const Engine& engine;
    const Layer* trace;  // slot 0 when tracing, else null
    bool tint;           // the selection overlay is shown
    bool tintOpenPixels; // the scaled views tint fully selected pixels too

    // The view pixel of canvas pixel (cx, cy) as B, G, R bytes.
    void operator()(RGBA64 v, int32_t cx, int32_t cy, uint8_t* out) const {
        uint32_t c[3] = {v.r, v.g, v.b};
        if (trace && trace->pixels.contains(cx, cy)) {
            const RGBA64 t = trace->pixels.at(cx, cy);
            c[0] = (c[0] + t.r) / 2, c[1] = (c[1] + t.g) / 2, c[2] = (c[2] + t.b) / 2;
        }
        const bool oddCell = (((cx >> 5) + (cy >> 5)) & 1) != 0;
        if (v.a < 65535) {
            const uint32_t A = v.a, g = (oddCell ? kCheckerDark : kCheckerLight) * (65535 - A) / 256;
            for (uint32_t& ch : c) ch = (A * ch / 256 + g) / 256;
        }
        uint32_t M = kMaskOpen;
        const MaskState& mask = engine.mask;
        if (tint && mask.plane.contains(cx, cy)) M = mask.plane.at(cx, cy);
        if (tint && (tintOpenPixels || M < kMaskOpen)) {
            if (mask.fullStrength == 0) M = M / 2 + 32767;
            const int32_t* k = oddCell ? mask.colourA : mask.colourB;
            for (int i = 0; i < 3; ++i)
                c[i] = (M * c[i] / 256 + (65535 - M) * uint32_t(k[i]) / 256) / 65536;
        } else {
            for (uint32_t& ch : c) ch /= 256;
        }
        out[0] = uint8_t(c[2]);
        out[1] = uint8_t(c[1]);
        out[2] = uint8_t(c[0]);
    }
};

void pointRows(RenderList& list, int32_t cy) {
    for (int32_t i = 0; i < list.count; ++i) {
        Entry& e = list.entries[size_t(i)];
        e.row = cy < e.layer->height() ? e.layer->pixels.row(cy) : nullptr;
    }
}

}  // namespace

void Render(Engine& engine, uint8_t* buffer, int32_t bufferStride, int32_t x, int32_t y, int32_t width,
            int32_t height) {
    if (!buffer || !engine.layers.currentWithPixels()) return;
    const CanvasState& canvas = engine.canvas;
    const ViewState& view = engine.view;
    x = std::max(x, 0);
    y = std::max(y, 0);
    width = std::min(width, canvas.width - x);
    height = std::min(height, canvas.height - y);
    if (width <= 0 || height <= 0 || view.width <= 0 || view.height <= 0) return;

    RenderList list = buildList(engine);
    const uint16_t P = engine.layers.alphaLayerOpacity;
    const Layer& traceSlot = engine.layers.table[kTraceSlot];
    const bool tint = engine.mask.displayed && engine.mask.enabled;
    const float scale = float(view.scale);
    const Layer* trace = view.tracingMode && traceSlot.hasPixels() ? &traceSlot : nullptr;
    const Finisher finish{engine, trace, tint, scale != view.zoom};

    if (scale == view.zoom) {  // 1:1
        const int32_t cols = std::min(width, view.width), rows = std::min(height, view.height);
        for (int32_t j = 0; j < rows; ++j) {
            pointRows(list, y + j);
            uint8_t* out = buffer + std::ptrdiff_t(j) * bufferStride;
            for (int32_t i = 0; i < cols; ++i, out += 3) finish(flatten(list, x + i, P), x + i, y + j, out);
        }
    } else if (scale < view.zoom) {  // reduced: nearest samples at fractional steps
        const float zoom = view.zoom, step = 1.0f / zoom;
        const int32_t cols = std::min(int32_t(float(width) * step + float(x) - 1.0f) - x + 1, view.width);
        const int32_t rows = std::min(int32_t(float(height) * step + float(y) - 1.0f) - y + 1, view.height);
        int32_t cy = y;
        float fy = 0.0f;
        for (int32_t j = 0; j < rows && cy < y + height; ++j) {
            pointRows(list, cy);
            uint8_t* out = buffer + std::ptrdiff_t(j) * bufferStride;
            int32_t cx = x;
            float fx = 0.0f;
            for (int32_t i = 0; i < cols && cx < x + width; ++i, out += 3) {
                finish(flatten(list, cx, P), cx, cy, out);
                const int32_t advance = int32_t(fx + zoom);
                fx = fx + zoom - float(advance);
                cx += advance;
            }
            const int32_t advance = int32_t(fy + zoom);
            fy = fy + zoom - float(advance);
            cy += advance;
        }
    } else if (view.scale >= 1) {  // magnified: each canvas pixel an s x s block
        const int32_t s = view.scale;
        const int32_t cols = int32_t(std::min<int64_t>(int64_t(width) * s, view.width));
        const int32_t rows = int32_t(std::min<int64_t>(int64_t(height) * s, view.height));
        for (int32_t j = 0; j < rows; ++j) {
            const int32_t cy = y + j / s;
            pointRows(list, cy);
            uint8_t* out = buffer + std::ptrdiff_t(j) * bufferStride;
            for (int32_t i = 0; i < cols; i += s) {
                const int32_t cx = x + i / s;
                uint8_t bgr[3];
                finish(flatten(list, cx, P), cx, cy, bgr);
                for (int32_t k = i; k < std::min(i + s, cols); ++k, out += 3)
                    out[0] = bgr[0], out[1] = bgr[1], out[2] = bgr[2];
            }
        }
    }
}

}  // namespace calv
