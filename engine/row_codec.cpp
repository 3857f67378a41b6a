#include "engine/row_codec.h"

#include <algorithm>

namespace calv {
namespace {

struct ColourRun {
    static constexpr int32_t kBytes = kColourRunBytes;
    using Pixel = RGBA64;
    using Value = RGBA32;
    static Value valueOf(const RGBA64& p) { return narrow(p); }
    static void put(uint8_t* out, Value v) {
        out[1] = v.r;
        out[2] = v.g;
        out[3] = v.b;
        out[4] = v.a;
    }
    static Pixel pixelOf(const uint8_t* run) { return widen(RGBA32{run[1], run[2], run[3], run[4]}); }
};

struct MaskRun {
    static constexpr int32_t kBytes = kMaskRunBytes;
    using Pixel = G16;
    using Value = uint8_t;
    static Value valueOf(G16 m) { return narrow16(m); }
    static void put(uint8_t* out, Value v) { out[1] = v; }
    static Pixel pixelOf(const uint8_t* run) { return widen8(run[1]); }
};

// Runs join pixels whose 8-bit values are equal, up to 255 pixels a run.
template <class Run>
std::size_t encodeRuns(const typename Run::Pixel* src, int32_t count, uint8_t* dst) {
    uint8_t* out = dst;
    typename Run::Value value = Run::valueOf(src[0]);
    int32_t length = 1;
    for (int32_t i = 1; i < count; ++i) {
        const typename Run::Value next = Run::valueOf(src[i]);
        if (next == value && length < kLongestRun) {
            ++length;
            continue;
        }
        out[0] = uint8_t(length);
        Run::put(out, value);
        out += Run::kBytes;
        value = next;
        length = 1;
    }
    out[0] = uint8_t(length);
    Run::put(out, value);
    out += Run::kBytes;
    return std::size_t(out - dst);
}

template <class Run>
void decodeRuns(const uint8_t* src, std::size_t srcBytes, typename Run::Pixel* dst, int32_t count) {
    const uint8_t* end = src + srcBytes - srcBytes % Run::kBytes;
    int32_t left = count;
    for (const uint8_t* run = src; left > 0 && run < end; run += Run::kBytes) {
        const int32_t length = std::min<int32_t>(run[0], left);
        dst = std::fill_n(dst, length, Run::pixelOf(run));
        left -= length;
    }
}

// The pixels of a canvas row that a plane holds.
int32_t rowLength(const CanvasState& canvas, int32_t planeWidth, int32_t planeHeight, int32_t row) {
    if (row < 0 || row >= canvas.height || row >= planeHeight) return 0;
    return std::min(canvas.width, planeWidth);
}

}  // namespace

std::size_t EncodeColourRuns(const RGBA64* src, int32_t count, uint8_t* dst) {
    return src && dst ? encodeRuns<ColourRun>(src, count, dst) : 0;
}

std::size_t EncodeMaskRuns(const G16* src, int32_t count, uint8_t* dst) {
    return src && dst ? encodeRuns<MaskRun>(src, count, dst) : 0;
}

void DecodeColourRuns(const uint8_t* src, std::size_t srcBytes, RGBA64* dst, int32_t count) {
    if (src && dst) decodeRuns<ColourRun>(src, srcBytes, dst, count);
}

void DecodeMaskRuns(const uint8_t* src, std::size_t srcBytes, G16* dst, int32_t count) {
    if (src && dst) decodeRuns<MaskRun>(src, srcBytes, dst, count);
}

int32_t GetLayerLineRLE(Engine& engine, const Layer& layer, int32_t row, uint8_t* dst) {
    const int32_t n = rowLength(engine.canvas, layer.width(), layer.height(), row);
    if (!layer.hasPixels() || !dst || n <= 0) return 0;
    return int32_t(EncodeColourRuns(layer.pixels.row(row), n, dst));
}

void PutLayerLineRLE(Engine& engine, Layer& layer, int32_t row, const uint8_t* src) {
    const int32_t n = rowLength(engine.canvas, layer.width(), layer.height(), row);
    if (!layer.hasPixels() || n <= 0) return;
    DecodeColourRuns(src, std::size_t(n) * kColourRunBytes, layer.pixels.row(row), n);
}

int32_t GetMaskLineRLE(Engine& engine, int32_t row, uint8_t* dst) {
    Plane<G16>& mask = engine.mask.plane;
    const int32_t n = rowLength(engine.canvas, mask.width(), mask.height(), row);
    if (mask.empty() || !dst || n <= 0) return 0;
    return int32_t(EncodeMaskRuns(mask.row(row), n, dst));
}

void PutMaskLineRLE(Engine& engine, int32_t row, const uint8_t* src) {
    Plane<G16>& mask = engine.mask.plane;
    const int32_t n = rowLength(engine.canvas, mask.width(), mask.height(), row);
    if (mask.empty() || n <= 0) return;
    DecodeMaskRuns(src, std::size_t(n) * kMaskRunBytes, mask.row(row), n);
}

}  // namespace calv
