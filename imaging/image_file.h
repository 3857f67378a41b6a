// Image files: decoding any of BMP, PNG, JPEG, GIF, PCX, PSD, TGA, TIFF and bitmap
// metafiles into RGBA32; writing pictures whole or a row at a time; resolutions.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace calv {

enum class ImageFormat { Unknown, BMP, PNG, JPEG, GIF, PCX, PSD, TGA, TIFF, Metafile };

// Pictures larger than this are refused before anything is allocated for them.
constexpr int32_t kMaxImageSide = 30000;
constexpr int64_t kMaxImagePixels = 120'000'000;
inline bool acceptableSize(int64_t w, int64_t h) {
    return w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide && w * h <= kMaxImagePixels;
}

// RGBA32, rows of width x 4 bytes, top row first.
struct DecodedImage {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// A resolution as the file stores it: a value per unit, with the unit code of its format
// (BMP 2: per metre; JPEG 1: per inch, 2: per cm; PNG 1: per metre; TIFF and PSD 2: per
// inch, 3: per cm). `unit` 0 when the file gives none.
struct FileResolution {
    double value = 0;
    int32_t unit = 0;
};

// How a metafile is rendered: its bitmap scaled to width x height over the background
// colour (its own size when width or height is 0).
struct MetafileTarget {
    int32_t width = 0, height = 0;
    uint8_t background[3] = {255, 255, 255};
};

ImageFormat guessImageFormat(const uint8_t* data, std::size_t size);
// False for an unknown format and for any damaged or over-large file.
bool decodeImage(const uint8_t* data, std::size_t size, DecodedImage& out, const MetafileTarget& target = {});
FileResolution decodeResolution(const uint8_t* data, std::size_t size);
// The whole file, up to 1 GiB; false when it cannot be read.
bool readFileBytes(const char* path, std::vector<uint8_t>& out);

// Writes a width x height picture of `channels` bytes a pixel (3: R, G, B; 4: R, G, B, A),
// rows packed, top row first. `dpi` goes where the format keeps a resolution (none when 0);
// `quality` is JPEG's. Formats without a writer for the channel count give false.
bool writeImage(const char* path, ImageFormat format, const uint8_t* pixels, int32_t width, int32_t height,
                int32_t channels, int32_t dpi, int32_t quality);

// Writes a picture one row at a time: bottom row first when bottomUp(), else top row first.
class LineWriter {
public:
    virtual ~LineWriter() = default;
    virtual bool bottomUp() const { return false; }
    virtual bool writeRow(const uint8_t* row) = 0;
    // Completes the file; false when anything failed.
    virtual bool finish() = 0;
};
// BMP (3 channels), PNG (3 or 4), JPEG (3), TGA (4) and TIFF (4); null otherwise or when
// the file cannot be created.
std::unique_ptr<LineWriter> openLineWriter(const char* path, ImageFormat format, int32_t width, int32_t height,
                                           int32_t channels, int32_t dpi, int32_t quality);

}  // namespace calv
