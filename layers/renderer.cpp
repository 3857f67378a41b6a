#include "layers/renderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

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
    const RGBA64* nextRow;  // the row below it, if the layer has one
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
            list.entries[size_t(list.count++)] = {&layer, slot == kBackgroundSlot, -1, nullptr, nullptr};
        }
        if (current && ls.paint.hasPixels())
            list.entries[size_t(list.count++)] = {&ls.paint, false, -1, nullptr, nullptr};
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

// Four floats r g b a, worked on together (one register where the processor has them).
using Float4 = float __attribute__((vector_size(16)));

using Int4 = int32_t __attribute__((vector_size(16)));
using Channels4 = uint16_t __attribute__((vector_size(8)));

inline Float4 splat(float x) { return Float4{x, x, x, x}; }
inline Float4 floatsOf(Int4 v) { return __builtin_convertvector(v, Float4); }
inline Float4 floatsOf(Channels4 c) { return floatsOf(__builtin_convertvector(c, Int4)); }
inline Float4 floatsOf(const RGBA64& p) {
    Channels4 c;
    std::memcpy(&c, &p, sizeof c);
    return floatsOf(c);
}
// The pixel's colour with 1 in place of its alpha.
inline Float4 colourAndOne(const RGBA64& p) {
    Channels4 c;
    std::memcpy(&c, &p, sizeof c);
    c[3] = 1;
    return floatsOf(c);
}
// The lane-wise forms of std::min(x, hi) and std::max(x, lo), comparisons and all.
inline Float4 lanesMin(Float4 x, Float4 hi) { return hi < x ? hi : x; }
inline Float4 lanesAtLeast(Float4 x, Float4 lo) { return x < lo ? lo : x; }

// The per-pixel steps below are inlined into the loops over a row.
#define CALV_HOT [[gnu::always_inline]] inline

// The running result of one canvas pixel: exact 16-bit values until an entry blends,
// then floating point from there on. The floating-point colour is kept premultiplied and
// clamped to the alpha, which is the straight colour clamped to 0..1 of each step.
struct Running {
    Float4 v = {0, 0, 0, 0};  // premultiplied r g b, and a, once floating
    RGBA64 exact{0, 0, 0, 0};
    bool isFloat = false;

    CALV_HOT bool empty() const { return isFloat ? v[3] <= 0.0f : exact.a == 0; }
    CALV_HOT void copy(const Source& s, bool texture) {
        copy(texture ? RGBA64{0, 0, 0, 0} : RGBA64{uint16_t(s.r), uint16_t(s.g), uint16_t(s.b), uint16_t(s.sa)});
    }
    CALV_HOT void copy(const RGBA64& p) {
        if (!isFloat) {
            exact = p;
            return;
        }
        const float a = float(p.a) * kInvAlphaScale, k = a * kInvColourScale;
        v = lanesMin(floatsOf(p) * Float4{k, k, k, kInvAlphaScale}, splat(a));
    }
    CALV_HOT void toFloat() {
        if (isFloat) return;
        isFloat = true;
        const float k = float(exact.a) * kInvAlphaScale * kInvColourScale;
        v = floatsOf(exact) * Float4{k, k, k, kInvAlphaScale};
    }
    // "Normal" on premultiplied values: Rc = Sc + Dc (1 - Sa), Ao = Sa + Da (1 - Sa).
    CALV_HOT void blendNormal(const Source& s) { blendNormal(floatsOf(Int4{s.r, s.g, s.b, 1}), s.sa); }
    // The same with the source colour in lanes 0..2 of `colour` and 1 in lane 3.
    CALV_HOT void blendNormal(Float4 colour, int32_t sa) {
        toFloat();
        const float Sa = float(sa) * kInvAlphaScale, k = 1.0f - Sa, sk = Sa * kInvColourScale;
        const Float4 t = colour * Float4{sk, sk, sk, Sa} + v * k;
        const float a = std::min(t[3], 1.0f);
        v = lanesMin(lanesAtLeast(t, splat(0.0f)), splat(a));
    }
    void blend(const Source& s) {
        if (s.h == kBlendNormal || s.h > kLastSeparableMode) return blendNormal(s);
        toFloat();
        const float a = v[3], invA = 1.0f / a;
        const float dc[3] = {v[0] * invA, v[1] * invA, v[2] * invA};
        const float sc[3] = {float(s.r) * kInvColourScale, float(s.g) * kInvColourScale,
                             float(s.b) * kInvColourScale};
        const float luminance = float(s.r + s.g + s.b) * (kInvColourScale / 3.0f);
        const Blended out = blendFloatAny(s.h, float(s.sa) * kInvAlphaScale, sc, a, dc, luminance);
        v = Float4{out.r * out.a, out.g * out.a, out.b * out.a, out.a};
    }
    CALV_HOT RGBA64 result() const {
        if (!isFloat) return exact;
        const float a = v[3], k = a > 0.0f ? kColourScale / a : 0.0f;
        const Float4 most = {kColourScale, kColourScale, kColourScale, kAlphaScale};
        const Float4 t = lanesMin(v * Float4{k, k, k, kAlphaScale}, most);
        return {uint16_t(t[0]), uint16_t(t[1]), uint16_t(t[2]), uint16_t(t[3])};
    }
};

