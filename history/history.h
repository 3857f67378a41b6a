// Undo and redo: steps recorded from the under-layer, undone and redone by swapping
// rectangles between the layer, the step and the under-layer.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Kilobytes the two under-layer planes of a canvas count for.
int32_t underLayerKB(const CanvasState& canvas);

// Copies layer `slot` and the mask plane into the under-layer planes, each only where
// both exist; nothing while the history is paused.
void SaveUndoBackBuffer(Engine& engine, int32_t slot);

// Records the undo rectangle of the current layer (colour) and of the mask as one step,
// then brings the under-layer up to date.
void SaveUndoBuffer(Engine& engine, bool saveColour, bool saveMask);
void Undo(Engine& engine);
void Redo(Engine& engine);

// Drops every step and refreshes the under-layer from the current layer.
void ClearUndo(Engine& engine);

// Clears the history and keeps at most `levels` steps from now on; returns the new count.
int32_t SetUndoLevels(Engine& engine, int32_t levels);
// 0: the budget follows the machine's free memory; otherwise `megabytes`.
void SetUndoMB(Engine& engine, int32_t megabytes);
// The budget in megabytes, recomputed first when automatic.
int32_t GetTotalUndoMemory(Engine& engine);

// True while a step can be undone: the under-layer then serves as the history image.
bool CanUndoStep(const Engine& engine);
// Steps holding pixels, redo steps included.
int32_t GetUndoCount(const Engine& engine);

// Frees old steps until `kilobytes` are given back; returns the kilobytes freed.
int64_t ReduceUndo(Engine& engine, int64_t kilobytes);

}  // namespace calv
