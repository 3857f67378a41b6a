// Exports of the undo history.
#include "api/calvcore.h"
#include "engine/engine.h"
#include "engine/exports.h"
#include "history/history.h"

using namespace calv;

namespace {
HistoryState& history() { return globalEngine().history; }
}  // namespace

extern "C" {

int32_t CVX_SetUndoLevels(int32_t levels) {
    Engine& e = globalEngine();
    return guarded(e, "ClearUndo Excpt", 0, [&] { return SetUndoLevels(e, levels); });
}
void CVX_SetUndoMB(int32_t megabytes) { SetUndoMB(globalEngine(), megabytes); }
int32_t CVX_GetTotalUndoMemory(void) { return GetTotalUndoMemory(globalEngine()); }
int32_t CVX_GetCurrentUndoMemory(void) { return history().undoMemoryKB / 1024; }
void CVX_PauseUndo(void) { history().paused = true; }
void CVX_ResumeUndo(void) { history().paused = false; }
int32_t CVX_CanUndo(void) { return CanUndoStep(globalEngine()) ? 1 : 0; }
int32_t CVX_CanRedo(void) { return history().redoCount > 0 ? 1 : 0; }
int32_t CVX_GetRedoCount(void) { return history().redoCount; }
int32_t CVX_GetUndoCount(void) { return GetUndoCount(globalEngine()); }
void CVX_SaveUndoBackBuffer(int32_t slot) { SaveUndoBackBuffer(globalEngine(), slot); }
void CVX_SaveUndoBuffer(int32_t saveColor, int32_t saveMask) {
    Engine& e = globalEngine();
    guarded(e, "SaveUndoBuf Excpt", [&] { SaveUndoBuffer(e, flagSet(saveColor), flagSet(saveMask)); });
}
void CVX_Undo(void) { Undo(globalEngine()); }
void CVX_Redo(void) { Redo(globalEngine()); }
void CVX_ClearUndo(void) {
    Engine& e = globalEngine();
    guarded(e, "ClearUndo Excpt", [&] { ClearUndo(e); });
}
int32_t CVX_ReduceUndo(int32_t amount) {
    Engine& e = globalEngine();
    return guarded(e, "RemoveAdandonedUndo Excpt", 0, [&] { return int32_t(ReduceUndo(e, amount)); });
}

}  // extern "C"
