#include "brush/tip.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

void SetBrushShape(Engine& engine, const char* source, int32_t /*angle*/, bool /*blur*/) {
    Plane<G16>& tip = engine.brush.shapePlane;
    if (tip.empty()) return;
    tip.fill(0);
    // Image and script tips need the image-file and effect-script readers; a source that
    // cannot be read gives the circular tip.
    (void)source;
    BuildCircularTip(engine);
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

bool LoadGritSource(Engine&, const char*) {
    return false;  // grit pictures and scripts need the image-file and effect-script readers
}

}  // namespace calv
