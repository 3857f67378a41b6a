// Exports of the brush engine.
#include "api/calvcore.h"
#include "brush/blend_buffer.h"
#include "brush/dab.h"
#include "brush/settings.h"
#include "brush/texture.h"
#include "brush/tip.h"
#include "engine/engine.h"
#include "engine/exports.h"

using namespace calv;

namespace {
BrushSettings& brush() { return globalEngine().brush.settings; }

// The planes the blend buffer picks paint up from.
PlaneView layerView(int32_t slot) { return layerPlane(globalEngine(), slot); }
PlaneView surfaceView() { return surfacePlane(globalEngine()); }
PlaneView underLayerView() { return underLayerPlane(globalEngine()); }
PlaneView hostView(const uint16_t* plane) { return hostPlane(globalEngine().canvas, plane); }
void copyFrom(PlaneView source, int32_t x, int32_t y, int32_t amount, int32_t opaqueFill = 0) {
    CopyBlendBuffer(globalEngine(), x, y, source, amount, flagSet(opaqueFill));
}
void mixFrom(PlaneView source, int32_t x, int32_t y, int32_t amount) {
    MixBlendBuffer(globalEngine(), x, y, source, amount);
}
}  // namespace

extern "C" {

uint8_t* CVX_CreateTexture(int32_t slot) { return CreateTexture(globalEngine(), slot); }

void CVX_DeleteTexture(void) { DeleteTexture(globalEngine()); }

void CVX_SetColor(int32_t r, int32_t g, int32_t b) { SetColor(brush(), r, g, b); }
void CVX_SetColor16(int32_t r, int32_t g, int32_t b) { SetColor16(brush(), r, g, b); }
void CVX_SetColorBanks(int32_t r0, int32_t g0, int32_t b0, int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2,
                       int32_t b2, int32_t r3, int32_t g3, int32_t b3) {
    const int32_t rgb[12] = {r0, g0, b0, r1, g1, b1, r2, g2, b2, r3, g3, b3};
    SetColorBanks(brush(), rgb);
}
void CVX_SetSize(int32_t size) { SetSize(globalEngine(), size); }
void CVX_SetScaleSize(int32_t size) { SetScaleSize(brush(), size); }
void CVX_SetShapeBlur(int32_t blur) { brush().shapeBlur = blur; }
void CVX_SetAlpha(int32_t percent) { SetAlpha(brush(), percent); }
void CVX_SetDensity(int32_t density) { brush().densityLimit = density - 1; }
void CVX_SetColorVary(int32_t vary) { brush().colorVary = vary; }
void CVX_SetPixColorVary(int32_t vary) { SetPixColorVary(globalEngine(), vary); }
void CVX_SetPixLumVary(int32_t vary) { SetPixLumVary(globalEngine(), vary); }
void CVX_SetBlendStrength(int32_t strength) {
    brush().blendStrength = strength;
    if (strength > 0) brush().blendStrengthInv = 256 - strength;
}
void CVX_SetBlendPrimaryColorStrength(int32_t strength) {
    brush().primaryColorStrength = strength;
    if (strength > 0) brush().primaryColorStrengthInv = 256 - strength;
}
void CVX_SetBlendRemix(int32_t flag) { brush().blendRemix = flagSet(flag); }
void CVX_SetMixMode(int32_t kind, int32_t amount) { SetMixMode(brush(), kind, amount); }
void CVX_SetImageBrushMode(int32_t flag) { brush().imageBrushMode = flag; }
void CVX_SetSolidBrushMode(int32_t flag) { brush().solidBrushMode = flag; }
void CVX_SetRotateBrushMode(int32_t flag, int32_t degrees) { SetRotateBrushMode(brush(), flag, degrees); }
void CVX_SetAlphaLocked(int32_t flag) { brush().alphaLocked = flag; }
void CVX_SetColorLocked(int32_t flag) { brush().colorLocked = flag; }
void CVX_SetBlobLocked(int32_t flag) { brush().blobLocked = flag; }
void CVX_SetAlphaLevel(int32_t level) { brush().alphaLevel = level; }
void CVX_TempDisableBlend(void) { brush().blendDisabledOnce = true; }
void CVX_SetMaskMakerOn(void) { brush().maskMakerOn = true; }
void CVX_SetEraseModeOn(void) { brush().eraseModeOn = true; }
void CVX_DecDrawingLength(void) { --brush().drawingLengthLeft; }

void CVX_SetTool(float tipScale, int32_t gritSize, int32_t gritBlockThreshold, int32_t gritCellThreshold,
                 int32_t softness, int32_t colorVary, int32_t drawingLength, int32_t blendStrength,
                 int32_t primaryColorStrength, int32_t blendRemix, int32_t, int32_t invertShape, int32_t,
                 const char* gritSource, const char* shapeSource, int32_t shapeAngle) {
    Engine& e = globalEngine();
    guarded(e, "SetTool Excpt", [&] {
        SetTool(e, {tipScale, gritSize, gritBlockThreshold, gritCellThreshold, byteArg(softness), colorVary,
                    drawingLength, blendStrength, primaryColorStrength, flagSet(blendRemix), flagSet(invertShape),
                    gritSource, shapeSource, shapeAngle});
    });
}

void CVX_SetBrushShape(const char* source, int32_t angle) {
    Engine& e = globalEngine();
    guarded(e, "SetBrushShape Excpt", [&] { SetBrushShape(e, source, angle, true); });
}

void CVX_SetBrushShape_ORIGINAL(const char* source, int32_t angle) {
    Engine& e = globalEngine();
    guarded(e, "SetBrushShape Excpt", [&] { SetBrushShape(e, source, angle, false); });
}

int32_t CVX_DrawDabGrit(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b) {
    DrawDabGrit(globalEngine(), x, y, r, g, b);
    return 0;
}

int32_t CVX_DrawDabGritMask(int32_t x, int32_t y) {
    DrawDabGritMask(globalEngine(), x, y);
    return 0;
}

void CVX_DoCopyBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount, int32_t opaqueFill) {
    copyFrom(hostView(plane), x, y, amount, opaqueFill);
}
void CVX_CopyBlendBufferSurface(int32_t x, int32_t y, int32_t amount, int32_t opaqueFill) {
    copyFrom(surfaceView(), x, y, amount, opaqueFill);
}
void CVX_CopyBlendBufferLayer(int32_t slot, int32_t x, int32_t y, int32_t amount) {
    copyFrom(layerView(slot), x, y, amount);
}
void CVX_CopyBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount) { copyFrom(underLayerView(), x, y, amount); }
void CVX_CopyBlendBufferHistory(int32_t x, int32_t y, int32_t amount) { copyFrom(underLayerView(), x, y, amount); }
void CVX_CopyBlendBufferTrace(int32_t x, int32_t y, int32_t amount) { copyFrom(layerView(kTraceSlot), x, y, amount); }
void CVX_DoCopyBlendBufferMask(int32_t x, int32_t y, int32_t amount) {
    CopyBlendBufferMask(globalEngine(), x, y, amount);
}

