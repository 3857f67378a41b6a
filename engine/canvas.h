// The canvas life cycle: create, resize and delete every plane the canvas owns.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// A side below 0 or above 10000 becomes 100; 0 stays 0.
int32_t clampCanvasSide(int32_t side);

void CreateImage(Engine& engine, void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize);
void NewSize(Engine& engine, void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize);
void DeleteImage(Engine& engine);

}  // namespace calv
