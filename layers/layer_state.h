// The layer table, the paint layer and the view settings.
#pragma once
#include <array>
#include <cstdint>

#include "engine/pixel.h"
#include "engine/plane.h"

namespace calv {

constexpr int32_t kLayerSlots = 64;
constexpr int32_t kTraceSlot = 0;       // the reference picture shown in tracing mode
constexpr int32_t kBackgroundSlot = 1;  // opaque white when created; the base of every merge

constexpr bool isLayerSlot(int32_t slot) { return slot >= 0 && slot < kLayerSlots; }

// Left and top inclusive, right and bottom exclusive; empty when left >= right.
struct DirtyRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return left >= right || top >= bottom; }
};

struct Layer {
    Plane<RGBA64> pixels;  // empty = the slot holds no layer
    bool visible = false;
    bool keepAlpha = false;  // loads, direct dabs and effects leave alpha as it is
    uint16_t opacity = 0;    // 0..256 for 0..100 per cent
    int32_t blendMode = 0;
    DirtyRect dirty;  // used by the paint layer only

    bool hasPixels() const { return !pixels.empty(); }
    int32_t width() const { return pixels.width(); }
    int32_t height() const { return pixels.height(); }
    int32_t stride() const { return pixels.width() * 4; }  // row length in 16-bit units
};

struct LayerState {
    std::array<Layer, kLayerSlots> table;
    int32_t currentLayer = 0;
    Layer* currentRecord = nullptr;  // null until a layer is selected
    int32_t topLayer = 1;            // highest slot 1..63 with pixels, as of the last options change
    Layer paint;                     // the stroke in progress, canvas-sized
    uint16_t alphaLayerOpacity = 65535;

    Layer& trace() { return table[kTraceSlot]; }
    // The current layer when one is selected and holds pixels, else null.
    Layer* currentWithPixels() { return currentRecord && currentRecord->hasPixels() ? currentRecord : nullptr; }
    // Slot `slot` when it is a valid slot holding pixels, else null.
    Layer* withPixels(int32_t slot) {
        return isLayerSlot(slot) && table[size_t(slot)].hasPixels() ? &table[size_t(slot)] : nullptr;
    }
};

struct ViewState {
    int32_t scale = 1;
    float zoom = 1.0f;
    int32_t offsetX = 0, offsetY = 0;
    int32_t width = 0, height = 0;
    bool tracingMode = false;
};

}  // namespace calv
