#include "brush/tip.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "filters/filter_kit.h"
#include "imaging/image_file.h"
#include "imaging/resample.h"

namespace calv {
namespace {

// Sequential reads from a random byte table from a start position, wrapping at its end
// so that wide tips with large grit blocks never read past it.
class TableReader {
public:
    TableReader(const RandomByteTable& t, int64_t start) : table_(t), pos_(start % std::max(t.length, 1)) {}
    uint8_t next() {
        const uint8_t v = table_.data[size_t(pos_)];
        if (++pos_ == table_.length) pos_ = 0;
        return v;
    }

private:
    const RandomByteTable& table_;
    int64_t pos_;
};

}  // namespace

void BuildCircularTip(Engine& engine) {
    const BrushSettings& b = engine.brush.settings;
    Plane<G16>& tip = engine.brush.shapePlane;
    const int32_t size = std::min(b.size, tip.width());
    const int32_t half = size / 2;
    const double R = size * 0.5, D = R * b.softness * (1.0 / 255), E = R - D;
    for (int32_t j = 0; j < size; ++j) {
        G16* row = tip.row(j);
        for (int32_t i = 0; i < size; ++i) {
            const double dist = std::trunc(std::sqrt(double((j - half) * (j - half) + (i - half) * (i - half))));
            if (dist > R) continue;
            double K = 65535;
            if (b.softness > 0 && dist > E) K = std::clamp((D - (dist - E)) / D * 65535, 0.0, 65535.0);
            if (b.invertShape) K = std::abs(std::trunc(K - 65535));
            row[i] = uint16_t(K * b.tipScale);
        }
    }
}

namespace {

// Reads the tip picture into the cache unless it already holds this source at this angle.
bool loadTipSource(Engine& engine, const char* source, int32_t angle) {
    TipSource& cache = engine.brush.tipSource;
    if (!cache.empty() && cache.name == source && cache.angle == angle) return true;
    cache.clear();
    std::vector<uint8_t> bytes;
    DecodedImage image;
    if (!readFileBytes(source, bytes) || !decodeImage(bytes.data(), bytes.size(), image)) return false;
    if (angle % 360 != 0) rotatePicture(image.rgba.data(), image.width, image.height, 4, angle);
    cache.rgba = std::move(image.rgba);
    cache.width = image.width, cache.height = image.height;
    cache.name = source;
    cache.angle = angle;
    return true;
}

// The tip from the cached picture: scaled to the tip size (after a "Value Blur" when the
// brush asks for one), its grey times 256 times the tip scale.
bool buildImageTip(Engine& engine, bool blur) {
    BrushState& brush = engine.brush;
    const BrushSettings& b = brush.settings;
    const TipSource& cache = brush.tipSource;
    const int32_t size = b.size, n = brush.shapePlane.width();
    if (size <= 0 || size > n) return false;
    std::vector<uint8_t> scaled(std::size_t(size) * std::size_t(size) * 4);
    bool ok;
    if (blur && b.shapeBlur > 0) {
        // Chained, the blur works on its destination alone and never touches the source.
        std::vector<uint8_t> blurred = cache.rgba;
        FilterArgs args;
        args.chained = 1;
        args.sliders[1] = (100 - b.shapeBlur) * 10;
        FilterKitRun(engine, reinterpret_cast<RGBA32*>(const_cast<uint8_t*>(cache.rgba.data())),
                     reinterpret_cast<RGBA32*>(blurred.data()), cache.width, cache.height, "Value Blur", args);
        ok = resamplePicture(blurred.data(), cache.width, cache.height, scaled.data(), size, size, 4);
    } else {
        ok = resamplePicture(cache.rgba.data(), cache.width, cache.height, scaled.data(), size, size, 4);
    }
    if (!ok) return false;
    for (int32_t r = 0; r < size; ++r) {
        G16* row = brush.shapePlane.row(r);
        for (int32_t c = 0; c < size; ++c) {
            const uint8_t* p = &scaled[(std::size_t(r) * std::size_t(size) + std::size_t(c)) * 4];
            row[c] = uint16_t(std::clamp(greyOf(p[0], p[1], p[2]) * 256.0 * b.tipScale, 0.0, 65535.0));
        }
    }
    return true;
}

}  // namespace

void SetBrushShape(Engine& engine, const char* source, int32_t angle, bool blur) {
    BrushState& brush = engine.brush;
    if (brush.shapePlane.empty()) return;
    brush.shapePlane.fill(0);
    // A picture file gives an image tip; no source, or one that cannot be read or scaled,
    // gives the circular tip. (Tips drawn by effect scripts come with the script reader.)
    bool built = false;
    if (source && std::strlen(source) > 1) {
        try {
            built = loadTipSource(engine, source, angle) && buildImageTip(engine, blur);
        } catch (const std::bad_alloc&) {
            built = false;
        }
        brush.settings.drawingLengthLeft = brush.settings.drawingLength;
    }
    if (!built) {
        brush.shapePlane.fill(0);
        BuildCircularTip(engine);
    }
}

void BuildGrit(Engine& engine) {
    BrushState& brush = engine.brush;
    BrushSettings& b = brush.settings;
    const int32_t g = b.gritSize, n = engine.canvas.maxBrushSize;
    const RandomByteTable& placement = brush.gritPlacementTable;
    const RandomByteTable& values = brush.gritValueTable;
    if (g <= 0 || !placement.data || !values.data || brush.workBuffers[0].empty()) return;
    const int32_t S = std::min(b.size, n) + kBrushWorkMargin;
    const int64_t placementStep = std::max<int64_t>((placement.length - 2 * int64_t(g)) / 32767, 0);
    const int64_t valueStep = std::max<int64_t>((placement.length - int64_t(g)) / 32767, 0);
    for (int32_t k = 0; k < kBrushWorkBuffers; ++k) {
        Plane<G8>& buffer = brush.workBuffers[size_t(k)];
        b.gritBuffer = k;
        b.gritOffset = 0;
        buffer.fill(255);
        G8* grit = buffer.data();
        for (int32_t row = 0; row < S; row += g) {
            TableReader p(placement, brush.random.draw() * placementStep);
            TableReader q(values, brush.random.draw() * valueStep);
            for (int32_t col = 0; col < S; col += g) {
                if (p.next() >= b.gritBlockThreshold) continue;
                const uint8_t v = q.next();
                for (int32_t i = 0; i < g && row + i < S; ++i)
                    for (int32_t j = 0; j < g && col + j < S; ++j)
                        if (p.next() < b.gritCellThreshold) grit[size_t(row + i) * size_t(n) + size_t(col + j)] = v;
            }
        }
    }
    b.drawingLengthLeft = b.drawingLength;
}

bool LoadGritSource(Engine& engine, const char* source) {
    BrushState& brush = engine.brush;
    BrushSettings& b = brush.settings;
    const int32_t n = engine.canvas.maxBrushSize, side = std::min(b.size, n) + kBrushWorkMargin;
    std::vector<uint8_t> bytes;
    DecodedImage image;
    if (brush.workBuffers[0].empty() || !readFileBytes(source, bytes) || !decodeImage(bytes.data(), bytes.size(), image))
        return false;
    const int32_t w = image.width, h = image.height;
    // Every window of side x side must fit in the picture. (Grit scripts come with the
    // script reader.)
    if (w - side <= 0 || h - side <= 0) return false;
    std::vector<uint8_t> grey(std::size_t(w) * std::size_t(h));
    for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = greyOf(image.rgba[i * 4], image.rgba[i * 4 + 1], image.rgba[i * 4 + 2]);
    for (int32_t k = 0; k < kBrushWorkBuffers; ++k) {
        Plane<G8>& buffer = brush.workBuffers[size_t(k)];
        b.gritBuffer = k;
        b.gritOffset = 0;
        buffer.fill(255);
        const int32_t x = brush.random.draw() % (w - side), y = brush.random.draw() % (h - side);
        for (int32_t r = 0; r < side; ++r)
            std::memcpy(buffer.data() + std::size_t(r) * std::size_t(n), &grey[std::size_t(y + r) * std::size_t(w) + std::size_t(x)],
                        std::size_t(side));
    }
    b.drawingLengthLeft = b.drawingLength;
    return true;
}

}  // namespace calv
