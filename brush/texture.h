// The paper texture: a canvas-sized byte plane taken from a "Texturize3" layer.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Builds the texture plane from layer `slot`: t = ((R + G + B) / 3) >> 8 kept to 4..250.
// Returns the plane, or null when the layer holds no pixels or no plane could be had.
uint8_t* CreateTexture(Engine& engine, int32_t slot);
void DeleteTexture(Engine& engine);

}  // namespace calv
