// Undo history: the under-layer (the current layer and mask as they were before the
// change in progress) and the steps, each holding only the rectangle its change touched.
#pragma once
#include <array>
#include <cstdint>

#include "engine/pixel.h"
#include "engine/plane.h"

namespace calv {

constexpr int32_t kMaxUndoLevels = 500;

// One step: the pixels of a rectangle (edges inclusive) of one layer and of the mask.
// Before it is undone they are the pixels from before the change; after, from after it.
struct UndoStep {
    Plane<RGBA64> colour;  // width x height, packed; empty when the step kept no colour
    Plane<G16> mask;       // likewise for the mask
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t layer = 0;  // the slot the colour belongs to

    bool holdsPlanes() const { return !colour.empty() || !mask.empty(); }
};

struct HistoryState {
    Plane<RGBA64> underLayer;  // canvas-sized copy of the current layer
    Plane<G16> underMask;      // canvas-sized copy of the mask plane
    // steps[0] is the newest; steps[0 .. redoCount - 1] have been undone and hold redo data.
    std::array<UndoStep, kMaxUndoLevels> steps;
    int32_t levels = 0;  // steps in use, 0..500
    int32_t redoCount = 0;
    bool paused = false;
    int32_t budgetKB = 0;
    bool budgetAuto = false;  // the budget follows the machine's free memory
    int32_t undoMemoryKB = 0;
    // The area changed since the last save; dabs store exclusive right and bottom edges.
    int32_t undoLeft = 0, undoTop = 0, undoRight = 0, undoBottom = 0;
};

}  // namespace calv