// Canvas pixels are flattened a row chunk at a time, one list entry after another, so
// that each entry's mode is fixed for the whole chunk.
constexpr int32_t kChunk = 1024;

struct Chunk {
    std::array<int32_t, kChunk> cx;  // the canvas column of each pixel
    std::array<Running, kChunk> acc;
    int32_t count = 0;
    bool contiguous = false;  // cx[i] = cx[0] + i, the 1:1 and magnified views
};

// The first pixel from i on with some alpha, or n.
inline int32_t nextPainted(const RGBA64* row, int32_t i, int32_t n) {
    if (i < n && row[i].a != 0) return i;
    for (; i + 4 <= n; i += 4)
        if ((row[i].a | row[i + 1].a | row[i + 2].a | row[i + 3].a) != 0) break;
    while (i < n && row[i].a == 0) ++i;
    return i;
}

bool normalRunsAllowed = true;

// "Normal" without a layer mask in the 1:1 and magnified views, the usual entry: the steps
// of the general entry below with the entry's own choices made once, outside the loop.
// Built twice, the wider instruction set chosen at load where the processor has it (the
// same operations in the same order, so the same results).
__attribute__((target_clones("avx2", "default"))) void layNormalRun(const Entry& e, Chunk& chunk) {
    const int32_t x0 = chunk.cx[0];
    const int32_t n = std::min(chunk.count, e.layer->width() - x0);
    const RGBA64* row = e.row + x0;
    const int32_t opacity = e.layer->opacity;
    auto lay = [&](int32_t i, int32_t rawAlpha) {
        const RGBA64 px = row[i];
        const int32_t sa = applyMaskAndOpacity(rawAlpha, nullptr, opacity);
        Running& acc = chunk.acc[size_t(i)];
        if (acc.empty() || sa >= 65280)
            acc.copy(RGBA64{px.r, px.g, px.b, uint16_t(sa)});
        else if (sa != 0)
            acc.blendNormal(colourAndOne(px), sa);
    };
    if (e.background) {
        for (int32_t i = 0; i < n; ++i) lay(i, 65535);
        return;
    }
    // Runs of painted pixels, found by passing over the transparent ones between them.
    for (int32_t i = nextPainted(row, 0, n); i < n; i = nextPainted(row, i, n))
        for (; i < n && row[i].a != 0; ++i) lay(i, row[i].a);
}

