#include "imaging/deflate.h"

#include <zlib.h>

#include <algorithm>

namespace calv::imaging {

std::size_t deflateBuffer(const uint8_t* src, std::size_t size, uint8_t* dst, std::size_t capacity, int level) {
    if (!src || !dst) return 0;
    level = level < 0 ? Z_DEFAULT_COMPRESSION : std::min(level, 9);
    uLongf written = capacity;
    if (compress2(dst, &written, src, size, level) != Z_OK) return 0;
    return written;
}

bool inflateBuffer(const uint8_t* src, std::size_t size, uint8_t* dst, std::size_t expected) {
    if (!src || !dst) return false;
    uLongf produced = expected;
    uLong consumed = size;
    // uncompress2 stops at the stream's end and fails on a stream that needs more room.
    return uncompress2(dst, &produced, src, &consumed) == Z_OK && produced == expected;
}

std::size_t deflateBound(std::size_t size) { return compressBound(size); }

}  // namespace calv::imaging
