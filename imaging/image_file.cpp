#include "imaging/image_file.h"

#include <cstdio>
#include <cstring>

#include "imaging/codecs/codecs.h"

namespace calv {
namespace codec {

void putLE16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(uint8_t(x)), v.push_back(uint8_t(x >> 8)); }
void putLE32(std::vector<uint8_t>& v, uint32_t x) { putLE16(v, x), putLE16(v, x >> 16); }
void putBE16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(uint8_t(x >> 8)), v.push_back(uint8_t(x)); }
void putBE32(std::vector<uint8_t>& v, uint32_t x) { putBE16(v, x >> 16), putBE16(v, x); }

bool startImage(DecodedImage& out, int64_t width, int64_t height) {
    if (!acceptableSize(width, height)) return false;
    out.width = int32_t(width), out.height = int32_t(height);
    out.rgba.assign(std::size_t(width) * std::size_t(height) * 4, 0);
    return true;
}

}  // namespace codec

namespace {

bool starts(const uint8_t* data, std::size_t size, const char* magic, std::size_t n) {
    return size >= n && std::memcmp(data, magic, n) == 0;
}

}  // namespace

ImageFormat guessImageFormat(const uint8_t* data, std::size_t size) {
    if (!data) return ImageFormat::Unknown;
    if (starts(data, size, "\x89PNG", 4)) return ImageFormat::PNG;
    if (starts(data, size, "\xFF\xD8\xFF", 3)) return ImageFormat::JPEG;
    if (starts(data, size, "GIF8", 4)) return ImageFormat::GIF;
    if (starts(data, size, "BM", 2)) return ImageFormat::BMP;
    if (starts(data, size, "II*\0", 4) || starts(data, size, "MM\0*", 4)) return ImageFormat::TIFF;
    if (starts(data, size, "8BPS", 4)) return ImageFormat::PSD;
    if (size >= 44 && codec::le32(data) == 1 && std::memcmp(data + 40, " EMF", 4) == 0) return ImageFormat::Metafile;
    if (starts(data, size, "\xD7\xCD\xC6\x9A", 4) || starts(data, size, "\x01\x00\x09\x00", 4) ||
        starts(data, size, "\x02\x00\x09\x00", 4))
        return ImageFormat::Metafile;
    if (size >= 128 && data[0] == 10 && data[1] <= 5 && data[2] == 1) return ImageFormat::PCX;
    // TGA has no signature: a plausible header is the test.
    if (size >= 18 && data[1] <= 1 && (data[2] == 2 || data[2] == 3 || data[2] == 10 || data[2] == 11) &&
        (data[16] == 8 || data[16] == 24 || data[16] == 32))
        return ImageFormat::TGA;
    return ImageFormat::Unknown;
}

bool decodeImage(const uint8_t* data, std::size_t size, DecodedImage& out, const MetafileTarget& target) {
    switch (guessImageFormat(data, size)) {
    case ImageFormat::PNG: return codec::decodePNG(data, size, out);
    case ImageFormat::JPEG: return codec::decodeJPEG(data, size, out);
    case ImageFormat::GIF: return codec::decodeGIF(data, size, out);
    case ImageFormat::BMP: return codec::decodeBMP(data, size, out);
    case ImageFormat::TIFF: return codec::decodeTIFF(data, size, out);
    case ImageFormat::PSD: return codec::decodePSD(data, size, out);
    case ImageFormat::PCX: return codec::decodePCX(data, size, out);
    case ImageFormat::TGA: return codec::decodeTGA(data, size, out);
    case ImageFormat::Metafile: return codec::decodeMetafile(data, size, out, target);
    case ImageFormat::Unknown: break;
    }
    return false;
}

FileResolution decodeResolution(const uint8_t* data, std::size_t size) {
    switch (guessImageFormat(data, size)) {
    case ImageFormat::BMP: return codec::resolutionBMP(data, size);
    case ImageFormat::JPEG: return codec::resolutionJPEG(data, size);
    case ImageFormat::PNG: return codec::resolutionPNG(data, size);
    case ImageFormat::TIFF: return codec::resolutionTIFF(data, size);
    case ImageFormat::PSD: return codec::resolutionPSD(data, size);
    default: return {};
    }
}

bool readFileBytes(const char* path, std::vector<uint8_t>& out) {
    if (!path) return false;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long length = ok ? std::ftell(f) : -1;
    ok = ok && length >= 0 && length <= (1L << 30) && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        out.resize(std::size_t(length));
        ok = std::fread(out.data(), 1, out.size(), f) == out.size();
    }
    std::fclose(f);
    return ok;
}

std::unique_ptr<LineWriter> openLineWriter(const char* path, ImageFormat format, int32_t width, int32_t height,
                                           int32_t channels, int32_t dpi, int32_t quality) {
    if (!path || width <= 0 || height <= 0 || (channels != 3 && channels != 4)) return nullptr;
    if (format == ImageFormat::TIFF) return codec::linesTIFF(path, width, height, channels, dpi);
    if (format != ImageFormat::BMP && format != ImageFormat::PNG && format != ImageFormat::JPEG &&
        format != ImageFormat::TGA)
        return nullptr;
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return nullptr;
    switch (format) {
    case ImageFormat::BMP: return codec::linesBMP(f, width, height, channels, dpi);
    case ImageFormat::PNG: return codec::linesPNG(f, width, height, channels, dpi);
    case ImageFormat::JPEG: return codec::linesJPEG(f, width, height, channels, dpi, quality);
    default: return codec::linesTGA(f, width, height, channels);
    }
}

bool writeImage(const char* path, ImageFormat format, const uint8_t* pixels, int32_t width, int32_t height,
                int32_t channels, int32_t dpi, int32_t quality) {
    if (!path || !pixels || width <= 0 || height <= 0 || (channels != 3 && channels != 4)) return false;
    if (format == ImageFormat::GIF || format == ImageFormat::PCX || format == ImageFormat::PSD ||
        format == ImageFormat::Metafile) {
        std::FILE* f = std::fopen(path, "wb");
        if (!f) return false;
        switch (format) {
        case ImageFormat::GIF: return codec::writeGIF(f, pixels, width, height, channels);
        case ImageFormat::PCX: return codec::writePCX(f, pixels, width, height, channels);
        case ImageFormat::PSD: return codec::writePSD(f, pixels, width, height, channels);
        default: return codec::writeMetafile(f, pixels, width, height, channels);
        }
    }
    std::unique_ptr<LineWriter> lines = openLineWriter(path, format, width, height, channels, dpi, quality);
    if (!lines) return false;
    const std::size_t rowBytes = std::size_t(width) * std::size_t(channels);
    for (int32_t k = 0; k < height; ++k) {
        const int32_t y = lines->bottomUp() ? height - 1 - k : k;
        if (!lines->writeRow(pixels + std::size_t(y) * rowBytes)) return false;
    }
    return lines->finish();
}

}  // namespace calv
