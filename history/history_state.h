// Undo history: the under-layer (the current layer and mask as they were before the
// change in progress) and the bookkeeping of the steps.
#pragma once
#include <cstdint>

#include "engine/pixel.h"
#include "engine/plane.h"

namespace calv {

struct HistoryState {
    Plane<RGBA64> underLayer;  // canvas-sized copy of the current layer
    Plane<G16> underMask;      // canvas-sized copy of the mask plane
    int32_t undoMemoryKB = 0;
    // The area changed since the last save; dabs store exclusive right and bottom edges.
    int32_t undoLeft = 0, undoTop = 0, undoRight = 0, undoBottom = 0;
    bool paused = false;
    int32_t redoCount = 0;
};

}  // namespace calv
