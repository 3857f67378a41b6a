// The pixel compositor: lays a rectangle of one RGBA64 plane onto another under a blend
// mode, an opacity, an optional layer mask and the keep-alpha rule.
#pragma once
#include <cstdint>

#include "engine/pixel.h"

namespace calv {

struct BlendRequest {
    const RGBA64* source;
    int32_t sourceX, sourceY, width, height;
    int32_t sourceStride;        // 16-bit units
    const RGBA64* maskPixels;    // a "Layer Mask" layer at the source's coordinates, or null
    int32_t maskStride;          // 16-bit units
    RGBA64* destination;
    int32_t destX, destY;
    int32_t destStride;          // 16-bit units
    int32_t mode;
    int32_t maskMode;            // 39 when maskPixels applies
    int32_t opacity;             // 0..256
    bool keepAlpha;
    bool sameAlphaMode;          // merging into a layer of the same alpha mode
    uint16_t alphaLayerOpacity;  // the alpha modes' replacement alpha
};

void BlendLayerPixels(const BlendRequest& request);

}  // namespace calv
