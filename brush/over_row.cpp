#include "brush/over_row.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CALV_OVER_ROW_WIDE 1
#endif

namespace calv {
namespace {

bool testingAllowsWide = true;

#ifdef CALV_OVER_ROW_WIDE

#define CALV_WIDE __attribute__((target("avx2")))

// x / 65535 for x up to 65535 x 65535, exactly, without a division.
CALV_WIDE inline __m256i div65535(__m256i x) {
    const __m256i one = _mm256_set1_epi32(1);
    return _mm256_srli_epi32(_mm256_add_epi32(_mm256_add_epi32(x, one), _mm256_srli_epi32(x, 16)), 16);
}

// (t x 65535) / na in unsigned 32-bit arithmetic, exactly: a single-precision estimate is
// within one of the quotient and the remainder corrects it.
CALV_WIDE inline __m256i unpremultiply(__m256i t, __m256i na) {
    const __m256i n = _mm256_mullo_epi32(t, _mm256_set1_epi32(65535));
    const __m256 estimate = _mm256_div_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(t), _mm256_set1_ps(65535.0f)),
                                          _mm256_cvtepi32_ps(na));
    __m256i q = _mm256_cvttps_epi32(estimate);
    const __m256i r = _mm256_sub_epi32(n, _mm256_mullo_epi32(q, na));
    q = _mm256_sub_epi32(q, _mm256_cmpgt_epi32(r, _mm256_sub_epi32(na, _mm256_set1_epi32(1))));  // r >= na: one more
    return _mm256_add_epi32(q, _mm256_cmpgt_epi32(_mm256_setzero_si256(), r));                     // r < 0: one less
}

// Two pixels, each as four 32-bit lanes r g b a; w holds each pixel's coverage in its four
// lanes, PA the paint's alpha in every lane.
CALV_WIDE inline __m256i layTwo(__m256i D, __m256i w, __m256i P, __m256i PA, const OverRowPaint& paint) {
    const __m256i K = _mm256_set1_epi32(65535), zero = _mm256_setzero_si256();
    const __m256i Da = _mm256_shuffle_epi32(D, 0xFF);
    // The paint's effective alpha a = w x Pa / 65535: the coverage itself for opaque paint.
    const __m256i a = paint.alpha == 65535 ? w : div65535(_mm256_mullo_epi32(w, PA));
    const __m256i KDa = _mm256_sub_epi32(K, Da), Ka = _mm256_sub_epi32(K, a);
    const __m256i Na = _mm256_add_epi32(div65535(_mm256_mullo_epi32(KDa, a)), Da);
    const __m256i Dp = _mm256_srli_epi32(_mm256_mullo_epi32(D, Da), 16);
    const __m256i Pp = _mm256_srli_epi32(_mm256_mullo_epi32(a, P), 16);
    __m256i t;
    if (paint.multiply)
        t = _mm256_add_epi32(_mm256_add_epi32(div65535(_mm256_mullo_epi32(Ka, Dp)),
                                              div65535(_mm256_mullo_epi32(KDa, Pp))),
                             div65535(_mm256_mullo_epi32(Dp, Pp)));
    else
        t = _mm256_add_epi32(div65535(_mm256_mullo_epi32(Dp, Ka)), Pp);
    const __m256i partial = _mm256_xor_si256(_mm256_cmpeq_epi32(Na, K), _mm256_set1_epi32(-1));
    if (!_mm256_testz_si256(partial, partial)) t = _mm256_blendv_epi8(t, unpremultiply(t, Na), partial);
    // Over a transparent pixel the paint lays as it is, at alpha (w x Pa) >> 16.
    const __m256i empty = _mm256_cmpeq_epi32(Da, zero);
    const __m256i colour = _mm256_blendv_epi8(t, P, empty);
    __m256i alpha = Da;
    if (!paint.alphaFixed)
        alpha = paint.alphaLevelled
                    ? _mm256_set1_epi32(paint.alphaLevel)
                    : _mm256_blendv_epi8(Na, _mm256_srli_epi32(_mm256_mullo_epi32(w, PA), 16), empty);
    __m256i out = _mm256_and_si256(_mm256_blend_epi32(colour, alpha, 0x88), K);  // stored as 16 bits
    return _mm256_blendv_epi8(out, D, _mm256_cmpeq_epi32(w, zero));
}

// What opaque normal paint at full coverage makes of a pixel does not depend on the pixel beyond
// whether it is transparent (and its alpha, when alpha stays): the two results, each
// pixel in a 64-bit lane.
struct FullCover {
    __m256i overPaint, overEmpty;
};

