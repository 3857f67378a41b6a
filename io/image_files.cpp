#include "io/image_files.h"

#include <cstring>
#include <strings.h>

#include "engine/convert.h"
#include "imaging/image_file.h"
#include "imaging/resample.h"
#include "io/transfer_image.h"
#include "layers/merge.h"

namespace calv {
namespace {

// The writers by extension (compared without regard to case) and pixel size.
struct Writer {
    const char* extension;
    int32_t channels;
    ImageFormat format;
    int32_t quality;
};
constexpr Writer kWriters[] = {
    {".bmp", 3, ImageFormat::BMP, 0},  {".png", 3, ImageFormat::PNG, 0},      {".emf", 3, ImageFormat::Metafile, 0},
    {".wmf", 3, ImageFormat::Metafile, 0}, {".gif", 3, ImageFormat::GIF, 0}, {".jpg", 3, ImageFormat::JPEG, 97},
    {".pcx", 3, ImageFormat::PCX, 0},  {".psd", 3, ImageFormat::PSD, 0},      {".png", 4, ImageFormat::PNG, 0},
    {".tga", 4, ImageFormat::TGA, 0},  {".tif", 4, ImageFormat::TIFF, 0},
};
// The page is written by the row writers only.
constexpr Writer kPageWriters[] = {
    {".bmp", 3, ImageFormat::BMP, 0}, {".png", 3, ImageFormat::PNG, 0}, {".jpg", 3, ImageFormat::JPEG, 97},
    {".png", 4, ImageFormat::PNG, 0}, {".tga", 4, ImageFormat::TGA, 0}, {".tif", 4, ImageFormat::TIFF, 0},
};

template <std::size_t N>
const Writer* findWriter(const Writer (&table)[N], const char* extension, int32_t channels) {
    if (!extension) return nullptr;
    for (const Writer& w : table)
        if (w.channels == channels && strcasecmp(w.extension, extension) == 0) return &w;
    return nullptr;
}

// Metafiles are drawn at the canvas size over the paint colour.
MetafileTarget canvasTarget(const Engine& engine) {
    MetafileTarget target;
    target.width = engine.canvas.width, target.height = engine.canvas.height;
    const RGBA64 paint = engine.brush.settings.color;
    target.background[0] = narrow16(paint.r), target.background[1] = narrow16(paint.g), target.background[2] = narrow16(paint.b);
    return target;
}

bool readPicture(const char* path, DecodedImage& image, const MetafileTarget& target = {}) {
    std::vector<uint8_t> bytes;
    return readFileBytes(path, bytes) && decodeImage(bytes.data(), bytes.size(), image, target);
}

// The picture without alpha, scaled to tw x th (area averaging when shrinking both ways).
bool scaledRGB(const DecodedImage& image, int32_t tw, int32_t th, std::vector<uint8_t>& out) {
    std::vector<uint8_t> rgb(std::size_t(image.width) * std::size_t(image.height) * 3);
    RGBA32ToRGB24(image.rgba.data(), rgb.data(), int64_t(image.width) * image.height);
    out.resize(std::size_t(tw) * std::size_t(th) * 3);
    return resamplePicture(rgb.data(), image.width, image.height, out.data(), tw, th, 3);
}

int32_t snapDPI(int32_t dpi) {
    const int32_t common[] = {96, 150, 200, 300, 450, 600};
    for (int32_t c : common)
        if (dpi >= c - 1 && dpi <= c + 1) return c;
    return 72;
}

}  // namespace

bool ReadFromFile(Engine& engine, const char* path) {
    DecodedImage image;
    if (!readPicture(path, image, canvasTarget(engine))) return false;
    RGBA32* dst = CreateNewRGBA(engine, image.width, image.height);
    std::memcpy(dst, image.rgba.data(), image.rgba.size());
    return true;
}

bool ReadFromFileInto(Engine& engine, uint8_t* dst, int32_t width, int32_t height, const char* path,
                      int32_t channels) {
    DecodedImage image;
    if (!dst || !readPicture(path, image, canvasTarget(engine))) return false;
    if (image.width != width || image.height != height) return false;
    if (channels == 4)
        std::memcpy(dst, image.rgba.data(), image.rgba.size());
    else
        RGBA32ToRGB24(image.rgba.data(), dst, int64_t(width) * height);
    return true;
}

int32_t GetDPIFromFile(const char* path) {
    std::vector<uint8_t> bytes;
    if (!readFileBytes(path, bytes)) return 72;
    const FileResolution r = decodeResolution(bytes.data(), bytes.size());
    constexpr double kPerCm = 2.5400000025908, kPerMetre = 0.025400000025908;
    double dpi = 72;
    switch (guessImageFormat(bytes.data(), bytes.size())) {
    case ImageFormat::BMP: dpi = r.unit == 2 ? r.value * kPerMetre : 72; break;
    case ImageFormat::JPEG: dpi = r.unit == 1 ? r.value : r.unit == 2 ? r.value * kPerCm : 72; break;
    case ImageFormat::PNG: dpi = r.unit == 1 ? r.value * kPerMetre : 72; break;
    case ImageFormat::TIFF:
    case ImageFormat::PSD: dpi = r.unit == 2 ? r.value : r.unit == 3 ? r.value * kPerCm : 72; break;
    default: break;
    }
    return snapDPI(dpi > 0 && dpi < 1e6 ? int32_t(dpi) : 72);
}

bool WriteToFile(const uint8_t* pixels, int32_t width, int32_t height, const char* path, const char* extension,
                 int32_t dpi, int32_t channels) {
    const Writer* w = findWriter(kWriters, extension, channels);
    return w && writeImage(path, w->format, pixels, width, height, channels, dpi, w->quality);
}

bool SavePageToFile(Engine& engine, const char* path, const char* extension, int32_t dpi, int32_t channels) {
    const Writer* w = findWriter(kPageWriters, extension, channels);
    const int32_t width = engine.canvas.width, height = engine.canvas.height;
    if (!w || width <= 0 || height <= 0) return false;
    // One canvas row of the page and one output line: the page is never held whole.
    std::unique_ptr<RGBA64[]> row = allocateBlock<RGBA64>(std::size_t(width));
    std::vector<uint8_t> line(std::size_t(width) * std::size_t(channels));
    std::unique_ptr<LineWriter> lines = openLineWriter(path, w->format, width, height, channels, dpi, w->quality);
    if (!lines) return false;
    for (int32_t k = 0; k < height; ++k) {
        const int32_t y = lines->bottomUp() ? height - 1 - k : k;
        MergeRect(engine, row.get(), 0, y, width, 1);
        const uint8_t* src = reinterpret_cast<const uint8_t*>(row.get());
        if (channels == 4)
            RGBA64ToRGBA32(src, width * 8, line.data(), width * 4, width, 1);
        else
            RGBA64ToRGB24(src, width * 8, line.data(), width * 3, width, 1);
        if (!lines->writeRow(line.data())) return false;
    }
    return lines->finish();
}

bool MakeThumbnail(const char* source, const char* destination) {
    DecodedImage image;  // metafiles at their own size
    if (!readPicture(source, image)) return false;
    const int32_t w = image.width, h = image.height;
    const int32_t tw = h < w ? 100 : std::max(int32_t(100.0 / h * w), 1);
    const int32_t th = h < w ? std::max(int32_t(100.0 / w * h), 1) : 100;
    std::vector<uint8_t> rgb;
    return scaledRGB(image, tw, th, rgb) && writeImage(destination, ImageFormat::BMP, rgb.data(), tw, th, 3, 0, 0);
}

bool MakeWebPic(const char* source, const char* destination, int32_t maxWidth, int32_t maxHeight) {
    DecodedImage image;
    if (maxWidth <= 0 || maxHeight <= 0 || !readPicture(source, image)) return false;
    const int32_t w = image.width, h = image.height;
    int32_t tw = w, th = h;
    if (double(maxWidth) / maxHeight > double(w) / h) {
        if (maxHeight < h) tw = std::max(int32_t(double(w) * maxHeight / h), 1), th = maxHeight;
    } else if (maxWidth < w) {
        tw = maxWidth, th = std::max(int32_t(double(maxWidth) / w * h), 1);
    }
    std::vector<uint8_t> rgb;
    return scaledRGB(image, tw, th, rgb) && writeImage(destination, ImageFormat::JPEG, rgb.data(), tw, th, 3, 0, 75);
}

}  // namespace calv
