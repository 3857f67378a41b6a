#include "mask/alpha_ops.h"

#include <algorithm>
#include <new>

#include "imaging/plane_draw.h"

namespace calv {
namespace {

constexpr double kInvMax16 = 1.5259254737998596e-05;  // 1 / 65535

// Calls fn(pixel) for every pixel of a layer with pixels; nothing for none.
template <class Fn>
void forLayerPixels(Layer* layer, Fn&& fn) {
    if (!layer || !layer->hasPixels()) return;
    RGBA64* p = layer->pixels.data();
    for (std::size_t i = 0, n = layer->pixels.pixelCount(); i < n; ++i) fn(p[i]);
}

// Calls fn(bytes) for every pixel of a count-pixel RGBA32 picture.
template <class Fn>
void forPicturePixels(uint8_t* picture, int64_t count, Fn&& fn) {
    if (!picture) return;
    for (int64_t i = 0; i < count; ++i) fn(picture + i * 4);
}

int64_t canvasPixels(const CanvasState& c) { return int64_t(c.width) * c.height; }
int64_t pixels(int32_t width, int32_t height) { return int64_t(std::max(width, 0)) * std::max(height, 0); }

}  // namespace

void InvertAlphaRGBA32(const CanvasState& canvas, uint8_t* picture) {
    forPicturePixels(picture, canvasPixels(canvas), [](uint8_t* p) { p[3] = uint8_t(255 - p[3]); });
}

void InvertAlpha(Engine& engine, int32_t slot) {
    forLayerPixels(engine.layers.withPixels(slot), [](RGBA64& p) { p.a = uint16_t(65535 - p.a); });
}

void SetColorAlpha(Engine& engine, int32_t r, int32_t g, int32_t b) {
    const uint16_t R = uint16_t((r & 255) * 257), G = uint16_t((g & 255) * 257), B = uint16_t((b & 255) * 257);
    forLayerPixels(engine.layers.currentWithPixels(), [&](RGBA64& p) {
        if (p.a < 0x100) p = {R, G, B, 0};
    });
}

void SetColorAlphaRGBA32(uint8_t* picture, int32_t width, int32_t height, int32_t r, int32_t g, int32_t b) {
    forPicturePixels(picture, pixels(width, height), [&](uint8_t* p) {
        if (p[3] == 0) p[0] = uint8_t(r), p[1] = uint8_t(g), p[2] = uint8_t(b);
    });
}

void SetColorRGBA32(uint8_t* picture, int32_t width, int32_t height, int32_t r, int32_t g, int32_t b) {
    forPicturePixels(picture, pixels(width, height), [&](uint8_t* p) {
        p[0] = uint8_t(r), p[1] = uint8_t(g), p[2] = uint8_t(b);
    });
}

void SetLayerAlpha(Engine& engine, int32_t slot, int32_t value) {
    forLayerPixels(engine.layers.withPixels(slot), [a = uint16_t(value)](RGBA64& p) { p.a = a; });
}

void NormalizeLayerAlpha(Engine& engine, int32_t slot) {
    Layer* layer = engine.layers.withPixels(slot);
    if (!layer) return;
    const uint32_t opacity = layer->opacity;
    forLayerPixels(layer, [opacity](RGBA64& p) { p.a = uint16_t((p.a * opacity) >> 8); });
    layer->opacity = 256;
}

void BlurPaintLayerAlpha(Engine& engine) {
    Layer& paint = engine.layers.paint;
    if (!paint.hasPixels()) return;
    const int32_t w = paint.width(), h = paint.height();
    Plane<G8> alpha, blurred;
    alpha.allocate(w, h);
    blurred.allocate(w, h);
    const RGBA64* p = paint.pixels.data();
    const std::size_t n = paint.pixels.pixelCount();
    for (std::size_t i = 0; i < n; ++i) alpha.data()[i] = uint8_t(p[i].a >> 8);
    gaussianBlur8(alpha.data(), blurred.data(), w, h, 3.0);
    RGBA64* q = paint.pixels.data();
    // The interior (high byte 240 and above) stays fully opaque; the edge takes the blur.
    for (std::size_t i = 0; i < n; ++i) q[i].a = alpha.data()[i] >= 240 ? 65535 : uint16_t(blurred.data()[i] << 8);
}

void SetAlphaFromRGBAColor(const CanvasState& canvas, uint8_t* picture, int32_t r, int32_t g, int32_t b) {
    forPicturePixels(picture, canvasPixels(canvas), [&](uint8_t* p) {
        if (p[0] == r && p[1] == g && p[2] == b) p[3] = 0;
    });
}

void CreateBlobFromImage(Engine& engine, int32_t slot, int32_t mode) {
    forLayerPixels(engine.layers.withPixels(slot), [mode](RGBA64& p) {
        const uint32_t l = (uint32_t(p.r) + p.g + p.b) / 3;
        const uint16_t newAlpha = uint16_t(l * 0.843 + 10239);
        if (mode != 1) {
            p.r = p.g = p.b = 0x7FFF;
        } else if (l < 0x7FFF) {
            const double u = (0x7FFF - l) * kInvMax16;
            for (uint16_t* c : {&p.r, &p.g, &p.b}) *c = uint16_t(*c + (0xFFFF - *c) * u);
        } else {
            const double u = (l - 0x7FFF) * kInvMax16;
            for (uint16_t* c : {&p.r, &p.g, &p.b}) *c = uint16_t(*c - *c * u);
        }
        if (p.a > 8191) p.a = newAlpha;
    });
}

}  // namespace calv
