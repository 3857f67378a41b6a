// Brush work areas sized by the largest brush, the random tables and the paper texture.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "brush/random.h"
#include "engine/pixel.h"
#include "engine/plane.h"

namespace calv {

constexpr int32_t kBrushWorkBuffers = 20;
// Work buffers are this much larger than the brush in each dimension, so the rasteriser
// needs no bounds tests at the tip's edge.
constexpr int32_t kBrushWorkMargin = 25;

constexpr int32_t kMaxTipSide = 1000;  // the length of the scale map
constexpr int32_t kMixNormal = 32;
constexpr int32_t kMixMultiply = 33;

// The settings the host gives the brush. All zero at load, so nothing is laid before a
// tool is chosen; they survive canvas creation, resizing and deletion.
struct BrushSettings {
    RGBA64 color{0, 0, 0, 0};
    std::array<RGBA64, 4> banks{};

    int32_t size = 0;       // side of the square tip
    int32_t scaleSize = 0;  // side of the square a dab covers
    std::array<int32_t, kMaxTipSide> scaleMap{};  // dab pixel -> tip pixel, rows and columns
    int32_t shapeBlur = 0;
    float tipScale = 0.0f;
    uint8_t softness = 0;
    bool invertShape = false;
    int32_t shapeAngle = 0;

    int32_t gritSize = 0;  // 0: no grit
    int32_t gritBlockThreshold = 0;
    int32_t gritCellThreshold = 0;
    int32_t drawingLength = 0;
    int32_t drawingLengthLeft = 0;
    int32_t gritBuffer = 0;   // the grit window: a buffer
    int32_t gritOffset = 0;   // and a start inside it (row length maxBrushSize)
    int32_t densityLimit = 0; // density - 1: grit values above it are not laid

    int32_t alpha = 0;  // per cent; 100 and more lays the tip unchanged
    int32_t alphaScaled = 0;
    int32_t colorVary = 0;
    int32_t pixColorVary = 0;
    int32_t pixLumVary = 0;

    int32_t blendStrength = 0;
    int32_t blendStrengthInv = 0;
    int32_t primaryColorStrength = 0;
    int32_t primaryColorStrengthInv = 0;
    bool blendRemix = false;
    int32_t mixMode = 0;
    int32_t mixAmount = 0;
    int32_t mixAmountInv = 0;
    int32_t mixShift = 0;

    int32_t imageBrushMode = 0;
    int32_t solidBrushMode = 0;
    int32_t rotateBrushMode = 0;
    int32_t rotateAngle = 0;
    float rotateRadians = 0.0f, rotateSin = 0.0f, rotateCos = 0.0f;
    int32_t alphaLocked = 0;
    int32_t colorLocked = 0;
    int32_t blobLocked = 0;
    int32_t alphaLevel = 0;

    // One-dab flags, consumed by the next dab laid into a layer and cleared by a tool.
    bool blendDisabledOnce = false;
    bool maskMakerOn = false;
    bool eraseModeOn = false;
};

// A picture read for an image tip, kept (turned by its angle) until another source or
// angle is asked for.
struct TipSource {
    std::vector<uint8_t> rgba;  // width x height RGBA32
    int32_t width = 0, height = 0;
    std::string name;
    int32_t angle = 0;

    bool empty() const { return rgba.empty(); }
    void clear() { *this = TipSource{}; }
};

// What each byte of the two variation tables does to a pixel for the current variation
// amounts, made again when an amount changes: otherwise every pixel would take the byte's
// remainder by the amount.
struct VariationLookups {
    uint32_t colourVary = 0, lumVary = 0;  // the amounts they were made for; 0 = not made
    std::array<int64_t, 256> colourOffset{};
    std::array<double, 256> lumFactor{};
};

struct BrushState {
    BrushSettings settings;
    VariationLookups variation;
    TipSource tipSource;
    RandomByteTable pixColorVaryTable;
    RandomByteTable pixLumVaryTable;
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
        tipSource.clear();
    }
};

}  // namespace calv
