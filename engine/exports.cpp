// Exports of the engine core: canvas life cycle, errors, utilities, masked loading,
// reading and writing pixels, row codecs.
#include <cstdlib>
#include <cstring>

#include "api/calvcore.h"
#include "engine/canvas.h"
#include "engine/canvas_io.h"
#include "engine/convert.h"
#include "engine/engine.h"
#include "engine/exports.h"
#include "engine/masked_load.h"
#include "engine/row_codec.h"
#include "history/history.h"

using namespace calv;

extern "C" {

void CVX_CreateImage(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize, int32_t) {
    Engine& e = globalEngine();
    guarded(e, "CreateImage Excpt", [&] { CreateImage(e, hostWindow, width, height, maxBrushSize); });
}

void CVX_NewSize(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize, int32_t) {
    Engine& e = globalEngine();
    guarded(e, "NewSize Excpt", [&] { NewSize(e, hostWindow, width, height, maxBrushSize); });
}

void CVX_DeleteImage(void) {
    Engine& e = globalEngine();
    guarded(e, "DeleteImage Excpt", [&] { DeleteImage(e); });
}

void CVX_SetLastError(const char* text) { setLastError(globalEngine().process, text); }

const char* CVX_GetLastError(void) { return globalEngine().process.lastError; }

void* CVX_Alloc(int32_t size) { return size < 0 ? nullptr : std::malloc(std::size_t(size)); }

void CVX_Free(void* block) { std::free(block); }

void CVX_Memcpy(void* dst, const void* src, int32_t count) {
    if (dst && src && count > 0) std::memcpy(dst, src, std::size_t(count));
}

intptr_t BankAdrs(intptr_t value) { return value; }

void CVX_SetStartDir(const char* path) {
    ProcessState& p = globalEngine().process;
    if (path && std::strlen(path) < sizeof p.startDir) std::strcpy(p.startDir, path);
}

void CVX_SetRandomSeed(int32_t seed) {
    Engine& e = globalEngine();
    e.process.randomSeed = uint32_t(seed);
    e.brush.random.seed(e.process.randomSeed);
}

int32_t CVX_SetWindowRedraw(void*, int32_t) { return 0; }

int32_t CVX_RedrawWindow(void*) { return 0; }

int32_t CVX_IsDisplayChanged(void) {
    ProcessState& p = globalEngine().process;
    const bool changed = p.displayChanged;
    p.displayChanged = false;
    return changed ? 1 : 0;
}

void CVX_LoadRGBA32Layer(const uint8_t* src, int32_t srcStride, int32_t layer, int32_t x, int32_t y, int32_t width,
                         int32_t height, int32_t useMask) {
    Engine& e = globalEngine();
    Layer* target = e.layers.withPixels(layer);
    if (!src || !target) return;
    guarded(e, "LoadRGBA32Layer Excpt",
            [&] { LoadRGBA32Layer(e, src, srcStride, *target, x, y, width, height, flagSet(useMask)); });
}

void CVX_LoadRGBA32(const uint8_t* src, int32_t srcStride, int32_t useMask) {
    Engine& e = globalEngine();
    Layer* target = e.layers.currentWithPixels();
    if (!src || !target) return;
    guarded(e, "LoadRGBA32Layer Excpt", [&] {
        LoadRGBA32Layer(e, src, srcStride, *target, 0, 0, target->width(), target->height(), flagSet(useMask));
    });
}

void CVX_LoadRGBA32Into(const uint8_t* src, int32_t srcStride, int32_t layer, int32_t x, int32_t y, int32_t width,
                        int32_t height) {
    CVX_LoadRGBA32Layer(src, srcStride, layer, x, y, width, height, 1);
}

int32_t CVX_LoadRGBA32LayerCompressed(const uint8_t* data, int32_t, int32_t dataLength, int32_t layer) {
    Engine& e = globalEngine();
    Layer* target = e.layers.withPixels(layer);
    if (!data || !target) return 0;
    return guarded(e, "LoadRGBA32LayerCompressed Excpt", 0, [&] {
        if (LoadRGBA32LayerCompressed(e, data, dataLength, *target)) return 1;
        setLastError(e.process, "LoadRGBA32LayerCompressed Excpt");
        return 0;
    });
}

void CVX_LoadRGB24(const uint8_t* src, int32_t srcStride, int32_t useMask) {
    LoadRGB24(globalEngine(), src, srcStride, flagSet(useMask));
}

void CVX_LoadRGB24ToAlpha(const uint8_t* src, int32_t srcStride, int32_t useMask) {
    LoadRGB24ToAlpha(globalEngine(), src, srcStride, flagSet(useMask));
}

void CVX_Load(const uint8_t* src, int32_t srcStride, int32_t width, int32_t height) {
    LoadBGR24(globalEngine(), src, srcStride, width, height);
}

void CVX_ClearMasked(int32_t r, int32_t g, int32_t b, int32_t a) {
    ClearMasked(globalEngine(), byteArg(r), byteArg(g), byteArg(b), byteArg(a));
}

int32_t CVX_ClearMaskedAlpha(int32_t r, int32_t g, int32_t b, int32_t a) {
    return ClearMaskedAlpha(globalEngine(), byteArg(r), byteArg(g), byteArg(b), byteArg(a)) ? 1 : 0;
}

}  // extern "C"