void CVX_DoMixBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount) {
    mixFrom(hostView(plane), x, y, amount);
}
void CVX_MixBlendBufferSurface(int32_t x, int32_t y, int32_t amount) { mixFrom(surfaceView(), x, y, amount); }
void CVX_MixBlendBufferLayer(int32_t slot, int32_t x, int32_t y, int32_t amount) {
    mixFrom(layerView(slot), x, y, amount);
}
void CVX_MixBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount) { mixFrom(underLayerView(), x, y, amount); }
void CVX_MixBlendBufferHistory(int32_t x, int32_t y, int32_t amount) { mixFrom(underLayerView(), x, y, amount); }
void CVX_MixBlendBufferTrace(int32_t x, int32_t y, int32_t amount) { mixFrom(layerView(kTraceSlot), x, y, amount); }

void CVX_DoColorBlendBuffer(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b, int32_t, int32_t amount) {
    ColorBlendBuffer(globalEngine(), x, y, r, g, b, amount);
}
void CVX_ClearBlendBuffer(void) { ClearBlendBuffer(globalEngine().brush); }
void CVX_FillBlendBuffer(int32_t, int32_t, int32_t, int32_t value) { FillBlendBuffer(globalEngine().brush, value); }
void CVX_FilterBlendBuffer(int32_t kind, int32_t level) { FilterBlendBuffer(globalEngine(), kind, level); }

}  // extern "C"
