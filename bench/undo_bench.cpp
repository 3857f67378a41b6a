// Saving and undoing one 64 x 64 stroke rectangle: the cost must follow the rectangle,
// not the canvas, so the figures for a 1000 x 1000 and a 10000 x 10000 canvas should
// be close. Figures are save-and-undo pairs per second.
#include <benchmark/benchmark.h>

#include "api/calvcore.h"
#include "engine/engine.h"

namespace {

void BM_SaveAndUndoStroke(benchmark::State& state) {
    const int32_t side = int32_t(state.range(0));
    const bool automaticBudget = state.range(1) != 0;
    CVX_CreateImage(nullptr, side, side, 64, 0);
    CVX_CreateLayer(2, side, side);
    CVX_SetLayer(2);
    CVX_SetUndoMB(automaticBudget ? 0 : 4096);
    CVX_SetUndoLevels(100);
    calv::HistoryState& h = calv::globalEngine().history;
    int32_t k = 0;
    for (auto _ : state) {
        // The area a stroke's dabs leave: 64 x 64 pixels once read inclusively.
        const int32_t x = 100 + (k++ % 8) * 64;
        h.undoLeft = x, h.undoTop = 100, h.undoRight = x + 63, h.undoBottom = 163;
        CVX_SaveUndoBuffer(1, 1);
        CVX_Undo();
    }
    state.SetItemsProcessed(state.iterations());
    CVX_DeleteImage();
}
BENCHMARK(BM_SaveAndUndoStroke)
    ->ArgNames({"side", "auto_budget"})
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
