#include "history/history.h"

#include <algorithm>
#include <cstring>

namespace calv {
namespace {

// Copies the overlapping top-left part of two planes of the same pixel format.
template <class Px>
void copyOverlap(const Plane<Px>& from, Plane<Px>& to) {
    const int32_t w = std::min(from.width(), to.width()), h = std::min(from.height(), to.height());
    for (int32_t y = 0; y < h; ++y) std::memcpy(to.row(y), from.row(y), std::size_t(w) * sizeof(Px));
}

}  // namespace

int32_t underLayerKB(const CanvasState& canvas) {
    return int32_t(int64_t(canvas.width) * canvas.height * 10 / 1024);
}

void SaveUndoBackBuffer(Engine& engine, int32_t slot) {
    HistoryState& h = engine.history;
    if (h.paused) return;
    if (Layer* layer = engine.layers.withPixels(slot); layer && !h.underLayer.empty())
        copyOverlap(layer->pixels, h.underLayer);
    if (!engine.mask.plane.empty() && !h.underMask.empty()) copyOverlap(engine.mask.plane, h.underMask);
}

void ClearUndo(Engine& engine) {
    HistoryState& h = engine.history;
    h.undoLeft = engine.canvas.width - 1;
    h.undoTop = engine.canvas.height - 1;
    h.undoRight = h.undoBottom = 0;
    h.paused = false;
    h.redoCount = 0;
    h.undoMemoryKB = underLayerKB(engine.canvas);
    SaveUndoBackBuffer(engine, engine.layers.currentLayer);
}

bool CanUndoStep(const Engine&) {
    return false;  // no steps are held yet
}

int64_t ReduceUndo(Engine&, int64_t) {
    return 0;  // no steps are held yet
}

}  // namespace calv
