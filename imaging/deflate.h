// Deflate streams (zlib format) for stored layer blocks.
#pragma once
#include <cstddef>
#include <cstdint>

namespace calv::imaging {

// Compresses `size` bytes into `dst` (room for `capacity` bytes) at `level` (0..9, -1 for
// the default; others are brought into that range). Returns the stream's length, or 0
// when it does not fit or cannot be made.
std::size_t deflateBuffer(const uint8_t* src, std::size_t size, uint8_t* dst, std::size_t capacity, int level);

// Inflates a stream into `dst`; true only when it yields exactly `expected` bytes.
bool inflateBuffer(const uint8_t* src, std::size_t size, uint8_t* dst, std::size_t expected);

// The largest stream `size` bytes can deflate to.
std::size_t deflateBound(std::size_t size);

}  // namespace calv::imaging
