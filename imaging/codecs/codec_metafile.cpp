// Metafiles that hold bitmaps: an enhanced metafile (EMF) is written with the picture as one
// StretchDIBits record; EMF StretchDIBits and WMF StretchDIB records are read back and
// rendered over a background.
#include <algorithm>
#include <cstring>

#include "imaging/codecs/codecs.h"
#include "imaging/resample.h"

namespace calv::codec {
namespace {

constexpr uint32_t kEmrHeader = 1, kEmrStretchDIBits = 81, kEmrEof = 14;
constexpr uint32_t kWmfStretchDIB = 0x0F43;

// A packed DIB (info header, palette, bits) as a WMF record holds it.
bool decodePackedDIB(Bytes dib, std::size_t size, DecodedImage& out) {
    if (size < 40) return false;
    const uint32_t headerSize = le32(dib), bpp = le16(dib + 14), compression = le32(dib + 16);
    uint32_t colours = le32(dib + 32);
    if (bpp <= 8 && colours == 0) colours = 1u << std::min<uint32_t>(bpp, 8);
    const std::size_t infoSize = std::size_t(headerSize) + (bpp <= 8 ? colours * 4u : 0u) +
                                 (compression == 3 && headerSize == 40 ? 12u : 0u);
    if (headerSize < 40 || infoSize > size) return false;
    return decodeDIB(dib, infoSize, dib + infoSize, size - infoSize, out);
}

// The bitmap scaled over the whole target, on the background.
bool render(const DecodedImage& bitmap, const MetafileTarget& target, DecodedImage& out) {
    const int32_t w = target.width > 0 && target.height > 0 ? target.width : bitmap.width;
    const int32_t h = target.width > 0 && target.height > 0 ? target.height : bitmap.height;
    if (!startImage(out, w, h)) return false;
    if (w == bitmap.width && h == bitmap.height) {
        out.rgba = bitmap.rgba;
    } else if (!resamplePicture(bitmap.rgba.data(), bitmap.width, bitmap.height, out.rgba.data(), w, h, 4)) {
        return false;
    }
    // Composite over the background; the result is opaque.
    for (std::size_t i = 0; i < out.rgba.size(); i += 4) {
        const uint32_t a = out.rgba[i + 3];
        for (int c = 0; c < 3; ++c)
            out.rgba[i + std::size_t(c)] = uint8_t((out.rgba[i + std::size_t(c)] * a + target.background[c] * (255 - a)) / 255);
        out.rgba[i + 3] = 255;
    }
    return true;
}

bool decodeEMF(Bytes data, std::size_t size, DecodedImage& out, const MetafileTarget& target) {
    std::size_t at = 0;
    while (size - at >= 8) {
        const uint32_t type = le32(data + at), length = le32(data + at + 4);
        if (length < 8 || length % 4 != 0 || length > size - at) return false;
        if (type == kEmrStretchDIBits && length >= 80) {
            Bytes r = data + at;
            const uint32_t offInfo = le32(r + 48), infoSize = le32(r + 52), offBits = le32(r + 56), bitsSize = le32(r + 60);
            if (offInfo > length || infoSize > length - offInfo || offBits > length || bitsSize > length - offBits)
                return false;
            DecodedImage bitmap;
            return decodeDIB(r + offInfo, infoSize, r + offBits, bitsSize, bitmap) && render(bitmap, target, out);
        }
        if (type == kEmrEof) break;
        at += length;
    }
    return false;
}

bool decodeWMF(Bytes data, std::size_t size, DecodedImage& out, const MetafileTarget& target) {
    std::size_t at = le32(data) == 0x9AC6CDD7u ? 22 : 0;  // the placeable header
    if (size - at < 18) return false;
    at += 18;
    while (size - at >= 6) {
        const std::size_t length = std::size_t(le32(data + at)) * 2;
        const uint32_t function = le16(data + at + 4);
        if (length < 6 || length > size - at || function == 0) return false;
        if (function == kWmfStretchDIB && length > 28) {
            DecodedImage bitmap;
            return decodePackedDIB(data + at + 28, length - 28, bitmap) && render(bitmap, target, out);
        }
        at += length;
    }
    return false;
}

}  // namespace

bool decodeMetafile(Bytes data, std::size_t size, DecodedImage& out, const MetafileTarget& target) {
    if (size >= 44 && le32(data) == kEmrHeader && std::memcmp(data + 40, " EMF", 4) == 0)
        return decodeEMF(data, size, out, target);
    return size >= 22 && decodeWMF(data, size, out, target);
}

bool writeMetafile(std::FILE* f, const uint8_t* pixels, int32_t w, int32_t h, int32_t channels) {
    const std::size_t rowBytes = ((std::size_t(w) * 24 + 31) / 32) * 4, bitsBytes = rowBytes * std::size_t(h);
    const uint32_t headerSize = 88, stretchSize = uint32_t(80 + 40 + bitsBytes), eofSize = 20;
    std::vector<uint8_t> out;
    out.reserve(headerSize + stretchSize + eofSize);
    auto rect = [&](int32_t l, int32_t t, int32_t r, int32_t b) {
        putLE32(out, uint32_t(l)), putLE32(out, uint32_t(t)), putLE32(out, uint32_t(r)), putLE32(out, uint32_t(b));
    };
    // Header: bounds in pixels, frame in 0.01 mm at 96 pixels an inch.
    putLE32(out, kEmrHeader), putLE32(out, headerSize);
    rect(0, 0, w - 1, h - 1);
    rect(0, 0, int32_t(w * 2540.0 / 96), int32_t(h * 2540.0 / 96));
    putLE32(out, 0x464D4520), putLE32(out, 0x10000);
    putLE32(out, headerSize + stretchSize + eofSize), putLE32(out, 3);
    putLE16(out, 1), putLE16(out, 0), putLE32(out, 0), putLE32(out, 0), putLE32(out, 0);
    putLE32(out, uint32_t(w)), putLE32(out, uint32_t(h));
    putLE32(out, uint32_t(w * 25.4 / 96)), putLE32(out, uint32_t(h * 25.4 / 96));
    // The picture: a 24-bit DIB stretched over the bounds, copied as it is.
    putLE32(out, kEmrStretchDIBits), putLE32(out, stretchSize);
    rect(0, 0, w - 1, h - 1);
    putLE32(out, 0), putLE32(out, 0), putLE32(out, 0), putLE32(out, 0), putLE32(out, uint32_t(w)), putLE32(out, uint32_t(h));
    putLE32(out, 80), putLE32(out, 40), putLE32(out, 120), putLE32(out, uint32_t(bitsBytes));
    putLE32(out, 0), putLE32(out, 0x00CC0020), putLE32(out, uint32_t(w)), putLE32(out, uint32_t(h));
    putLE32(out, 40), putLE32(out, uint32_t(w)), putLE32(out, uint32_t(h)), putLE16(out, 1), putLE16(out, 24);
    putLE32(out, 0), putLE32(out, uint32_t(bitsBytes)), putLE32(out, 3780), putLE32(out, 3780), putLE32(out, 0), putLE32(out, 0);
    for (int32_t y = h - 1; y >= 0; --y) {
        const std::size_t at = out.size();
        out.resize(at + rowBytes, 0);
        toDIBRow(pixels + std::size_t(y) * std::size_t(w) * std::size_t(channels), w, channels, out.data() + at);
    }
    putLE32(out, kEmrEof), putLE32(out, eofSize), putLE32(out, 0), putLE32(out, 16), putLE32(out, eofSize);
    const bool ok = w > 0 && h > 0 && std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace calv::codec
