// Brush work areas sized by the largest brush, the random tables and the paper texture.
#pragma once
#include <array>
#include <cstdint>

#include "brush/random.h"
#include "engine/pixel.h"
#include "engine/plane.h"

namespace calv {

constexpr int32_t kBrushWorkBuffers = 20;
// Work buffers are this much larger than the brush in each dimension, so the rasteriser
// needs no bounds tests at the tip's edge.
constexpr int32_t kBrushWorkMargin = 25;

struct BrushState {
    Plane<RGBA64> blendBuffer;  // n x n picked-up paint carried from dab to dab
    Plane<G16> shapePlane;      // n x n tip coverage
    Plane<G16> shapeCompanion;  // built with the tip
    std::array<Plane<G8>, kBrushWorkBuffers> workBuffers;  // (n + 25)^2 grit windows
    Plane<G8> texturePlane;     // canvas-sized paper texture, 4..250, or empty
    RandomGenerator random;
    RandomByteTable gritPlacementTable;
    RandomByteTable gritValueTable;

    void releaseWorkAreas() {
        blendBuffer.release();
        shapePlane.release();
        shapeCompanion.release();
        for (auto& b : workBuffers) b.release();
    }
};

}  // namespace calv
