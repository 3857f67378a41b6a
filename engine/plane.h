// An owning, packed plane of pixels: rows follow one another without gaps, so a row is
// `width` pixels long. Engine planes are addressed by pixel; host buffers by byte stride
// (HostRows below), and the two are never mixed.
#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>

#include "engine/alloc.h"

namespace calv {

template <class Px>
class Plane {
public:
    Plane() = default;

    // Allocates width x height pixels; contents are not initialised. Negative sizes count
    // as zero. Throws std::bad_alloc; the plane is left empty then.
    void allocate(int32_t width, int32_t height) {
        release();
        int32_t w = std::max(width, 0), h = std::max(height, 0);
        data_ = allocateBlock<Px>(std::size_t(w) * std::size_t(h));
        width_ = w;
        height_ = h;
    }
    void release() {
        data_.reset();
        width_ = height_ = 0;
    }

    bool empty() const { return data_ == nullptr; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    std::size_t pixelCount() const { return std::size_t(width_) * std::size_t(height_); }
    std::size_t bytes() const { return pixelCount() * sizeof(Px); }

    Px* data() { return data_.get(); }
    const Px* data() const { return data_.get(); }
    Px* row(int32_t y) { return data_.get() + std::size_t(y) * std::size_t(width_); }
    const Px* row(int32_t y) const { return data_.get() + std::size_t(y) * std::size_t(width_); }
    Px& at(int32_t x, int32_t y) { return row(y)[x]; }
    const Px& at(int32_t x, int32_t y) const { return row(y)[x]; }
    bool contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    void fill(const Px& value) { std::fill_n(data_.get(), pixelCount(), value); }

private:
    std::unique_ptr<Px[]> data_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// A host buffer borrowed for one call: rows `strideBytes` apart.
template <class Px, class Byte = uint8_t>
struct HostRows {
    Byte* base;
    int32_t strideBytes;
    auto row(int32_t y) const {
        using Out = std::conditional_t<std::is_const_v<Byte>, const Px*, Px*>;
        return reinterpret_cast<Out>(base + std::ptrdiff_t(y) * strideBytes);
    }
};

// The part of a width x height rectangle at (x, y) that lies inside a w x h plane, with
// the offset into the source that clipping at the left and top edges skips.
struct ClippedRect {
    int32_t srcX = 0, srcY = 0;  // first source column and row used
    int32_t x = 0, y = 0;        // first destination column and row
    int32_t width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

inline ClippedRect clipRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t planeWidth,
                            int32_t planeHeight) {
    ClippedRect c;
    int64_t x0 = x, y0 = y, x1 = int64_t(x) + width, y1 = int64_t(y) + height;
    int64_t cx0 = std::max<int64_t>(x0, 0), cy0 = std::max<int64_t>(y0, 0);
    int64_t cx1 = std::min<int64_t>(x1, planeWidth), cy1 = std::min<int64_t>(y1, planeHeight);
    if (cx1 <= cx0 || cy1 <= cy0) return c;
    c.srcX = int32_t(cx0 - x0);
    c.srcY = int32_t(cy0 - y0);
    c.x = int32_t(cx0);
    c.y = int32_t(cy0);
    c.width = int32_t(cx1 - cx0);
    c.height = int32_t(cy1 - cy0);
    return c;
}

}  // namespace calv
