// The layer table and the paint layer.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Largest side a layer may have: that of the largest canvas.
constexpr int32_t kMaxLayerSide = kMaxCanvasSide;

// Host percentages (0..100) to the engine's 0..256: percent x 2.56, truncated.
uint16_t percentTo256(int32_t percent);

bool CreateLayer(Engine& engine, int32_t slot, int32_t width, int32_t height);
void DeleteLayer(Engine& engine, int32_t slot);
int32_t SetLayerOptions(Engine& engine, int32_t slot, bool visible, bool keepAlpha, int32_t opacityPercent,
                        const char* blendName);
void SetLayer(Engine& engine, int32_t slot);
int32_t GetLayerCount(const Engine& engine);
void SwapLayers(Engine& engine, int32_t a, int32_t b);
void SetAlphaLayerOpacity(Engine& engine, int32_t percent);

int32_t CreatePaintLayer(Engine& engine, int32_t opacityPercent, const char* blendName);
void ClearPaintLayer(Engine& engine);
void ClearPaintLayerOld(Engine& engine);
void MergePaintLayer(Engine& engine, int32_t slot);
void DeletePaintLayer(Engine& engine);

}  // namespace calv
