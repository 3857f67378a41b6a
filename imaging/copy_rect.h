// Plain rectangle copies between planes of one pixel format.
#pragma once
#include <cstdint>
#include <cstring>

#include "engine/plane.h"

namespace calv {

// Copies the width x height block at (sx, sy) of `from` onto `to` at (dx, dy). The block
// is clipped to both planes, so a rectangle reaching past either copies only what both hold.
template <class Px>
void copyRect(const Plane<Px>& from, int32_t sx, int32_t sy, int32_t width, int32_t height, Plane<Px>& to,
              int32_t dx, int32_t dy) {
    const ClippedRect in = clipRect(sx, sy, width, height, from.width(), from.height());
    if (in.empty()) return;
    const ClippedRect out = clipRect(dx + in.srcX, dy + in.srcY, in.width, in.height, to.width(), to.height());
    if (out.empty()) return;
    const int32_t x0 = in.x + out.srcX, y0 = in.y + out.srcY;
    for (int32_t y = 0; y < out.height; ++y)
        std::memcpy(to.row(out.y + y) + out.x, from.row(y0 + y) + x0, std::size_t(out.width) * sizeof(Px));
}

}  // namespace calv
