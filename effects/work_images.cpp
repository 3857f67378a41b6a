#include "effects/work_images.h"

#include <cstring>

#include "engine/canvas_io.h"

namespace calv {
namespace {

// Fills a canvas-sized RGBA32 image from the current layer; false without one.
bool fillFromLayer(Engine& engine, Plane<RGBA32>& image) {
    const Layer* layer = engine.layers.currentWithPixels();
    return layer && GetRGBA32(engine, *layer, reinterpret_cast<uint8_t*>(image.data()), image.width() * 4);
}

}  // namespace

void AllocSrcBuffer32(Engine& engine) {
    Plane<RGBA32>& image = engine.effects.source32;
    image.release();
    image.allocate(engine.canvas.width, engine.canvas.height);
    image.fill({0, 0, 0, 0});
    fillFromLayer(engine, image);
}

int32_t UpdateSrcBuffer32(Engine& engine) {
    Plane<RGBA32>& image = engine.effects.source32;
    if (image.empty()) return 0;
    return fillFromLayer(engine, image) ? engine.canvas.height : 0;
}

void AllocDstBuffer32(Engine& engine) {
    Plane<RGBA32>& image = engine.effects.dest32;
    image.release();
    image.allocate(engine.canvas.width, engine.canvas.height);
}

void AllocSrcBuffer24(Engine& engine) {
    Plane<RGB24>& image = engine.effects.source24;
    image.release();
    image.allocate(engine.canvas.width, engine.canvas.height);
    image.fill({0, 0, 0});
    if (const Layer* layer = engine.layers.currentWithPixels())
        GetRGB24(engine, *layer, reinterpret_cast<uint8_t*>(image.data()), image.width() * 3);
}

void AllocDstBuffer24(Engine& engine) {
    Plane<RGB24>& image = engine.effects.dest24;
    image.release();
    image.allocate(engine.canvas.width, engine.canvas.height);
}

void SetBuffer32(Plane<RGBA32>& image, const uint8_t* pixels) {
    if (image.empty() || !pixels) return;
    std::memcpy(image.data(), pixels, image.bytes());
}

}  // namespace calv
