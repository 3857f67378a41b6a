// How the selection mask and the paper texture weaken writes. Every user of the mask
// or the texture calls these; none repeats their arithmetic.
#pragma once
#include <cstdint>

namespace calv {

constexpr uint32_t kWeightFull = 65535;

// 16-bit mask form: strength s (0..65535) becomes (s x m) >> 16 unless m is fully open.
// Used by dabs, the alpha load and the texture-and-mask adjustment of pictures.
constexpr uint32_t maskWeight16(uint32_t s, uint16_t m) { return m == 65535 ? s : (s * m) >> 16; }

// 8-bit mask form on the high byte h of m: 0 gives 0, 255 leaves w, otherwise
// w x (h + 1) >> 8. Used by picture loads, alpha application and effects.
constexpr uint32_t maskWeight8(uint32_t w, uint16_t m) {
    uint32_t h = m >> 8;
    return h == 0 ? 0 : h == 255 ? w : (w * (h + 1)) >> 8;
}

// Alpha of a source pixel the blend buffer picks up through the mask: A scaled by the
// mask in floating point, exactly A where the mask is fully open.
inline uint32_t maskedSourceAlpha(uint32_t a, uint16_t m) {
    const double k = m == 65535 ? 65535.0 : double((uint32_t(m) * 65535u) >> 16);
    return uint32_t(k * (1.0 / 65535) * a);
}

// Mask-weighted replace of one colour channel (masked clears): the new 8-bit component
// c8 over the 16-bit channel `old` under a mask value strictly between 0 and 65535.
constexpr uint16_t maskedReplace(uint8_t c8, uint16_t old, uint16_t m) {
    return uint16_t((uint32_t(c8) * m + ((uint32_t(old) * (65535u - m)) >> 8)) >> 8);
}

// Texture weight of the picture loads: 0 closes, 128 and above leave full strength,
// between ((2t + 1) x 65535) / 256.
constexpr uint32_t textureLoadWeight(uint8_t t) {
    return t == 0 ? 0 : t >= 128 ? kWeightFull : ((2u * t + 1u) * 65535u) >> 8;
}

// Texture weight of the alpha load and of incoming pictures: 128 and above leave full
// strength, below (t x 131070) >> 8.
constexpr uint32_t textureWeight(uint8_t t) { return t >= 128 ? kWeightFull : (t * 131070u) >> 8; }

}  // namespace calv
