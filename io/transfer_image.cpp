#include "io/transfer_image.h"

#include <cstring>
#include <vector>

#include "engine/convert.h"
#include "engine/masked_load.h"
#include "imaging/resample.h"

namespace calv {

RGBA32* CreateNewRGBA(Engine& engine, int32_t width, int32_t height) {
    TransferState& t = engine.transfer;
    t.image.release();
    t.width = width, t.height = height;
    t.image.allocate(width, height);
    return t.image.data();
}

void DeleteNewRGBA(Engine& engine) { engine.transfer.image.release(); }

bool IsNewRGBATransparent(const Engine& engine) {
    const Plane<RGBA32>& img = engine.transfer.image;
    const RGBA32* p = img.data();
    for (std::size_t i = 0, n = img.pixelCount(); i < n; ++i)
        if (p[i].a < 255) return true;
    return false;
}

void SetInNewRGBA(Engine& engine) {
    const Plane<RGBA32>& img = engine.transfer.image;
    Layer* layer = engine.layers.currentWithPixels();
    if (img.empty() || !layer) return;
    LoadRGBA32Layer(engine, reinterpret_cast<const uint8_t*>(img.data()), img.width() * 4, *layer, 0, 0, img.width(),
                    img.height(), true);
}

void GetNewRGBA32(const Engine& engine, uint8_t* dst) {
    const Plane<RGBA32>& img = engine.transfer.image;
    if (dst && !img.empty()) std::memcpy(dst, img.data(), img.bytes());
}

void GetNewRGBA24(const Engine& engine, uint8_t* dst) {
    const Plane<RGBA32>& img = engine.transfer.image;
    if (dst && !img.empty()) RGBA32ToRGB24(reinterpret_cast<const uint8_t*>(img.data()), dst, int64_t(img.pixelCount()));
}

void GetResizedNewRGBA24(const Engine& engine, uint8_t* dst, int32_t width, int32_t height) {
    const Plane<RGBA32>& img = engine.transfer.image;
    if (!dst || img.empty() || width <= 0 || height <= 0) return;
    Plane<RGBA32> scaled;
    scaled.allocate(width, height);
    if (!resamplePicture(reinterpret_cast<const uint8_t*>(img.data()), img.width(), img.height(),
                         reinterpret_cast<uint8_t*>(scaled.data()), width, height, 4))
        return;
    RGBA32ToRGB24(reinterpret_cast<const uint8_t*>(scaled.data()), dst, int64_t(scaled.pixelCount()));
}

}  // namespace calv
