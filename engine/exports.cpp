// Exports of the engine core: canvas life cycle, errors, utilities, masked loading.
#include <cstdlib>
#include <cstring>

#include "api/calvcore.h"
#include "engine/canvas.h"
#include "engine/engine.h"
#include "engine/exports.h"
#include "engine/masked_load.h"

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
