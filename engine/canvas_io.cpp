#include "engine/canvas_io.h"

#include <algorithm>
#include <cstring>

#include "engine/convert.h"
#include "imaging/deflate.h"

namespace calv {
namespace {

const uint8_t* bytesOf(const RGBA64* p) { return reinterpret_cast<const uint8_t*>(p); }

}  // namespace

PlaneView viewOf(const Plane<RGBA64>& plane) { return {plane.data(), plane.width(), plane.height()}; }

PlaneView layerPlane(Engine& engine, int32_t slot) {
    const Layer* layer = engine.layers.withPixels(slot);
    return layer ? viewOf(layer->pixels) : PlaneView{};
}
PlaneView surfacePlane(Engine& engine) {
    const Layer* layer = engine.layers.currentWithPixels();
    return layer ? viewOf(layer->pixels) : PlaneView{};
}
PlaneView underLayerPlane(Engine& engine) { return viewOf(engine.history.underLayer); }
PlaneView hostPlane(const CanvasState& canvas, const uint16_t* plane) {
    return {reinterpret_cast<const RGBA64*>(plane), canvas.width, canvas.height};
}

uint32_t PickRGBA(const CanvasState& canvas, PlaneView plane, int32_t x, int32_t y) {
    const int32_t w = std::min(canvas.width, plane.width), h = std::min(canvas.height, plane.height);
    if (!plane.pixels || w <= 0 || h <= 0) return 0;
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, h - 1);
    return packRGBA(plane.pixels[std::size_t(y) * std::size_t(plane.width) + std::size_t(x)]);
}

uint32_t PickColour(const CanvasState& canvas, PlaneView plane, int32_t x, int32_t y) {
    if (!plane.pixels) return 0;
    const int32_t w = std::min(canvas.width, plane.width), h = std::min(canvas.height, plane.height);
    if (x < 0 || y < 0 || x >= w || y >= h) return 0xFFFFFF;
    return packARGB(plane.pixels[std::size_t(y) * std::size_t(plane.width) + std::size_t(x)]);
}

int32_t PickChannel(Engine& engine, int32_t x, int32_t y, int channel) {
    const Layer* layer = engine.layers.currentWithPixels();
    if (!layer) return 0;
    const ClippedRect area = onCanvas(engine.canvas, *layer);
    if (x < 0 || y < 0 || x >= area.width || y >= area.height) return 0;
    const RGBA64 p = layer->pixels.at(x, y);
    const uint16_t channels[4] = {p.r, p.g, p.b, p.a};
    return channels[channel & 3];
}

bool GetRGB24(Engine& engine, const Layer& layer, uint8_t* dst, int32_t dstStride) {
    if (!layer.hasPixels() || !dst) return false;
    const ClippedRect c = onCanvas(engine.canvas, layer);
    RGBA64ToRGB24(bytesOf(layer.pixels.data()), layer.width() * 8, dst, dstStride, c.width, c.height);
    return true;
}

bool GetRGB24FromAlpha(Engine& engine, const Layer& layer, uint8_t* dst, int32_t dstStride) {
    if (!layer.hasPixels() || !dst) return false;
    const ClippedRect c = onCanvas(engine.canvas, layer);
    for (int32_t y = 0; y < c.height; ++y) {
        const RGBA64* s = layer.pixels.row(y);
        uint8_t* d = dst + std::ptrdiff_t(y) * dstStride;
        for (int32_t x = 0; x < c.width; ++x, d += 3) d[0] = d[1] = d[2] = narrow16(s[x].a);
    }
    return true;
}

bool GetRGBA32(Engine& engine, const Layer& layer, uint8_t* dst, int32_t dstStride) {
    if (!layer.hasPixels() || !dst) return false;
    const ClippedRect c = onCanvas(engine.canvas, layer);
    RGBA64ToRGBA32(bytesOf(layer.pixels.data()), layer.width() * 8, dst, dstStride, c.width, c.height);
    return true;
}

