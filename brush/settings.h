// The brush setters and the selection of a whole tool.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

void SetColor(BrushSettings& b, int32_t r, int32_t g, int32_t bl);
void SetColor16(BrushSettings& b, int32_t r, int32_t g, int32_t bl);
void SetColorBanks(BrushSettings& b, const int32_t rgb[12]);
void SetSize(Engine& engine, int32_t n);
void SetScaleSize(BrushSettings& b, int32_t n);
void SetAlpha(BrushSettings& b, int32_t percent);
void SetPixColorVary(Engine& engine, int32_t v);
void SetPixLumVary(Engine& engine, int32_t v);
void SetMixMode(BrushSettings& b, int32_t kind, int32_t amount);
void SetRotateBrushMode(BrushSettings& b, int32_t flag, int32_t degrees);

struct ToolChoice {
    float tipScale;
    int32_t gritSize, gritBlockThreshold, gritCellThreshold;
    uint8_t softness;
    int32_t colorVary, drawingLength, blendStrength, primaryColorStrength;
    bool blendRemix, invertShape;
    const char* gritSource;
    const char* shapeSource;
    int32_t shapeAngle;
};

// Stores a tool, builds its grit and its tip; the generator is reseeded first so a tool
// is reproducible for a seed.
void SetTool(Engine& engine, const ToolChoice& tool);

}  // namespace calv
