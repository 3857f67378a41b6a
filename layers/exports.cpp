// Exports of the layer table, the paint layer, merging and the view.
#include <algorithm>

#include "api/calvcore.h"
#include "engine/engine.h"
#include "engine/exports.h"
#include "engine/convert.h"
#include "engine/masked_load.h"
#include "layers/blend_modes.h"
#include "layers/layer_table.h"
#include "layers/merge.h"
#include "layers/renderer.h"
#include "mask/adjust.h"

using namespace calv;

extern "C" {

int32_t CVX_CreateLayer(int32_t slot, int32_t width, int32_t height) {
    Engine& e = globalEngine();
    return guarded(e, "CreateLayer Excpt", 0, [&] { return CreateLayer(e, slot, width, height) ? 1 : 0; });
}

void CVX_DeleteLayer(int32_t slot) {
    Engine& e = globalEngine();
    guarded(e, "DeleteLayer Excpt", [&] { DeleteLayer(e, slot); });
}

int32_t CVX_SetLayerOptions(int32_t slot, int32_t visible, int32_t keepAlpha, int32_t opacityPercent,
                            const char* blendName) {
    return SetLayerOptions(globalEngine(), slot, flagSet(visible), flagSet(keepAlpha), opacityPercent, blendName);
}

void CVX_SetLayer(int32_t slot) { SetLayer(globalEngine(), slot); }

int32_t CVX_GetLayerNum(void) { return globalEngine().layers.currentLayer; }

int32_t CVX_GetLayerCount(void) { return GetLayerCount(globalEngine()); }

void CVX_SwapLayers(int32_t a, int32_t b) { SwapLayers(globalEngine(), a, b); }

void CVX_SetAlphaLayerOpacity(int32_t percent) { SetAlphaLayerOpacity(globalEngine(), percent); }

int32_t CVX_CreatePaintLayer(int32_t opacityPercent, const char* blendName) {
    Engine& e = globalEngine();
    return guarded(e, "CreatePaintLayer Excpt", 0, [&] { return CreatePaintLayer(e, opacityPercent, blendName); });
}

void CVX_ClearPaintLayer(void) { ClearPaintLayer(globalEngine()); }

void CVX_ClearPaintLayer_old(void) { ClearPaintLayerOld(globalEngine()); }

void CVX_MergePaintLayer(int32_t slot) { MergePaintLayer(globalEngine(), slot); }

void CVX_DeletePaintLayer(void) { DeletePaintLayer(globalEngine()); }

}  // extern "C"

// ---- Merging ---------------------------------------------------------------------------

extern "C" {

void CVX_MergeLayer(int32_t source, int32_t target) { MergeLayer(globalEngine(), source, target); }

void CVX_MergeLayerIntoRect(int32_t source, uint16_t* buffer, int32_t x, int32_t y, int32_t width,
                            int32_t height) {
    MergeLayerIntoRect(globalEngine(), source, reinterpret_cast<RGBA64*>(buffer), x, y, width, height);
}

void CVX_MergeLayerInto(int32_t source, uint16_t* buffer) {
    const CanvasState& c = globalEngine().canvas;
    CVX_MergeLayerIntoRect(source, buffer, 0, 0, c.width, c.height);
}

void CVX_MergeRect(uint16_t* buffer, int32_t x, int32_t y, int32_t width, int32_t height) {
    MergeRect(globalEngine(), reinterpret_cast<RGBA64*>(buffer), x, y, width, height);
}

void CVX_Merge(uint16_t* buffer) {
    const CanvasState& c = globalEngine().canvas;
    CVX_MergeRect(buffer, 0, 0, c.width, c.height);
}

uint32_t CVX_GetColorAtMerged(int32_t x, int32_t y) {
    Engine& e = globalEngine();
    if (x < 0 || y < 0 || x >= e.canvas.width || y >= e.canvas.height) return 0xFFFFFF;
    return guarded(e, "CVX_GetColorAtMerged Excpt", 0u, [&] {
        RGBA64 pixel{};
        MergeRect(e, &pixel, x, y, 1, 1);
        return packARGB(pixel);
    });
}

void CVX_LoadRGBA32Layer_BAD(uint8_t* src, int32_t, int32_t layer, int32_t textureArgument, int32_t count,
                             int32_t adjust) {
    Engine& e = globalEngine();
    Layer* target = e.layers.withPixels(layer);
    if (!src || !target) return;
    guarded(e, "LoadRGBA32Layer Excpt", [&] {
        // The picture is canvas-sized: the weighting never reaches past it.
        if (flagSet(adjust))
            AdjustRGBA32ByMaskAndTexture(e, src, std::min(textureArgument, e.canvas.width),
                                         std::min(count, e.canvas.height));
        ClearLayerMasked(e, *target, 0, 0, 0, 0);
        BlendImageIntoLayer(e, src, *target, kBlendNormal, 0, 255, target->keepAlpha);
    });
}

}  // extern "C"

// ---- The view ----------------------------------------------------------------------------

extern "C" {

void CVX_Render(uint8_t* buffer, int32_t bufferStride, int32_t x, int32_t y, int32_t width, int32_t height) {
    Render(globalEngine(), buffer, bufferStride, x, y, width, height);
}

void CVX_SetScale(int32_t scale, float zoom) {
    ViewState& v = globalEngine().view;
    v.scale = scale;
    v.zoom = zoom;
}

void CVX_SetViewSize(int32_t width, int32_t height) {
    ViewState& v = globalEngine().view;
    v.width = width;
    v.height = height;
}

void CVX_SetOffset(int32_t x, int32_t y) {
    ViewState& v = globalEngine().view;
    v.offsetX = x;
    v.offsetY = y;
}

void CVX_SetTracingMode(int32_t flag) { globalEngine().view.tracingMode = flagSet(flag); }

void CVX_SetGrid(int32_t) {}

void CVX_SetGridSpacing(int32_t) {}

}  // extern "C"
