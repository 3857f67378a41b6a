// Exports of the layer table and the paint layer.
#include "api/calvcore.h"
#include "engine/engine.h"
#include "engine/exports.h"
#include "layers/layer_table.h"

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
