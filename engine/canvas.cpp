#include "engine/canvas.h"

#include <algorithm>

#include "brush/random.h"
#include "brush/texture.h"
#include "history/history.h"
#include "layers/layer_table.h"

namespace calv {
namespace {

constexpr int32_t kOutOfRangeSide = 100;
constexpr int32_t kGritTableLength = 1'000'000;

// Geometry shared by create and resize. A negative brush size counts as 0.
void storeGeometry(Engine& engine, void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize) {
    CanvasState& c = engine.canvas;
    c.hostWindow = hostWindow;
    c.width = clampCanvasSide(width);
    c.height = clampCanvasSide(height);
    c.stride = c.width * 4;
    c.maxBrushSize = std::max(maxBrushSize, 0);
    c.brushStride = c.maxBrushSize * 4;
    engine.view.scale = 1;
    engine.view.zoom = 1.0f;
    engine.view.offsetX = engine.view.offsetY = 0;
}

// The brush work areas for the largest brush; the blend buffer starts clean.
void allocateBrushAreas(Engine& engine) {
    BrushState& b = engine.brush;
    const int32_t n = engine.canvas.maxBrushSize;
    for (auto& buffer : b.workBuffers) buffer.allocate(n + kBrushWorkMargin, n + kBrushWorkMargin);
    b.shapePlane.allocate(n, n);
    b.blendBuffer.allocate(n, n);
    b.blendBuffer.fill(RGBA64{0, 0, 0, 0});
}

// The mask (open everywhere, enabled) and the under-layer planes.
void allocateCanvasPlanes(Engine& engine) {
    const CanvasState& c = engine.canvas;
    engine.mask.plane.allocate(c.width, c.height);
    engine.mask.plane.fill(kMaskOpen);
    engine.mask.enabled = true;
    engine.view.tracingMode = false;
    engine.history.underLayer.allocate(c.width, c.height);
    engine.history.underMask.allocate(c.width, c.height);
}

void buildGritTables(Engine& engine) {
    MakeRandArrayByte(engine, engine.brush.gritPlacementTable, 255, kGritTableLength);
    MakeRandArrayByte(engine, engine.brush.gritValueTable, 254, kGritTableLength);
}

// What resize and delete free alike: the canvas planes, the history and the brush areas.
void releaseCanvasPlanes(Engine& engine) {
    engine.mask.plane.release();
    DeleteTexture(engine);
    engine.history.underLayer.release();
    engine.history.underMask.release();
    ClearUndo(engine);
    engine.history.undoMemoryKB = 0;
    engine.brush.releaseWorkAreas();
    engine.layers.paint.pixels.release();
    engine.effects.releaseAll();
}

}  // namespace

int32_t clampCanvasSide(int32_t side) { return side < 0 || side > kMaxCanvasSide ? kOutOfRangeSide : side; }

void CreateImage(Engine& engine, void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize) {
    storeGeometry(engine, hostWindow, width, height, maxBrushSize);
    for (Layer& layer : engine.layers.table) layer.pixels.release();
    engine.layers.currentRecord = nullptr;
    allocateBrushAreas(engine);
    allocateCanvasPlanes(engine);
    ClearUndo(engine);
    engine.history.undoMemoryKB = underLayerKB(engine.canvas);
    buildGritTables(engine);
    engine.effects.releaseAll();
}

void NewSize(Engine& engine, void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize) {
    releaseCanvasPlanes(engine);
    storeGeometry(engine, hostWindow, width, height, maxBrushSize);
    allocateBrushAreas(engine);
    allocateCanvasPlanes(engine);
    ClearUndo(engine);
    engine.history.undoMemoryKB = underLayerKB(engine.canvas);
    buildGritTables(engine);
}

void DeleteImage(Engine& engine) {
    releaseCanvasPlanes(engine);
    for (int32_t slot = 0; slot < kLayerSlots; ++slot) DeleteLayer(engine, slot);
}

}  // namespace calv