template <int Mode>
void layEntry(const Entry& e, const Entry* maskEntry, Chunk& chunk, uint16_t P) {
    // A stroke in the paper mode leaves the view as it is, as it leaves the layer.
    if constexpr (Mode == kBlendTexturize3) return;
    const int32_t width = e.layer->width();
    const RGBA64* maskRow = maskEntry && !e.background ? maskEntry->row : nullptr;
    if constexpr (Mode == kBlendNormal) {
        if (chunk.contiguous && !maskRow && normalRunsAllowed) return layNormalRun(e, chunk);
    }
    const int32_t maskWidth = maskRow ? maskEntry->layer->width() : 0;
    const int32_t opacity = e.layer->opacity;
    const bool background = e.background;
    auto lay = [&](int32_t i, int32_t cx, RGBA64 px) {
        const int32_t rawAlpha = background ? 65535 : px.a;
        if constexpr (Mode <= kLastSeparableMode) {
            if (rawAlpha == 0) return;
        }
        const uint16_t* mask = cx < maskWidth ? &maskRow[cx].r : nullptr;
        Source s{px.r, px.g, px.b, applyMaskAndOpacity(rawAlpha, mask, opacity), Mode};
        if constexpr (Mode > kLastSeparableMode) prepareAlphaMode(s, Mode, false, P);
        Running& acc = chunk.acc[size_t(i)];
        if (acc.empty() || s.destEmpty)
            acc.copy(s, isTextureMode(s.h));
        else if (s.sa == 0)
            return;
        else if (s.sa >= 65280 && s.h == kBlendNormal)
            acc.copy(s, false);
        else if constexpr (Mode == kBlendNormal)
            acc.blendNormal(s);
        else
            acc.blend(s);
    };
    if (chunk.contiguous) {
        const int32_t x0 = chunk.cx[0];
        const int32_t n = std::min(chunk.count, width - x0);
        const RGBA64* row = e.row + x0;
        // Transparent pixels of the separable and texture modes are passed over in runs.
        const bool skipClear = Mode <= kLastSeparableMode && !background;
        for (int32_t i = skipClear ? nextPainted(row, 0, n) : 0; i < n;
             i = skipClear ? nextPainted(row, i + 1, n) : i + 1)
            lay(i, x0 + i, row[i]);
        return;
    }
    for (int32_t i = 0; i < chunk.count; ++i) {
        const int32_t cx = chunk.cx[size_t(i)];
        if (cx < width) lay(i, cx, e.row[cx]);
    }
}

using LayEntryFn = void (*)(const Entry&, const Entry*, Chunk&, uint16_t);

template <std::size_t... Modes>
constexpr std::array<LayEntryFn, sizeof...(Modes)> layTable(std::index_sequence<Modes...>) {
    return {&layEntry<int(Modes)>...};
}

constexpr auto kLayByMode = layTable(std::make_index_sequence<kBlendModeCount>());

void flattenChunk(const RenderList& list, Chunk& chunk, uint16_t P) {
    for (int32_t i = 0; i < chunk.count; ++i) chunk.acc[size_t(i)] = Running{};
    for (int32_t i = 0; i < list.count; ++i) {
        const Entry& e = list.entries[size_t(i)];
        if (!e.row) continue;
        // Views that walk canvas rows in order ask for this entry's part of the next row
        // while this one is laid, so that it is in the cache when its turn comes.
        if (chunk.contiguous && e.nextRow) {
            const int32_t n = std::min(chunk.count, e.layer->width() - chunk.cx[0]);
            const char* next = reinterpret_cast<const char*>(e.nextRow + chunk.cx[0]);
            for (int32_t k = 0; k < n * int32_t(sizeof(RGBA64)); k += 64) __builtin_prefetch(next + k);
        }
        const int32_t mode = e.layer->blendMode;
        const Entry* mask = e.maskEntry >= 0 && list.entries[size_t(e.maskEntry)].row
                                ? &list.entries[size_t(e.maskEntry)]
                                : nullptr;
        kLayByMode[std::size_t(mode >= 0 && mode < kBlendModeCount ? mode : kBlendNormal)](e, mask, chunk, P);
    }
}

