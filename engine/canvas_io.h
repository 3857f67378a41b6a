// Reading layers back, writing them whole, picking colours and finding a layer's extents.
// Whole-layer operations cover the part of the layer that lies on the canvas; host
// buffers are canvas-sized with byte strides.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// An RGBA64 plane as the pick functions see it: a layer, the under-layer or a host plane.
struct PlaneView {
    const RGBA64* pixels = nullptr;
    int32_t width = 0, height = 0;
};
PlaneView viewOf(const Plane<RGBA64>& plane);
// The planes hosts name: layer `slot`, the current layer (the surface), the under-layer
// and a canvas-sized plane of the host's. Views of layers without pixels are empty.
PlaneView layerPlane(Engine& engine, int32_t slot);
PlaneView surfacePlane(Engine& engine);
PlaneView underLayerPlane(Engine& engine);
PlaneView hostPlane(const CanvasState& canvas, const uint16_t* plane);

// R, G, B, A word at (x, y) clamped onto the plane; 0 without pixels.
uint32_t PickRGBA(const CanvasState& canvas, PlaneView plane, int32_t x, int32_t y);
// A, R, G, B word at (x, y); 0xFFFFFF outside the canvas or the plane; 0 without pixels.
uint32_t PickColour(const CanvasState& canvas, PlaneView plane, int32_t x, int32_t y);
// One 16-bit channel (0 R .. 3 A) of the current layer, 0 outside the canvas.
int32_t PickChannel(Engine& engine, int32_t x, int32_t y, int channel);

// Layer pixels to host RGB24 / RGBA32 / grey-from-alpha; false when the layer has none.
bool GetRGB24(Engine& engine, const Layer& layer, uint8_t* dst, int32_t dstStride);
bool GetRGB24FromAlpha(Engine& engine, const Layer& layer, uint8_t* dst, int32_t dstStride);
bool GetRGBA32(Engine& engine, const Layer& layer, uint8_t* dst, int32_t dstStride);
// The width x height rectangle at (x, y) of a layer into an RGBA64 host buffer holding
// that rectangle; the part outside the layer is left untouched.
void GetRGBA64Rect(const Layer& layer, uint8_t* dst, int32_t dstStride, int32_t x, int32_t y, int32_t width,
                   int32_t height);
void SetRGBA64(Engine& engine, Layer& layer, const uint8_t* src, int32_t srcStride);
// Raw copies of canvas-sized RGBA64 blocks (rows canvasWidth pixels apart).
void GetLayerData(Engine& engine, const Layer& layer, uint8_t* dst);
void SetLayerData(Engine& engine, Layer& layer, const uint8_t* src);
void CopyLayerData(Engine& engine, const Layer& from, Layer& to);

// The layer as RGBA32, deflated into dst; returns the stream's length, 0 on failure.
int32_t GetRGBA32Compressed(const Layer& layer, uint8_t* dst, int32_t dstCapacity, int32_t level);

// Fills of canvas-sized host buffers.
void ClearRGBA64Buffer(Engine& engine, uint8_t* buffer, int32_t stride, RGBA64 value);
void ClearRGBA32Buffer(uint8_t* buffer, int32_t stride, int32_t width, int32_t height, RGBA32 value);

// Inclusive bounding box of the pixels with alpha above 0; left > right when none.
struct Extents {
    int32_t left, top, right, bottom;
};
Extents FindDataExtents(Engine& engine, const Layer& layer);

}  // namespace calv
