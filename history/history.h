// Undo history operations used by the canvas and layer code.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Kilobytes the two under-layer planes of a canvas count for.
int32_t underLayerKB(const CanvasState& canvas);

// Copies layer `slot` and the mask plane into the under-layer planes, each only where
// both exist; nothing while the history is paused.
void SaveUndoBackBuffer(Engine& engine, int32_t slot);

// Drops every step and refreshes the under-layer from the current layer.
void ClearUndo(Engine& engine);

// True while a step can be undone: the under-layer then serves as the history image.
bool CanUndoStep(const Engine& engine);

// Frees old steps until `kilobytes` are given back; returns the kilobytes freed.
int64_t ReduceUndo(Engine& engine, int64_t kilobytes);

}  // namespace calv