// ---- Reading and writing pixels ------------------------------------------------------

namespace {

const uint8_t* bytes(const void* p) { return static_cast<const uint8_t*>(p); }
uint8_t* bytes(void* p) { return static_cast<uint8_t*>(p); }

// A canvas-sized RGBA64 plane the host hands over.
PlaneView hostPlane(const uint16_t* plane) { return hostPlane(globalEngine().canvas, plane); }
PlaneView layerPlane(int32_t slot) { return layerPlane(globalEngine(), slot); }
PlaneView surfacePlane() { return surfacePlane(globalEngine()); }
PlaneView underLayerPlane() { return underLayerPlane(globalEngine()); }

uint32_t pickRGBA(PlaneView plane, int32_t x, int32_t y) { return PickRGBA(globalEngine().canvas, plane, x, y); }
uint32_t pickColour(PlaneView plane, int32_t x, int32_t y) {
    return PickColour(globalEngine().canvas, plane, x, y);
}

}  // namespace

extern "C" {

uint32_t CVX_GetRGBAAt(int32_t x, int32_t y, const uint16_t* plane) { return pickRGBA(hostPlane(plane), x, y); }
uint32_t CVX_GetColorAt(int32_t x, int32_t y, const uint16_t* plane) { return pickColour(hostPlane(plane), x, y); }
uint32_t CVX_GetRGBAAtSurface(int32_t x, int32_t y) { return pickRGBA(surfacePlane(), x, y); }
uint32_t CVX_GetColorAtSurface(int32_t x, int32_t y) { return pickColour(surfacePlane(), x, y); }
uint32_t CVX_GetRGBAAtUnderLayer(int32_t x, int32_t y) { return pickRGBA(underLayerPlane(), x, y); }
uint32_t CVX_GetColorAtUnderLayer(int32_t x, int32_t y) { return pickColour(underLayerPlane(), x, y); }
uint32_t CVX_GetRGBAAtLayer(int32_t x, int32_t y, int32_t layer) { return pickRGBA(layerPlane(layer), x, y); }
uint32_t CVX_GetColorAtLayer(int32_t x, int32_t y, int32_t layer) { return pickColour(layerPlane(layer), x, y); }
uint32_t CVX_GetRGBAAtTrace(int32_t x, int32_t y) { return pickRGBA(layerPlane(kTraceSlot), x, y); }
uint32_t CVX_GetColorAtTrace(int32_t x, int32_t y) { return pickColour(layerPlane(kTraceSlot), x, y); }
uint32_t CVX_GetColorAtHistory(int32_t x, int32_t y) {
    return CanUndoStep(globalEngine()) ? pickColour(underLayerPlane(), x, y) : 0;
}

int32_t CVX_GetRed64(int32_t x, int32_t y) { return PickChannel(globalEngine(), x, y, 0); }
int32_t CVX_GetGreen64(int32_t x, int32_t y) { return PickChannel(globalEngine(), x, y, 1); }
int32_t CVX_GetBlue64(int32_t x, int32_t y) { return PickChannel(globalEngine(), x, y, 2); }
int32_t CVX_GetAlpha64(int32_t x, int32_t y) { return PickChannel(globalEngine(), x, y, 3); }

void CVX_GetRGB24(uint8_t* dst, int32_t dstStride) {
    Engine& e = globalEngine();
    if (const Layer* layer = e.layers.currentWithPixels()) GetRGB24(e, *layer, dst, dstStride);
}

int32_t CVX_GetRGB24Layer(uint8_t* dst, int32_t dstStride, int32_t layer) {
    Engine& e = globalEngine();
    const Layer* l = e.layers.withPixels(layer);
    return l && GetRGB24(e, *l, dst, dstStride) ? e.canvas.height : 0;
}

void CVX_GetRGB24FromAlpha(uint8_t* dst, int32_t dstStride) {
    Engine& e = globalEngine();
    if (const Layer* layer = e.layers.currentWithPixels()) GetRGB24FromAlpha(e, *layer, dst, dstStride);
}

int32_t CVX_GetRGBA32Layer(uint8_t* dst, int32_t dstStride, int32_t layer) {
    Engine& e = globalEngine();
    const Layer* l = e.layers.withPixels(layer);
    return l && GetRGBA32(e, *l, dst, dstStride) ? e.canvas.height : 0;
}

int32_t CVX_GetRGBA32(uint8_t* dst, int32_t dstStride) {
    Engine& e = globalEngine();
    return e.layers.currentRecord ? CVX_GetRGBA32Layer(dst, dstStride, e.layers.currentLayer) : 0;
}

void CVX_GetRGBA64LayerRect(uint16_t* dst, int32_t dstStride, int32_t layer, int32_t x, int32_t y, int32_t width,
                            int32_t height) {
    if (const Layer* l = globalEngine().layers.withPixels(layer)) GetRGBA64Rect(*l, bytes(dst), dstStride, x, y, width, height);
}

void CVX_GetRGBA64Layer(uint16_t* dst, int32_t dstStride, int32_t layer) {
    const CanvasState& c = globalEngine().canvas;
    CVX_GetRGBA64LayerRect(dst, dstStride, layer, 0, 0, c.width, c.height);
}

int32_t CVX_SetRGBA64Layer(const uint16_t* src, int32_t srcStride, int32_t layer) {
    Engine& e = globalEngine();
    Layer* l = e.layers.withPixels(layer);
    if (!l) return 0;
    SetRGBA64(e, *l, bytes(src), srcStride);
    return e.canvas.height;
}

void CVX_GetLayerData(void* dst, int32_t layer) {
    Engine& e = globalEngine();
    if (const Layer* l = e.layers.withPixels(layer)) GetLayerData(e, *l, bytes(dst));
}

void CVX_SetLayerData(const void* src, int32_t layer) {
    Engine& e = globalEngine();
    if (Layer* l = e.layers.withPixels(layer)) SetLayerData(e, *l, bytes(src));
}

void CVX_CopyLayerData(int32_t from, int32_t to) {
    Engine& e = globalEngine();
    const Layer* a = e.layers.withPixels(from);
    Layer* b = e.layers.withPixels(to);
    if (a && b) CopyLayerData(e, *a, *b);
}

int32_t CVX_GetRGBA32LayerCompressed(uint8_t* dst, int32_t, int32_t dstCapacity, int32_t layer, int32_t level) {
    Engine& e = globalEngine();
    const Layer* l = e.layers.withPixels(layer);
    if (!l) return 0;
    return guarded(e, "GetRGBA32Layer Excpt", 0, [&] { return GetRGBA32Compressed(*l, dst, dstCapacity, level); });
}

void CVX_RGBA64RectToRGBA32(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height,
                            int32_t srcRowPixels, int32_t, uint8_t* dst) {
    if (!src || !dst) return;
    const uint16_t* first = src + (std::ptrdiff_t(y) * srcRowPixels + x) * 4;
    RGBA64ToRGBA32(bytes(first), srcRowPixels * 8, dst, width * 4, width, height);
}

void CVX_RGBA64RectToRGBA24(const uint16_t* src, int32_t x, int32_t y, int32_t width, int32_t height,
                            int32_t srcRowPixels, int32_t, uint8_t* dst) {
    if (!src || !dst) return;
    const uint16_t* first = src + (std::ptrdiff_t(y) * srcRowPixels + x) * 4;
    RGBA64ToRGB24(bytes(first), srcRowPixels * 8, dst, width * 3, width, height);
}

void CVX_GetRGB24FromRGBA64Rect(uint8_t* dst, int32_t dstStride, const uint16_t* src, int32_t srcStride, int32_t,
                                int32_t, int32_t width, int32_t height) {
    RGBA64ToRGB24(bytes(src), srcStride, dst, dstStride, width, height);
}

void CVX_GetRGB24FromRGBA64(uint8_t* dst, int32_t dstStride, const uint16_t* src, int32_t srcStride) {
    const CanvasState& c = globalEngine().canvas;
    RGBA64ToRGB24(bytes(src), srcStride, dst, dstStride, c.width, c.height);
}

void CVX_GetRGBA32FromRGBA64Rect(uint8_t* dst, int32_t dstStride, const uint16_t* src, int32_t srcStride, int32_t,
                                 int32_t, int32_t width, int32_t height) {
    RGBA64ToRGBA32(bytes(src), srcStride, dst, dstStride, width, height);
}

void CVX_GetRGBA32FromRGBA64(uint8_t* dst, int32_t dstStride, int32_t width, int32_t height, const uint16_t* src,
                             int32_t srcStride) {
    RGBA64ToRGBA32(bytes(src), srcStride, dst, dstStride, width, height);
}

void CVX_RGBToRGBA(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src) {
    RGB24IntoRGBA32(src, dst, int64_t(width) * height);
}

void CVX_RGBAToRGB(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src) {
    RGBA32ToRGB24(src, dst, int64_t(width) * height);
}

void CVX_RGBAlphaToRGB(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src) {
    RGBA32AlphaToGrey24(src, dst, int64_t(width) * height);
}

void CVX_RGBToRGBAlpha(uint8_t* dst, int32_t width, int32_t height, const uint8_t* src) {
    RGB24GreyIntoAlpha32(src, dst, int64_t(width) * height);
}

void CVX_SetPixelRGB24(uint8_t* buffer, int32_t stride, int32_t x, int32_t y, int32_t r, int32_t g, int32_t b) {
    const CanvasState& c = globalEngine().canvas;
    if (!buffer || x < 0 || y < 0 || x >= c.width || y >= c.height) return;
    uint8_t* p = buffer + std::ptrdiff_t(y) * stride + std::ptrdiff_t(x) * 3;
    p[0] = narrow16(uint16_t(r));
    p[1] = narrow16(uint16_t(g));
    p[2] = narrow16(uint16_t(b));
}

void CVX_Clear(int32_t r, int32_t g, int32_t b, int32_t a) {
    Clear(globalEngine(), byteArg(r), byteArg(g), byteArg(b), byteArg(a));
}

void CVX_ClearRGBA64(uint16_t* buffer, int32_t stride, int32_t r, int32_t g, int32_t b, int32_t a) {
    ClearRGBA64Buffer(globalEngine(), bytes(buffer), stride, {uint16_t(r), uint16_t(g), uint16_t(b), uint16_t(a)});
}

void CVX_ClearRGBA32(uint8_t* buffer, int32_t stride, int32_t r, int32_t g, int32_t b, int32_t a) {
    const CanvasState& c = globalEngine().canvas;
    ClearRGBA32Buffer(buffer, stride, c.width, c.height, {byteArg(r), byteArg(g), byteArg(b), byteArg(a)});
}

void CVX_ClearRGBA32Buf(uint8_t* buffer, int32_t width, int32_t height, int32_t r, int32_t g, int32_t b,
                        int32_t a) {
    ClearRGBA32Buffer(buffer, width * 4, width, height, {byteArg(r), byteArg(g), byteArg(b), byteArg(a)});
}

void CVX_FindDataExtentsLayer(int32_t layer, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) {
    Engine& e = globalEngine();
    const Layer* l = e.layers.withPixels(layer);
    if (!l || !left || !top || !right || !bottom) return;
    const Extents x = FindDataExtents(e, *l);
    *left = x.left;
    *top = x.top;
    *right = x.right;
    *bottom = x.bottom;
}

}  // extern "C"