struct Finisher {
    const Engine& engine;
    const Layer* trace;  // slot 0 when tracing, else null
    bool tint;           // the selection overlay is shown
    bool tintOpenPixels; // the scaled views tint fully selected pixels too

    // The view pixel of canvas pixel (cx, cy) as B, G, R bytes.
    CALV_HOT void operator()(RGBA64 v, int32_t cx, int32_t cy, uint8_t* out) const {
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
        e.nextRow = cy + 1 < e.layer->height() ? e.layer->pixels.row(cy + 1) : nullptr;
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

    Chunk chunk;
    // Flattens the chunk's canvas pixels of row cy and writes each `repeat` times from `out`.
    auto emit = [&](int32_t cy, uint8_t* out, int32_t repeat, int32_t limit) {
        flattenChunk(list, chunk, P);
        if (repeat == 1) {
            const int32_t n = std::min(chunk.count, limit);
            for (int32_t i = 0; i < n; ++i, out += 3)
                finish(chunk.acc[size_t(i)].result(), chunk.cx[size_t(i)], cy, out);
        } else {
            for (int32_t i = 0; i < chunk.count; ++i) {
                uint8_t bgr[3];
                finish(chunk.acc[size_t(i)].result(), chunk.cx[size_t(i)], cy, bgr);
                for (int32_t k = 0; k < repeat && limit > 0; ++k, --limit, out += 3)
                    out[0] = bgr[0], out[1] = bgr[1], out[2] = bgr[2];
            }
        }
        chunk.count = 0;
        return out;
    };

    if (scale == view.zoom) {  // 1:1
        chunk.contiguous = true;
        const int32_t cols = std::min(width, view.width), rows = std::min(height, view.height);
        for (int32_t j = 0; j < rows; ++j) {
            pointRows(list, y + j);
            uint8_t* out = buffer + std::ptrdiff_t(j) * bufferStride;
            for (int32_t i = 0; i < cols; i += kChunk) {
                chunk.count = std::min(kChunk, cols - i);
                for (int32_t k = 0; k < chunk.count; ++k) chunk.cx[size_t(k)] = x + i + k;
                out = emit(y + j, out, 1, kChunk);
            }
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
            for (int32_t i = 0; i < cols && cx < x + width; ++i) {
                chunk.cx[size_t(chunk.count++)] = cx;
                const int32_t advance = int32_t(fx + zoom);
                fx = fx + zoom - float(advance);
                cx += advance;
                if (chunk.count == kChunk || i == cols - 1 || cx >= x + width) out = emit(cy, out, 1, kChunk);
            }
            const int32_t advance = int32_t(fy + zoom);
            fy = fy + zoom - float(advance);
            cy += advance;
        }
    } else if (view.scale >= 1) {  // magnified: each canvas pixel an s x s block
        chunk.contiguous = true;
        const int32_t s = view.scale;
        const int32_t cols = int32_t(std::min<int64_t>(int64_t(width) * s, view.width));
        const int32_t rows = int32_t(std::min<int64_t>(int64_t(height) * s, view.height));
        const int32_t blocks = (cols + s - 1) / s;
        for (int32_t j = 0; j < rows; ++j) {
            const int32_t cy = y + j / s;
            pointRows(list, cy);
            uint8_t* out = buffer + std::ptrdiff_t(j) * bufferStride;
            int32_t left = cols;
            for (int32_t i = 0; i < blocks; ++i) {
                chunk.cx[size_t(chunk.count++)] = x + i;
                if (chunk.count == kChunk || i == blocks - 1) {
                    const int32_t n = chunk.count;
                    const int32_t limit = std::min(left, n * s);
                    out = emit(cy, out, s, limit);
                    left -= limit;
                }
            }
        }
    }
}

void useNormalRunsForTesting(bool on) { normalRunsAllowed = on; }

}  // namespace calv
