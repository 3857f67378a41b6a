#include "engine/convert.h"

#include "engine/plane.h"

namespace calv {
namespace {

template <class Out, class Narrow>
void narrowRows(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t width,
                int32_t height, Narrow narrowPixel) {
    if (!src || !dst) return;
    const HostRows<const RGBA64, const uint8_t> from{src, srcStride};
    const HostRows<Out> to{dst, dstStride};
    for (int32_t y = 0; y < height; ++y) {
        const RGBA64* s = from.row(y);
        Out* d = to.row(y);
        for (int32_t x = 0; x < width; ++x) d[x] = narrowPixel(s[x]);
    }
}

}  // namespace

void RGBA64ToRGBA32(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t width,
                    int32_t height) {
    narrowRows<RGBA32>(src, srcStride, dst, dstStride, width, height, narrow);
}

void RGBA64ToRGB24(const uint8_t* src, int32_t srcStride, uint8_t* dst, int32_t dstStride, int32_t width,
                   int32_t height) {
    narrowRows<RGB24>(src, srcStride, dst, dstStride, width, height, narrowRGB);
}

void RGB24IntoRGBA32(const uint8_t* src, uint8_t* dst, int64_t count) {
    if (!src || !dst) return;
    for (int64_t i = 0; i < count; ++i, src += 3, dst += 4) dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
}

void RGBA32ToRGB24(const uint8_t* src, uint8_t* dst, int64_t count) {
    if (!src || !dst) return;
    for (int64_t i = 0; i < count; ++i, src += 4, dst += 3) dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
}

void RGBA32AlphaToGrey24(const uint8_t* src, uint8_t* dst, int64_t count) {
    if (!src || !dst) return;
    for (int64_t i = 0; i < count; ++i, src += 4, dst += 3) dst[0] = dst[1] = dst[2] = src[3];
}

void RGB24GreyIntoAlpha32(const uint8_t* src, uint8_t* dst, int64_t count) {
    if (!src || !dst) return;
    for (int64_t i = 0; i < count; ++i, src += 3, dst += 4) dst[3] = greyOf(src[0], src[1], src[2]);
}

}  // namespace calv