// ---- Row codecs ----------------------------------------------------------------------

extern "C" {

int32_t CVX_RLECompressRGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t count) {
    return int32_t(EncodeColourRuns(reinterpret_cast<const RGBA64*>(src), count, dst));
}

void CVX_RLEUncompressRGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, int32_t count) {
    if (count > 0)
        DecodeColourRuns(src, std::size_t(count) * kColourRunBytes, reinterpret_cast<RGBA64*>(dst), count);
}

int32_t CVX_RLECompressG16ToG8(const uint16_t* src, uint8_t* dst, int32_t count) {
    return int32_t(EncodeMaskRuns(src, count, dst));
}

void CVX_RLEUncompressG8ToG16(const uint8_t* src, uint16_t* dst, int32_t count) {
    if (count > 0) DecodeMaskRuns(src, std::size_t(count) * kMaskRunBytes, dst, count);
}

int32_t CVX_GetRGBA32LayerLineRLE(uint8_t* dst, int32_t layer, int32_t row) {
    Engine& e = globalEngine();
    const Layer* l = e.layers.withPixels(layer);
    return l ? GetLayerLineRLE(e, *l, row, dst) : 0;
}

void CVX_PutRGBA32LayerLineRLE(const uint8_t* src, int32_t layer, int32_t row) {
    Engine& e = globalEngine();
    if (Layer* l = e.layers.withPixels(layer)) PutLayerLineRLE(e, *l, row, src);
}

int32_t CVX_GetMaskLineRLE(uint8_t* dst, int32_t row) { return GetMaskLineRLE(globalEngine(), row, dst); }

void CVX_PutMaskLineRLE(const uint8_t* src, int32_t row) { PutMaskLineRLE(globalEngine(), row, src); }

}  // extern "C"