constexpr int64_t packPixel(uint64_t r, uint64_t g, uint64_t b, uint64_t a) {
    return int64_t(r | g << 16 | b << 32 | a << 48);
}

CALV_WIDE inline FullCover fullCoverOf(const OverRowPaint& paint) {
    constexpr uint64_t K = 65535;
    const uint64_t r = paint.colour[0], g = paint.colour[1], b = paint.colour[2];
    // Over paint a = Na = 65535 and each channel is (65535 x P) >> 16; over nothing the
    // colour is P at alpha (65535 x 65535) >> 16.
    const uint64_t overPaintAlpha = paint.alphaLevelled ? paint.alphaLevel : K;
    const uint64_t overEmptyAlpha = paint.alphaLevelled ? paint.alphaLevel : (K * K) >> 16;
    return {_mm256_set1_epi64x(packPixel((K * r) >> 16, (K * g) >> 16, (K * b) >> 16, overPaintAlpha)),
            _mm256_set1_epi64x(packPixel(r, g, b, overEmptyAlpha))};
}

// Four pixels at out, their coverages at w.
CALV_WIDE inline void layFour(RGBA64* out, const uint32_t* w, __m256i P, __m256i PA, const FullCover& full,
                              const OverRowPaint& paint) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w));
    if (_mm_testz_si128(c, c)) return;
    const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out));
    if (!paint.multiply && paint.alpha == 65535 &&
        _mm_movemask_epi8(_mm_cmpeq_epi32(c, _mm_set1_epi32(65535))) == 0xFFFF) {
        const __m256i alphaBits = _mm256_set1_epi64x(int64_t(0xFFFF000000000000ull));
        const __m256i alpha = _mm256_and_si256(px, alphaBits);
        __m256i laid = _mm256_blendv_epi8(full.overPaint, full.overEmpty,
                                          _mm256_cmpeq_epi64(alpha, _mm256_setzero_si256()));
        if (paint.alphaFixed) laid = _mm256_or_si256(_mm256_andnot_si256(alphaBits, laid), alpha);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), laid);
        return;
    }
    const __m256i cw = _mm256_castsi128_si256(c);
    const __m256i first = layTwo(_mm256_cvtepu16_epi32(_mm256_castsi256_si128(px)),
                                 _mm256_permutevar8x32_epi32(cw, _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1)), P, PA, paint);
    const __m256i second = layTwo(_mm256_cvtepu16_epi32(_mm256_extracti128_si256(px, 1)),
                                  _mm256_permutevar8x32_epi32(cw, _mm256_setr_epi32(2, 2, 2, 2, 3, 3, 3, 3)), P, PA, paint);
    // The pack interleaves the halves (0 2 1 3); the permute puts the pixels back in order.
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(first, second), 0xD8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), packed);
}

CALV_WIDE void layOverRowWide(RGBA64* out, const uint32_t* coverage, int32_t count, const OverRowPaint& paint) {
    const auto c0 = int32_t(paint.colour[0]), c1 = int32_t(paint.colour[1]), c2 = int32_t(paint.colour[2]);
    const __m256i P = _mm256_setr_epi32(c0, c1, c2, 0, c0, c1, c2, 0);
    const __m256i PA = _mm256_set1_epi32(int32_t(paint.alpha));
    const FullCover full = fullCoverOf(paint);
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) layFour(out + i, coverage + i, P, PA, full, paint);
    if (i == count) return;
    // The last one to three pixels go through a four-pixel copy.
    RGBA64 tail[4] = {};
    uint32_t tailCoverage[4] = {};
    const size_t left = size_t(count - i);
    std::memcpy(tail, out + i, left * sizeof(RGBA64));
    std::memcpy(tailCoverage, coverage + i, left * sizeof(uint32_t));
    layFour(tail, tailCoverage, P, PA, full, paint);
    std::memcpy(out + i, tail, left * sizeof(RGBA64));
}

#endif

}  // namespace

bool overRowAvailable() {
#ifdef CALV_OVER_ROW_WIDE
    static const bool wide = __builtin_cpu_supports("avx2");
    return wide && testingAllowsWide;
#else
    return false;
#endif
}

void layOverRow(RGBA64* out, const uint32_t* coverage, int32_t count, const OverRowPaint& paint) {
#ifdef CALV_OVER_ROW_WIDE
    layOverRowWide(out, coverage, count, paint);
#else
    (void)out, (void)coverage, (void)count, (void)paint;
#endif
}

void useOverRowForTesting(bool on) { testingAllowsWide = on; }

}  // namespace calv
