// Exports of the selection mask.
#include <cstring>

#include "api/calvcore.h"
#include "engine/engine.h"
#include "engine/exports.h"
#include "mask/adjust.h"
#include "mask/alpha_ops.h"
#include "mask/mask_ops.h"
#include "mask/range_masks.h"

using namespace calv;

namespace {
MaskState& mask() { return globalEngine().mask; }
}  // namespace

extern "C" {

void CVX_EnableMask(int32_t enable) { mask().enabled = flagSet(enable); }
void CVX_DisplayMask(int32_t show) { mask().displayed = flagSet(show); }
void CVX_SetMaskOptions(int32_t redA, int32_t greenA, int32_t blueA, int32_t redB, int32_t greenB, int32_t blueB,
                        int32_t fullStrength) {
    MaskState& m = mask();
    const int32_t a[3] = {redA, greenA, blueA}, b[3] = {redB, greenB, blueB};
    for (int c = 0; c < 3; ++c) m.colourA[c] = a[c] * 256, m.colourB[c] = b[c] * 256;
    m.fullStrength = fullStrength;
}
void CVX_InvertMask(void) { InvertMask(mask()); }
void CVX_ClearMask(int32_t red, int32_t green, int32_t blue) { ClearMask(mask(), red, green, blue); }
void CVX_SaveMask(uint8_t* dst, int32_t stride) { SaveMask(mask(), dst, stride); }
void CVX_LoadMask(const uint8_t* src, int32_t stride, int32_t width, int32_t height) {
    LoadMask(mask(), src, stride, width, height);
}
void CVX_CreateImageFromMask(void) { CreateImageFromMask(globalEngine()); }
void CVX_CreateAlphaFromMask(void) { CreateAlphaFromMask(globalEngine()); }
void CVX_CreateMaskFromImage(void) { CreateMaskFromImage(globalEngine()); }
void CVX_CreateMaskFromAlpha(void) { CreateMaskFromAlpha(globalEngine()); }
void CVX_GetMaskData16(uint16_t* dst) {
    if (dst && !mask().plane.empty()) std::memcpy(dst, mask().plane.data(), mask().plane.bytes());
}
void CVX_SetMaskData16(const uint16_t* src) {
    if (src && !mask().plane.empty()) std::memcpy(mask().plane.data(), src, mask().plane.bytes());
}
int32_t CVX_GetMask64(int32_t x, int32_t y) { return GetMask64(globalEngine(), x, y); }

void CVX_AdjustRGBA32ByMaskAndTexture(uint8_t* picture, int32_t width, int32_t height) {
    AdjustRGBA32ByMaskAndTexture(globalEngine(), picture, width, height);
}
void CVX_AdjustRGBA32RectByMaskAndTexture(uint8_t* picture, int32_t x, int32_t y, int32_t width, int32_t height) {
    AdjustRGBA32RectByMaskAndTexture(globalEngine(), picture, x, y, width, height);
}
void CVX_AdjustRGBA32ForAlphaComp(int32_t enable, uint8_t* picture) {
    if (enable != 0) UnpremultiplyAllRGBA32(globalEngine().canvas, picture);
}
void CVX_AdjustRGBA64PreFilter(uint16_t* picture, int32_t width, int32_t height) {
    PremultiplyRGBA64(picture, width, height);
}
void CVX_AdjustRGBA64PostFilter(uint16_t* picture, int32_t width, int32_t height) {
    UnpremultiplyRGBA64(picture, width, height);
}
void CVX_AdjustRGBA32PreFilter(uint8_t* picture, int32_t width, int32_t height) {
    PremultiplyRGBA32(picture, width, height);
}
void CVX_AdjustRGBA32PostFilter(uint8_t* picture, int32_t width, int32_t height) {
    UnpremultiplyRGBA32(picture, width, height);
}


void CVX_CreateMaskFromDiff_RGBA32(const uint8_t* pictureA, const uint8_t* pictureB, int32_t value) {
    CreateMaskFromDiff(globalEngine(), pictureA, pictureB, value);
}
void CVX_CreateMaskFromRGBAImageColor(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                      int32_t level) {
    CreateMaskFromRGBAColor(globalEngine(), picture, red, green, blue, level);
}
void CVX_CreateMaskFromRGB24ImageColor(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                       int32_t level) {
    CreateMaskFromRGB24Color(globalEngine(), picture, red, green, blue, level);
}
void CVX_CreateMaskFromFloodMask(const uint8_t* flags, int32_t level) {
    CreateMaskFromFloodMask(globalEngine(), flags, level);
}
void CVX_CreateMaskFromRGBAImageColorRange(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                           int32_t tolerance, int32_t level) {
    CreateMaskFromColorRange(globalEngine(), picture, red, green, blue, tolerance, level);
}
void CVX_CreateMaskFromRGBAImageAlphaRange(const uint8_t* picture, int32_t alpha, int32_t tolerance, int32_t level) {
    CreateMaskFromAlphaRange(globalEngine(), picture, alpha, tolerance, level);
}
void CVX_CreateMaskFromRGBAImageLuminanceRange(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                               int32_t tolerance, int32_t level) {
    CreateMaskFromLuminanceRange(globalEngine(), picture, red, green, blue, tolerance, level);
}
void CVX_CreateMaskFromRGBAImageHueRange(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                         int32_t tolerance, int32_t level) {
    CreateMaskFromHueRange(globalEngine(), picture, red, green, blue, tolerance, level);
}
void CVX_CreateMaskFromRGBAImageHSLRange(const uint8_t* picture, int32_t red, int32_t green, int32_t blue,
                                         double hueTolerance, double saturationTolerance, double lightnessTolerance,
                                         int32_t level) {
    CreateMaskFromHSLRange(globalEngine(), picture, red, green, blue, hueTolerance, saturationTolerance,
                           lightnessTolerance, level);
}
void CVX_ApplyMaskToAlphaRect_RGBA32(uint8_t* buffer, int32_t stride, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    ApplyMaskToAlphaRect(globalEngine(), buffer, stride, x0, y0, x1, y1);
}
void CVX_ApplyMaskToAlpha_RGBA32(uint8_t* buffer) {
    const CanvasState& c = globalEngine().canvas;
    ApplyMaskToAlphaRect(globalEngine(), buffer, c.width * 4, 0, 0, c.width - 1, c.height - 1);
}
void CVX_ApplyMaskToAlpha_IPLSrcRGBA(void) {
    Engine& e = globalEngine();
    if (!e.effects.source32.empty() && e.mask.gating())
        CVX_ApplyMaskToAlpha_RGBA32(reinterpret_cast<uint8_t*>(e.effects.source32.data()));
}
void CVX_ReplaceFromRGBAImageAlphaRange(uint8_t* picture, int32_t alpha, int32_t tolerance, int32_t red,
                                        int32_t green, int32_t blue, int32_t newAlpha) {
    ReplaceFromAlphaRange(globalEngine(), picture, alpha, tolerance, red, green, blue, newAlpha);
}

void CVX_InvertAlpha_RGBA32(uint8_t* picture) { InvertAlphaRGBA32(globalEngine().canvas, picture); }
void CVX_InvertAlpha(int32_t layer) { InvertAlpha(globalEngine(), layer); }
void CVX_SetColorAlpha(int32_t red, int32_t green, int32_t blue) { SetColorAlpha(globalEngine(), red, green, blue); }
void CVX_SetColorAlphaRGBABuf(uint8_t* picture, int32_t width, int32_t height, int32_t red, int32_t green,
                              int32_t blue) {
    SetColorAlphaRGBA32(picture, width, height, red, green, blue);
}
void CVX_SetColorRGBABuf(uint8_t* picture, int32_t width, int32_t height, int32_t red, int32_t green, int32_t blue) {
    SetColorRGBA32(picture, width, height, red, green, blue);
}
void CVX_SetLayerAlpha(int32_t layer, int32_t value) { SetLayerAlpha(globalEngine(), layer, value); }
void CVX_NormalizeLayerAlpha(int32_t layer) { NormalizeLayerAlpha(globalEngine(), layer); }
void CVX_BlurPaintLayerAlpha(void) {
    Engine& e = globalEngine();
    guarded(e, "BlurPaintLayerAlpha Excpt", [&] { BlurPaintLayerAlpha(e); });
}
void CVX_SetAlphaFromRGBAImageColor(uint8_t* picture, int32_t red, int32_t green, int32_t blue) {
    SetAlphaFromRGBAColor(globalEngine().canvas, picture, red, green, blue);
}
void CVX_CreateBlobFromImage(int32_t layer, int32_t mode) { CreateBlobFromImage(globalEngine(), layer, mode); }

}  // extern "C"
