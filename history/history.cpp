#include "history/history.h"

#include <algorithm>
#include <new>

#include "imaging/copy_rect.h"
#include "layers/layer_table.h"
#include "platform/memory_status.h"

namespace calv {
namespace {

// Kilobytes a plane of `pixels` pixels of `bytesPerPixel` counts for (truncated).
int32_t planeKB(int64_t pixels, int32_t bytesPerPixel) { return int32_t(pixels * bytesPerPixel / 1024); }

int32_t stepKB(const UndoStep& s) {
    return planeKB(int64_t(s.colour.pixelCount()), sizeof(RGBA64)) + planeKB(int64_t(s.mask.pixelCount()), sizeof(G16));
}

void release(HistoryState& h, UndoStep& s) {
    h.undoMemoryKB = std::max(h.undoMemoryKB - stepKB(s), 0);
    s = UndoStep{};
}

void resetUndoRect(Engine& engine) {
    HistoryState& h = engine.history;
    h.undoLeft = engine.canvas.width - 1;
    h.undoTop = engine.canvas.height - 1;
    h.undoRight = h.undoBottom = 0;
}

// The budget from what the machine has free: the smaller of free physical memory and free
// memory with swap, 85 per cent of it plus what the history already holds, less 20 bytes a
// canvas pixel for the rest of the engine, but never below 15 bytes a canvas pixel.
void updateAutoBudget(Engine& engine) {
    HistoryState& h = engine.history;
    if (!h.budgetAuto) return;
    const platform::MemoryStatus status = platform::memoryStatus();
    const uint64_t freeBytes = std::min(status.physicalBytes, status.withSwapBytes);
    const double x = double(freeBytes / 1024) * 0.85 + h.undoMemoryKB;
    const int64_t e = int64_t(engine.canvas.width) * engine.canvas.height / 1024;
    const int64_t budget = std::max(int64_t(x) - 20 * e, 15 * e);
    h.budgetKB = int32_t(std::min<int64_t>(budget, INT32_MAX));
}

// Drops the steps that have been undone; the older ones move up to the front.
void discardRedo(HistoryState& h) {
    if (h.redoCount <= 0) return;
    const auto first = h.steps.begin(), used = first + h.levels;
    for (auto it = first; it != first + h.redoCount; ++it) release(h, *it);
    std::rotate(first, first + h.redoCount, used);
    h.redoCount = 0;
}

// The three copies of undo and redo: the step's pixels go into the layer and the mask,
// what was there goes into the step, and the under-layer follows the layer.
void swapStep(Engine& engine, UndoStep& s) {
    HistoryState& h = engine.history;
    if (s.layer != engine.layers.currentLayer) SetLayer(engine, s.layer);
    const int32_t w = s.right - s.left + 1, ht = s.bottom - s.top + 1;
    // A step whose layer has since been deleted leaves the other layers alone.
    Layer* layer = engine.layers.currentLayer == s.layer ? engine.layers.currentWithPixels() : nullptr;
    if (!s.colour.empty() && layer) {
        copyRect(s.colour, 0, 0, w, ht, layer->pixels, s.left, s.top);
        copyRect(h.underLayer, s.left, s.top, w, ht, s.colour, 0, 0);
        copyRect(layer->pixels, s.left, s.top, w, ht, h.underLayer, s.left, s.top);
    }
    if (!s.mask.empty()) {
        copyRect(s.mask, 0, 0, w, ht, engine.mask.plane, s.left, s.top);
        copyRect(h.underMask, s.left, s.top, w, ht, s.mask, 0, 0);
        copyRect(engine.mask.plane, s.left, s.top, w, ht, h.underMask, s.left, s.top);
    }
}

// Obtains a plane for a new step, counting it; false when memory cannot be had.
template <class Px>
bool obtain(HistoryState& h, Plane<Px>& plane, int32_t w, int32_t ht) {
    try {
        plane.allocate(w, ht);
    } catch (const std::bad_alloc&) {
        return false;
    }
    h.undoMemoryKB += planeKB(int64_t(w) * ht, sizeof(Px));
    return true;
}

}  // namespace

int32_t underLayerKB(const CanvasState& canvas) { return planeKB(int64_t(canvas.width) * canvas.height, 10); }

void SaveUndoBackBuffer(Engine& engine, int32_t slot) {
    HistoryState& h = engine.history;
    if (h.paused) return;
    if (Layer* layer = engine.layers.withPixels(slot); layer && !h.underLayer.empty())
        copyRect(layer->pixels, 0, 0, layer->pixels.width(), layer->pixels.height(), h.underLayer, 0, 0);
    if (!engine.mask.plane.empty() && !h.underMask.empty())
        copyRect(engine.mask.plane, 0, 0, engine.mask.plane.width(), engine.mask.plane.height(), h.underMask, 0, 0);
}

void SaveUndoBuffer(Engine& engine, bool saveColour, bool saveMask) {
    HistoryState& h = engine.history;
    if (h.paused) return;
    const CanvasState& c = engine.canvas;
    // Dabs leave exclusive right and bottom edges, read here as inclusive: the step covers
    // one column and row more than the dabs touched. An empty or one-pixel-thin area means
    // an operation on the whole picture.
    int32_t left = std::max(h.undoLeft, 0), top = std::max(h.undoTop, 0);
    int32_t right = std::min(h.undoRight, c.width - 1), bottom = std::min(h.undoBottom, c.height - 1);
    if (left >= right || top >= bottom) left = 0, top = 0, right = c.width - 1, bottom = c.height - 1;
    const int32_t w = right - left + 1, ht = bottom - top + 1;
    if (w < 1 || ht < 1) return;
    // A step with neither plane could never be undone and would hide every older step.
    if (!saveColour && !saveMask) {
        resetUndoRect(engine);
        return;
    }

    discardRedo(h);
    updateAutoBudget(engine);

    // Drop the oldest steps until the new one fits the budget (the newest old step stays
    // while it fits or is the only one left) and for as long as memory cannot be had.
    UndoStep step;
    const int32_t newKB = planeKB(int64_t(w) * ht, 10);
    bool obtained = false;
    for (int32_t n = h.levels; n >= 1 && !obtained; --n) {
        release(h, h.steps[size_t(n - 1)]);
        if (h.undoMemoryKB + newKB >= h.budgetKB && n > 1) continue;
        const bool colourOk = !saveColour || !step.colour.empty() || obtain(h, step.colour, w, ht);
        const bool maskOk = !saveMask || !step.mask.empty() || obtain(h, step.mask, w, ht);
        obtained = colourOk && maskOk;
    }

    if (obtained) {
        std::move_backward(h.steps.begin(), h.steps.begin() + h.levels - 1, h.steps.begin() + h.levels);
        step.left = left, step.top = top, step.right = right, step.bottom = bottom;
        step.layer = engine.layers.currentLayer;
        if (saveColour) copyRect(h.underLayer, left, top, w, ht, step.colour, 0, 0);
        if (saveMask) copyRect(h.underMask, left, top, w, ht, step.mask, 0, 0);
        h.steps[0] = std::move(step);
    } else {
        release(h, step);
        if (h.levels > 0) setLastError(engine.process, "SaveUndoBuf Excpt");
    }

    // The under-layer follows the change whether or not a step could be kept, so the next
    // step starts from the right pixels.
    if (Layer* layer = engine.layers.currentWithPixels(); layer && saveColour)
        copyRect(layer->pixels, left, top, w, ht, h.underLayer, left, top);
    if (saveMask) copyRect(engine.mask.plane, left, top, w, ht, h.underMask, left, top);
    resetUndoRect(engine);
}

void Undo(Engine& engine) {
    HistoryState& h = engine.history;
    if (h.paused || !CanUndoStep(engine)) return;
    swapStep(engine, h.steps[size_t(h.redoCount)]);
    ++h.redoCount;
}

void Redo(Engine& engine) {
    HistoryState& h = engine.history;
    if (h.paused || h.redoCount <= 0) return;
    --h.redoCount;
    swapStep(engine, h.steps[size_t(h.redoCount)]);
}

void ClearUndo(Engine& engine) {
    HistoryState& h = engine.history;
    resetUndoRect(engine);
    h.paused = false;
    h.redoCount = 0;
    for (UndoStep& s : h.steps) s = UndoStep{};
    h.undoMemoryKB = underLayerKB(engine.canvas);
    SaveUndoBackBuffer(engine, engine.layers.currentLayer);
    updateAutoBudget(engine);
}

int32_t SetUndoLevels(Engine& engine, int32_t levels) {
    ClearUndo(engine);
    engine.history.levels = std::clamp(levels, 0, kMaxUndoLevels);
    return engine.history.levels;
}

void SetUndoMB(Engine& engine, int32_t megabytes) {
    HistoryState& h = engine.history;
    h.budgetAuto = megabytes == 0;
    if (h.budgetAuto)
        updateAutoBudget(engine);
    else
        h.budgetKB = int32_t(std::clamp<int64_t>(int64_t(megabytes) * 1024, 0, INT32_MAX));
}

int32_t GetTotalUndoMemory(Engine& engine) {
    updateAutoBudget(engine);
    return engine.history.budgetKB / 1024;
}

bool CanUndoStep(const Engine& engine) {
    const HistoryState& h = engine.history;
    return h.redoCount < h.levels && h.steps[size_t(h.redoCount)].holdsPlanes();
}

int32_t GetUndoCount(const Engine& engine) {
    const auto& s = engine.history.steps;
    return int32_t(std::count_if(s.begin(), s.end(), [](const UndoStep& step) { return step.holdsPlanes(); }));
}

int64_t ReduceUndo(Engine& engine, int64_t kilobytes) {
    HistoryState& h = engine.history;
    discardRedo(h);
    int64_t freed = 0;
    for (int32_t n = h.levels; n >= 1 && freed < kilobytes; --n) {
        UndoStep& s = h.steps[size_t(n - 1)];
        if (s.colour.empty()) continue;  // steps of the mask alone are kept
        freed += stepKB(s);
        release(h, s);
    }
    return freed;
}

}  // namespace calv
