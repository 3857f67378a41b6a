// Exports of the selection mask.
#include <cstring>

#include "api/calvcore.h"
#include "engine/engine.h"
#include "engine/exports.h"
#include "mask/adjust.h"
#include "mask/mask_ops.h"

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

void CVX_AdjustRGBA32PreFilter(uint8_t* picture, int32_t width, int32_t height) {
    PremultiplyRGBA32(picture, width, height);
}
void CVX_AdjustRGBA32PostFilter(uint8_t* picture, int32_t width, int32_t height) {
    UnpremultiplyRGBA32(picture, width, height);
}

}  // extern "C"
