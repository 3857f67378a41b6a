#include "brush/settings.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "brush/tip.h"

namespace calv {
namespace {

uint16_t byteChannel(int32_t v) { return widen8(uint8_t(v)); }

}  // namespace

void SetColor(BrushSettings& b, int32_t r, int32_t g, int32_t bl) {
    b.color = {byteChannel(r), byteChannel(g), byteChannel(bl), kFullAlpha16};
}

void SetColor16(BrushSettings& b, int32_t r, int32_t g, int32_t bl) {
    b.color = {uint16_t(r), uint16_t(g), uint16_t(bl), kFullAlpha16};
}

void SetColorBanks(BrushSettings& b, const int32_t rgb[12]) {
    for (int k = 0; k < 4; ++k)
        b.banks[size_t(k)] = {byteChannel(rgb[k * 3]), byteChannel(rgb[k * 3 + 1]), byteChannel(rgb[k * 3 + 2]),
                              kFullAlpha16};
}

void SetSize(Engine& engine, int32_t n) {
    BrushSettings& b = engine.brush.settings;
    // The scale map bounds the size; a size beyond the canvas's largest brush is left to
    // the dab, which lays nothing with it, so the setter may come before the canvas.
    n = std::min(n, kMaxTipSide);
    b.size = n;
    b.scaleSize = n;
    for (int32_t k = 0; k < n; ++k) b.scaleMap[size_t(k)] = k;
}

void SetScaleSize(BrushSettings& b, int32_t n) {
    n = std::min({std::max(n, 1), std::max(b.size, 1), kMaxTipSide - 1});
    b.scaleSize = n;
    const double q = double(b.size) / n;
    const float step = float(q);
    double v = q * 0.5;
    for (int32_t k = 0; k < n; ++k) {
        b.scaleMap[size_t(k)] = int32_t(v);
        v += step;
    }
}

void SetAlpha(BrushSettings& b, int32_t percent) {
    b.alpha = percent;
    b.alphaScaled = int32_t(percent * 1.28);
}

void SetPixColorVary(Engine& engine, int32_t v) {
    engine.brush.settings.pixColorVary = v;
    if (v > 0) MakeRandArrayByte(engine, engine.brush.pixColorVaryTable, 1000, 3 * engine.canvas.maxBrushSize);
}

void SetPixLumVary(Engine& engine, int32_t v) {
    engine.brush.settings.pixLumVary = v;
    if (v > 0) MakeRandArrayByte(engine, engine.brush.pixLumVaryTable, 256, 3 * engine.canvas.maxBrushSize);
}

void SetMixMode(BrushSettings& b, int32_t kind, int32_t amount) {
    b.mixMode = kind;
    b.mixAmount = amount;
    b.mixAmountInv = 256 - amount;
    b.mixShift = int32_t((amount - 127) * (1.0 / 127) * 16);
}

void SetRotateBrushMode(BrushSettings& b, int32_t flag, int32_t degrees) {
    b.rotateBrushMode = flag;
    b.rotateAngle = degrees;
    b.rotateRadians = float(degrees * 0.005555555555555556 * 3.14159);
    b.rotateSin = std::sin(b.rotateRadians);
    b.rotateCos = std::cos(b.rotateRadians);
}

void SetTool(Engine& engine, const ToolChoice& t) {
    BrushSettings& b = engine.brush.settings;
    engine.brush.random.seed(engine.process.randomSeed);
    b.tipScale = t.tipScale;
    b.gritSize = std::max(t.gritSize, 0);  // a negative block side would never end a row
    b.gritBlockThreshold = t.gritBlockThreshold;
    b.gritCellThreshold = t.gritCellThreshold;
    b.softness = t.softness;
    b.colorVary = t.colorVary;
    b.drawingLength = t.drawingLength;
    b.blendStrength = t.blendStrength;
    b.primaryColorStrength = t.primaryColorStrength;
    b.blendRemix = t.blendRemix;
    b.invertShape = t.invertShape;
    b.shapeAngle = t.shapeAngle;
    b.mixMode = kMixNormal;
    if (b.gritSize != 0) BuildGrit(engine);
    if (t.gritSource && std::strlen(t.gritSource) > 1) LoadGritSource(engine, t.gritSource);
    SetBrushShape(engine, t.shapeSource, t.shapeAngle, true);
    if (b.blendStrength > 0) b.blendStrengthInv = 256 - b.blendStrength;
    if (b.primaryColorStrength > 0) b.primaryColorStrengthInv = 256 - b.primaryColorStrength;
    b.blendDisabledOnce = b.maskMakerOn = b.eraseModeOn = false;
}

}  // namespace calv