void GetRGBA64Rect(const Layer& layer, uint8_t* dst, int32_t dstStride, int32_t x, int32_t y, int32_t width,
                   int32_t height) {
    if (!layer.hasPixels() || !dst) return;
    const ClippedRect c = clipRect(x, y, width, height, layer.width(), layer.height());
    for (int32_t j = 0; j < c.height; ++j)
        std::memcpy(dst + std::ptrdiff_t(c.srcY + j) * dstStride + std::ptrdiff_t(c.srcX) * 8,
                    layer.pixels.row(c.y + j) + c.x, std::size_t(c.width) * 8);
}

void SetRGBA64(Engine& engine, Layer& layer, const uint8_t* src, int32_t srcStride) {
    if (!layer.hasPixels() || !src) return;
    const ClippedRect c = onCanvas(engine.canvas, layer);
    for (int32_t y = 0; y < c.height; ++y)
        std::memcpy(layer.pixels.row(y), src + std::ptrdiff_t(y) * srcStride, std::size_t(c.width) * 8);
}

void GetLayerData(Engine& engine, const Layer& layer, uint8_t* dst) {
    GetRGBA64Rect(layer, dst, engine.canvas.width * 8, 0, 0, engine.canvas.width, engine.canvas.height);
}

void SetLayerData(Engine& engine, Layer& layer, const uint8_t* src) {
    SetRGBA64(engine, layer, src, engine.canvas.width * 8);
}

void CopyLayerData(Engine& engine, const Layer& from, Layer& to) {
    if (!from.hasPixels() || !to.hasPixels() || &from == &to) return;
    const ClippedRect a = onCanvas(engine.canvas, from), b = onCanvas(engine.canvas, to);
    const int32_t w = std::min(a.width, b.width), h = std::min(a.height, b.height);
    for (int32_t y = 0; y < h; ++y) std::memcpy(to.pixels.row(y), from.pixels.row(y), std::size_t(w) * 8);
}

int32_t GetRGBA32Compressed(const Layer& layer, uint8_t* dst, int32_t dstCapacity, int32_t level) {
    if (!layer.hasPixels() || !dst || dstCapacity <= 0) return 0;
    // The whole layer, so that the loader restores it at its own size.
    std::unique_ptr<RGBA32[]> buffer = allocateBlock<RGBA32>(layer.pixels.pixelCount());
    RGBA64ToRGBA32(bytesOf(layer.pixels.data()), layer.width() * 8, reinterpret_cast<uint8_t*>(buffer.get()),
                   layer.width() * 4, layer.width(), layer.height());
    return int32_t(imaging::deflateBuffer(reinterpret_cast<const uint8_t*>(buffer.get()),
                                          layer.pixels.pixelCount() * 4, dst, std::size_t(dstCapacity), level));
}

void ClearRGBA64Buffer(Engine& engine, uint8_t* buffer, int32_t stride, RGBA64 value) {
    if (!buffer) return;
    const HostRows<RGBA64> rows{buffer, stride};
    for (int32_t y = 0; y < engine.canvas.height; ++y) std::fill_n(rows.row(y), engine.canvas.width, value);
}

void ClearRGBA32Buffer(uint8_t* buffer, int32_t stride, int32_t width, int32_t height, RGBA32 value) {
    if (!buffer) return;
    const HostRows<RGBA32> rows{buffer, stride};
    for (int32_t y = 0; y < height; ++y) std::fill_n(rows.row(y), std::max(width, 0), value);
}

Extents FindDataExtents(Engine& engine, const Layer& layer) {
    Extents e{engine.canvas.width, engine.canvas.height, 0, 0};
    const ClippedRect c = onCanvas(engine.canvas, layer);
    for (int32_t y = 0; y < c.height; ++y) {
        const RGBA64* row = layer.pixels.row(y);
        int32_t first = -1, last = -1;
        for (int32_t x = 0; x < c.width; ++x) {
            if (row[x].a == 0) continue;
            if (first < 0) first = x;
            last = x;
        }
        if (first < 0) continue;
        e.left = std::min(e.left, first);
        e.right = std::max(e.right, last);
        e.top = std::min(e.top, y);
        e.bottom = std::max(e.bottom, y);
    }
    return e;
}

}  // namespace calv
