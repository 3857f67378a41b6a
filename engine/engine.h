// The engine: one state struct per subsystem, aggregated. Internal functions take the
// engine (or the part they need) by reference; only the exports reach the process-wide
// instance.
#pragma once
#include <cstdint>

#include "brush/brush_state.h"
#include "effects/effects_state.h"
#include "history/history_state.h"
#include "io/io_state.h"
#include "layers/layer_state.h"
#include "mask/mask_state.h"

namespace calv {

constexpr int32_t kMaxCanvasSide = 10000;

struct CanvasState {
    void* hostWindow = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;  // row length of canvas-sized RGBA64 planes, 16-bit units
    int32_t maxBrushSize = 0;
    int32_t brushStride = 0;  // row length of the blend buffer, 16-bit units
};

struct ProcessState {
    char lastError[512] = {};
    char startDir[1024] = {};
    uint32_t randomSeed = 0;
    bool displayChanged = false;
};

struct Engine {
    CanvasState canvas;
    LayerState layers;
    ViewState view;
    BrushState brush;
    MaskState mask;
    HistoryState history;
    EffectsState effects;
    TransferState transfer;
    ProcessState process;
};

// The part of a layer that lies on the canvas: what whole-layer operations cover.
inline ClippedRect onCanvas(const CanvasState& canvas, const Layer& layer) {
    return clipRect(0, 0, canvas.width, canvas.height, layer.width(), layer.height());
}

// The instance the exports drive.
Engine& globalEngine();

void setLastError(ProcessState& process, const char* text);

// Runs `body`; any exception becomes the last-error text `failureText` and the result
// `onFailure`. Nothing done before the failure is undone.
template <class R, class F>
R guarded(Engine& engine, const char* failureText, R onFailure, F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        setLastError(engine.process, failureText);
        return onFailure;
    }
}
template <class F>
void guarded(Engine& engine, const char* failureText, F&& body) noexcept {
    try {
        body();
    } catch (...) {
        setLastError(engine.process, failureText);
    }
}

}  // namespace calv
