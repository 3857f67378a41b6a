// The transfer image: pictures from files (and later the clipboard, screen and scanner)
// pass through it on their way into the canvas or back to the host.
#pragma once
#include <cstdint>

#include "engine/pixel.h"
#include "engine/plane.h"

namespace calv {

struct TransferState {
    Plane<RGBA32> image;  // empty when there is none
    // The size last made, kept after the image is deleted.
    int32_t width = 0, height = 0;
};

}  // namespace calv
