#include "brush/dab.h"

#include <algorithm>
#include <cmath>

#include "brush/blend_buffer.h"
#include "brush/mix_modes.h"
#include "brush/over_row.h"
#include "mask/grey.h"
#include "mask/weights.h"

namespace calv {
namespace {

constexpr uint32_t kMax = 65535;
constexpr uint32_t kBlobAlpha = 8191;   // the blob lock's "already opaque" threshold
constexpr uint32_t kBlobFloor = 9215;   // the least alpha an erase leaves under the blob lock


// Per-pixel luminance variation: the factor a table byte gives at amount p ...
double luminanceFactor(uint32_t p, uint8_t byte) { return (128.0 - double(p >> 1) + double(byte % p)) * (1.0 / 256); }

// ... moves each channel towards white (f above one half) or black.
void luminanceStep(double f, uint32_t& r, uint32_t& g, uint32_t& b) {
    auto one = [&](uint32_t v) -> uint32_t {
        if (f > 0.5) return uint32_t((kMax - v) * ((f - 0.5) * 2) + v);
        return uint32_t(v - v * ((0.5 - f) * 2));
    };
    r = one(r), g = one(g), b = one(b);
}

// Per-pixel colour variation: the offset the table byte gives, centred on 0.
int64_t colourVaryOffset(uint32_t vary, uint8_t byte) {
    return (int64_t(vary & ~1u) - 2 * int64_t(byte % vary)) * 128;
}

// The lookups for these amounts (0 for an amount not in use).
const VariationLookups& variationLookups(BrushState& brush, uint32_t colourVary, uint32_t lumVary) {
    VariationLookups& v = brush.variation;
    if (colourVary > 0 && v.colourVary != colourVary) {
        for (uint32_t k = 0; k < 256; ++k) v.colourOffset[k] = colourVaryOffset(colourVary, uint8_t(k));
        v.colourVary = colourVary;
    }
    if (lumVary > 0 && v.lumVary != lumVary) {
        for (uint32_t k = 0; k < 256; ++k) v.lumFactor[k] = luminanceFactor(lumVary, uint8_t(k));
        v.lumVary = lumVary;
    }
    return v;
}

// A running read position in a variation table, wrapping at its end.
struct VaryCursor {
    const RandomByteTable* table = nullptr;
    int32_t pos = -1;  // unset at the start of a dab

    bool active() const { return table && table->data && table->length > 0; }
    void startRow(RandomGenerator& random, int32_t n, int32_t scaleSize) {
        if (pos < 0 || pos + scaleSize >= table->length - 1) pos = random.draw() % std::max(n, 1);
        if (pos >= table->length) pos = 0;
    }
    uint8_t next() {
        const uint8_t v = table->data[size_t(pos)];
        if (++pos == table->length) pos = 0;
        return v;
    }
};

// A dab's per-pixel variation: the two table cursors, which of them are in use, and what
// each table byte does. At a row start the colour cursor draws before the luminance one.
struct PixelVariation {
    VaryCursor colourCursor, lumCursor;
    bool colour = false, lum = false;  // in use for this dab
    const VariationLookups* lookups = nullptr;

    explicit PixelVariation(BrushState& brush)
        : colourCursor{&brush.pixColorVaryTable}, lumCursor{&brush.pixLumVaryTable} {
        const uint32_t colourVary = uint32_t(std::max(brush.settings.pixColorVary, 0));
        const uint32_t lumVary = uint32_t(std::max(brush.settings.pixLumVary, 0));
        colour = colourVary > 0 && colourCursor.active();
        lum = lumVary > 0 && lumCursor.active();
        lookups = &variationLookups(brush, colour ? colourVary : 0, lum ? lumVary : 0);
    }
    void startRow(RandomGenerator& random, int32_t n, int32_t scaleSize) {
        if (colour) colourCursor.startRow(random, n, scaleSize);
        if (lum) lumCursor.startRow(random, n, scaleSize);
    }
    int64_t nextColourOffset() { return lookups->colourOffset[colourCursor.next()]; }
    double nextLumFactor() { return lookups->lumFactor[lumCursor.next()]; }
};

void grow(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom, int32_t xs, int32_t ys, int32_t xe,
          int32_t ye) {
    left = std::min(left, xs);
    top = std::min(top, ys);
    right = std::max(right, xe);
    bottom = std::max(bottom, ye);
}

// The random shift of a whole dab's colour under colour variation (colorVary > 0).
int64_t drawColourShift(BrushState& brush) {
    const int32_t v = brush.settings.colorVary;
    return int64_t(v / 2 - brush.random.draw() % v) * 256;
}

// The one-dab controls a dab laid into a layer consumes.
void finishDab(BrushSettings& s) { s.blendDisabledOnce = s.maskMakerOn = s.eraseModeOn = false; }

// Straight-alpha "over" of paint P at coverage w on a pixel D with alpha: a is the paint's
// effective alpha, Dp and Pp the premultiplied channels; multiply (modes 33 and below other
// than normal) adds the product term. Returns the new alpha.
inline uint32_t layOver(const uint32_t P[4], uint32_t w, const uint32_t D[4], bool normal, uint32_t colour[3]) {
    const uint32_t Da = D[3], a = (w * P[3]) / kMax;
    const uint32_t Na = ((kMax - Da) * a) / kMax + Da;
    // Over an opaque result the division by Na is by the constant: skip it.
    auto unpremultiply = [Na](uint32_t v) { return Na == kMax ? v : v * kMax / Na; };
    for (int c = 0; c < 3; ++c) {
        const uint32_t Dp = (D[c] * Da) >> 16, Pp = (a * P[c]) >> 16;
        colour[c] = normal ? unpremultiply(Dp * (kMax - a) / kMax + Pp)
                           : unpremultiply((kMax - a) * Dp / kMax + (kMax - Da) * Pp / kMax + Dp * Pp / kMax);
    }
    return Na;
}

// A new grit window once the drawing length is used up.
void takeGritWindow(BrushState& brush, int32_t n) {
    BrushSettings& s = brush.settings;
    if (s.gritSize == 0 || s.drawingLengthLeft >= 1) return;
    RandomGenerator& random = brush.random;
    int32_t k = random.draw() % kBrushWorkBuffers;
    while (k == s.gritBuffer) k = random.draw() % kBrushWorkBuffers;
    s.gritBuffer = k;
    const int32_t row = random.draw() % 25;
    s.gritOffset = row * n + random.draw() % 25;
    s.drawingLengthLeft = s.drawingLength;
}

// Where a dab lies: its unclipped corner (x0, y0) and the part on the canvas, xe and ye
// exclusive.
struct DabPlace {
    int32_t x0 = 0, y0 = 0, xs = 0, ys = 0, xe = 0, ye = 0;
};

// Places a dab centred on (x, y) and grows the undo rectangle by it, even when nothing
// will be laid.
DabPlace placeDab(Engine& engine, int32_t x, int32_t y) {
    const BrushSettings& s = engine.brush.settings;
    DabPlace d;
    const int32_t half = s.scaleSize / 2;
    d.x0 = x - half, d.y0 = y - half;
    d.xs = std::max(d.x0, 0), d.ys = std::max(d.y0, 0);
    d.xe = int32_t(std::min<int64_t>(int64_t(d.x0) + s.scaleSize, engine.canvas.width));
    d.ye = int32_t(std::min<int64_t>(int64_t(d.y0) + s.scaleSize, engine.canvas.height));
    HistoryState& h = engine.history;
    grow(h.undoLeft, h.undoTop, h.undoRight, h.undoBottom, d.xs, d.ys, d.xe, d.ye);
    return d;
}

// The tip, the scale map and the grit window lie inside their planes.
bool tipFits(const BrushState& brush) {
    const BrushSettings& s = brush.settings;
    bool fits = s.size > 0 && s.size <= brush.shapePlane.width() && s.scaleSize <= kMaxTipSide &&
                !brush.workBuffers[0].empty();
    for (int32_t k = 0; fits && k < s.scaleSize; ++k) fits = s.scaleMap[size_t(k)] >= 0 && s.scaleMap[size_t(k)] < s.size;
    return fits;
}

// One row of a placed dab: for each pixel from xs, its coverage: 0 where the grit holds
// the paint back, otherwise the tip value after the opacity and the paper texture. A turned
// tip also records the tip pixel each dab pixel samples.
struct DabRow {
    uint32_t coverage[kMaxTipSide];
    int32_t tipRow[kMaxTipSide], tipCol[kMaxTipSide];  // turned tips only
};

// The tip row of canvas row yy and the tip columns from xs on, for an unturned tip.
int32_t tipRowOf(const BrushSettings& s, const DabPlace& d, int32_t yy) { return s.scaleMap[size_t(yy - d.y0)]; }
const int32_t* tipColumnsOf(const BrushSettings& s, const DabPlace& d) { return s.scaleMap.data() + (d.xs - d.x0); }

// Fills `r` for canvas row yy of a dab with at least one column on the canvas.
void coverageRow(const Engine& engine, const DabPlace& d, int32_t yy, DabRow& r) {
    const BrushState& brush = engine.brush;
    const BrushSettings& s = brush.settings;
    const size_t n = size_t(engine.canvas.maxBrushSize);
    const int32_t size = s.size, width = d.xe - d.xs;
    const bool useGrit = s.gritSize != 0;
    const int32_t limit = s.densityLimit;  // grit values above it hold the paint back
    const G8* gritWindow = brush.workBuffers[size_t(s.gritBuffer)].data() + s.gritOffset;
    const G16* tip = brush.shapePlane.data();
    const int32_t t = tipRowOf(s, d, yy);
    const int32_t* cols = tipColumnsOf(s, d);
    uint32_t* cov = r.coverage;
    if (s.rotateBrushMode != 1) {
        const G16* tipRow = tip + size_t(t) * n;
        if (useGrit) {
            const G8* gritRow = gritWindow + size_t(t) * n;
            for (int32_t i = 0; i < width; ++i) cov[i] = int32_t(gritRow[cols[i]]) > limit ? 0 : tipRow[cols[i]];
        } else {
            for (int32_t i = 0; i < width; ++i) cov[i] = tipRow[cols[i]];
        }
    } else {
        const int32_t hs = size / 2;
        for (int32_t i = 0; i < width; ++i) {
            int32_t row = t, col = cols[i];
            const int32_t dx = col - hs, dy = row - hs;
            const int32_t cx = int32_t(s.rotateCos * float(dx) - s.rotateSin * float(dy)) + hs;
            const int32_t cy = int32_t(s.rotateSin * float(dx) + s.rotateCos * float(dy)) + hs;
            if (cx >= 0 && cx < size && cy >= 0 && cy < size) row = cy, col = cx;
            const size_t at = size_t(row) * n + size_t(col);
            cov[i] = useGrit && int32_t(gritWindow[at]) > limit ? 0 : tip[at];
            r.tipRow[i] = row, r.tipCol[i] = col;
        }
    }
    if (s.alpha < 100) {
        const uint32_t alphaScaled = uint32_t(std::max(s.alphaScaled, 0));
        for (int32_t i = 0; i < width; ++i) cov[i] = (cov[i] * alphaScaled) >> 7;
    }
    if (!brush.texturePlane.empty()) {
        const G8* tex = brush.texturePlane.row(yy) + d.xs;
        for (int32_t i = 0; i < width; ++i)
            if (tex[i] < 255) cov[i] = (cov[i] * tex[i]) >> 8;
    }
}

// The tip pixel a dab pixel samples.
struct TipSample {
    int32_t row, col;
};

// Walks the pixels of a placed dab: startRow(y) once a row, then pixel(i, tip, w) for
// every pixel with coverage w above 0, where i counts columns from xs.
template <class RowFn, class PixelFn>
void walkDab(const Engine& engine, const DabPlace& d, RowFn&& startRow, PixelFn&& pixel) {
    const BrushSettings& s = engine.brush.settings;
    const bool turned = s.rotateBrushMode == 1;
    const int32_t width = d.xe - d.xs;
    const int32_t* cols = width > 0 ? tipColumnsOf(s, d) : nullptr;
    DabRow r;
    for (int32_t yy = d.ys; yy < d.ye; ++yy) {
        startRow(yy);  // even for a row wholly off the canvas: it may draw random numbers
        if (width <= 0) continue;
        coverageRow(engine, d, yy, r);
        const int32_t t = tipRowOf(s, d, yy);
        for (int32_t i = 0; i < width; ++i)
            if (r.coverage[i] != 0)
                pixel(i, turned ? TipSample{r.tipRow[i], r.tipCol[i]} : TipSample{t, cols[i]}, r.coverage[i]);
    }
}

}  // namespace

void DrawDabGrit(Engine& engine, int32_t x, int32_t y, int32_t r, int32_t g, int32_t b) {
    BrushState& brush = engine.brush;
    BrushSettings& s = brush.settings;
    s.color = {uint16_t(r & 65280), uint16_t(g & 65280), uint16_t(b & 65280), kFullAlpha16};
    if (s.maskMakerOn) return DrawDabGritMask(engine, x, y);  // dabs paint the mask until the next tool
    RandomGenerator& random = brush.random;
    const int32_t n = engine.canvas.maxBrushSize;
    const bool erase = s.eraseModeOn;

    // Dab colour, with one random shift for the whole dab.
    int64_t dab[4] = {s.color.r, s.color.g, s.color.b, kMax};
    if (s.colorVary > 0) {
        const int64_t o = drawColourShift(brush);
        for (auto& c : dab) c = clampTo16(c + o);
    }
    if (erase) dab[0] = dab[1] = dab[2] = kMax, dab[3] = 0;
    const uint32_t R0 = uint32_t(dab[0]), G0 = uint32_t(dab[1]), B0 = uint32_t(dab[2]), A0 = uint32_t(dab[3]);

    takeGritWindow(brush, n);
    const uint32_t pcs = uint32_t(std::clamp(s.primaryColorStrength, 0, 256));
    const uint32_t pcsDab[4] = {pcs * R0, pcs * G0, pcs * B0, pcs * A0};

    DabPlace d = placeDab(engine, x, y);
    Layer& paint = engine.layers.paint;
    if (paint.hasPixels()) grow(paint.dirty.left, paint.dirty.top, paint.dirty.right, paint.dirty.bottom, d.xs, d.ys, d.xe, d.ye);

    Layer* target = paint.hasPixels() ? &paint : engine.layers.currentWithPixels();
    if (!target || !tipFits(brush)) return finishDab(s);
    d.xe = std::min(d.xe, target->width());
    d.ye = std::min(d.ye, target->height());
    const bool toPaintLayer = target == &paint;
    const bool blendActive = s.blendStrength != 0 && !s.blendDisabledOnce && !brush.blendBuffer.empty();
    const uint32_t bs = uint32_t(std::clamp(s.blendStrength, 0, 256));
    const bool masked = engine.mask.gating();
    PixelVariation vary(brush);
    // Alpha stays when dabs go straight into a locked layer or the trace and background.
    const bool alphaFixed = !toPaintLayer && (target->keepAlpha || s.alphaLocked != 0 || engine.layers.currentLayer <= 1);
    RGBA64* outRow = nullptr;
    const G16* m = nullptr;
    auto startRow = [&](int32_t yy) {
        outRow = target->pixels.row(yy) + d.xs;
        m = masked ? engine.mask.plane.row(yy) + d.xs : nullptr;
        vary.startRow(random, n, s.scaleSize);
    };
    // Paint of one colour laid normally or multiplied: the coverage of a row is gathered
    // first, then laid several pixels at a time.
    const bool plainRows = !blendActive && !vary.colour && !vary.lum && !erase && s.mixMode <= kMixMultiply &&
                           !s.colorLocked && !s.blobLocked && overRowAvailable();
    if (plainRows) {
        OverRowPaint rowPaint;
        rowPaint.colour[0] = R0, rowPaint.colour[1] = G0, rowPaint.colour[2] = B0;
        rowPaint.alpha = A0;  // below 65535 when the dab's colour shift lowered it
        rowPaint.multiply = s.mixMode != kMixNormal;
        rowPaint.alphaFixed = alphaFixed;
        rowPaint.alphaLevelled = s.alphaLevel > 0;
        rowPaint.alphaLevel = uint16_t(s.alphaLevel);
        const int32_t width = d.xe - d.xs;
        DabRow rowCoverage;
        for (int32_t yy = d.ys; yy < d.ye && width > 0; ++yy) {
            coverageRow(engine, d, yy, rowCoverage);
            startRow(yy);
            uint32_t* cov = rowCoverage.coverage;
            if (m)
                for (int32_t i = 0; i < width; ++i) cov[i] = maskWeight16(cov[i], m[i]);
            if (s.solidBrushMode)
                for (int32_t i = 0; i < width; ++i) cov[i] = cov[i] != 0 ? kMax : 0;
            layOverRow(outRow, cov, width, rowPaint);
        }
        return finishDab(s);
    }
    walkDab(engine, d, startRow, [&](int32_t i, const TipSample& sample, uint32_t w) {
        RGBA64* out = outRow + i;
        if (m) w = maskWeight16(w, m[i]);
        if (w == 0) return;
        if (s.solidBrushMode) w = kMax;

        uint32_t P[4];
        RGBA64* blendPixel = nullptr;
        if (blendActive) {
            blendPixel = brush.blendBuffer.row(sample.row) + sample.col;
            P[0] = blendPixel->r, P[1] = blendPixel->g, P[2] = blendPixel->b, P[3] = blendPixel->a;
            if (s.imageBrushMode && P[3] < kMax) {
                w = (w * P[3]) >> 16;
                P[3] = kMax;
                if (w == 0) w = 1;
            }
            if (vary.colour) {
                const int64_t o = vary.nextColourOffset();
                for (int c = 0; c < 3; ++c) P[c] = clampTo16(int64_t(P[c]) + o);
            }
            if (vary.lum) luminanceStep(vary.nextLumFactor(), P[0], P[1], P[2]);
            if (pcs > 0)
                for (int c = 0; c < 4; ++c) P[c] = (P[c] * (256 - pcs) + pcsDab[c]) >> 8;
        } else {
            P[0] = R0, P[1] = G0, P[2] = B0, P[3] = A0;
            if (vary.colour) {
                const int64_t o = vary.nextColourOffset();
                for (int c = 0; c < 4; ++c) P[c] = clampTo16(int64_t(P[c]) + o);
            }
            if (vary.lum) {
                P[0] = R0, P[1] = G0, P[2] = B0;
                luminanceStep(vary.nextLumFactor(), P[0], P[1], P[2]);
            }
        }

        const uint32_t D[4] = {out->r, out->g, out->b, out->a};
        const uint32_t Da = D[3];
        uint32_t colour[3], Na, Dadj[3] = {D[0], D[1], D[2]};
        if (s.mixMode > kMixMultiply) {
            const MixResult mr = MixPixel(s, P, w, D, erase);
            for (int c = 0; c < 3; ++c) colour[c] = mr.out[c], Dadj[c] = mr.dest[c];
            Na = mr.alpha;
        } else if (Da == 0) {
            for (int c = 0; c < 3; ++c) colour[c] = P[c], Dadj[c] = 0;
            Na = (w * P[3]) >> 16;
        } else if (blendActive && s.mixMode == kMixNormal) {
            Na = ((((65536 - w) * Da) >> 8) + ((w * P[3]) >> 8)) >> 8;
            for (int c = 0; c < 3; ++c)
                colour[c] = P[3] == 0 ? D[c] : ((((65536 - w) * D[c]) >> 8) + ((w * P[c]) >> 8)) >> 8;
        } else if (erase) {
            Na = ((kMax - w) * Da) >> 16;
            colour[0] = D[0], colour[1] = D[1], colour[2] = D[2];
        } else {
            Na = layOver(P, w, D, s.mixMode == kMixNormal, colour);
        }

        if (blendPixel && s.blendRemix) {
            RGBA64& bp = *blendPixel;
            if (P[3] == 0) {
                bp = {uint16_t(Dadj[0]), uint16_t(Dadj[1]), uint16_t(Dadj[2]), uint16_t(((256 - bs) * Da) >> 8)};
            } else if (Da == 0) {
                bp = {uint16_t(P[0]), uint16_t(P[1]), uint16_t(P[2]), uint16_t((bs * P[3]) >> 8)};
            } else {
                auto ch = [&](int c) {
                    return uint16_t(std::min((((256 - bs) * Dadj[c] + bs * P[c]) >> 8) + 1, kMax));
                };
                bp = {ch(0), ch(1), ch(2), uint16_t(((256 - bs) * Da + bs * P[3]) >> 8)};
            }
        }

        if (erase) {
            if (s.blobLocked) {
                if (Da > kBlobAlpha) out->a = uint16_t(std::max(Na, kBlobFloor));
            } else {
                out->a = uint16_t(Na);
            }
            return;
        }
        if (!s.colorLocked) out->r = uint16_t(colour[0]), out->g = uint16_t(colour[1]), out->b = uint16_t(colour[2]);
        if (alphaFixed || (s.blobLocked && (Da <= kBlobAlpha || Na <= kBlobAlpha))) return;
        out->a = uint16_t(s.alphaLevel > 0 ? uint32_t(s.alphaLevel) : Na);
    });
    finishDab(s);
}

void DrawDabGritMask(Engine& engine, int32_t x, int32_t y) {
    BrushState& brush = engine.brush;
    BrushSettings& s = brush.settings;
    const int32_t n = engine.canvas.maxBrushSize;
    // The paint's mask value: dark opens, light protects.
    int64_t value = maskFromColour(s.color.r, s.color.g, s.color.b);
    if (s.colorVary > 0) value = clampTo16(value + drawColourShift(brush));
    if (s.eraseModeOn) value = kMax;
    const uint32_t M0 = uint32_t(value);

    takeGritWindow(brush, n);
    const DabPlace d = placeDab(engine, x, y);
    Plane<G16>& mask = engine.mask.plane;
    if (mask.empty() || !tipFits(brush)) {
        s.blendDisabledOnce = false;
        return;
    }
    const uint32_t pcs = uint32_t(std::clamp(s.primaryColorStrength, 0, 256)), pcsM0 = pcs * M0;
    const bool blendActive = s.blendStrength != 0 && !s.blendDisabledOnce && !brush.blendBuffer.empty();
    const uint32_t bs = uint32_t(std::clamp(s.blendStrength, 0, 256));
    PixelVariation vary(brush);
    G16* row = nullptr;
    auto startRow = [&](int32_t yy) {
        row = mask.row(yy) + d.xs;
        vary.startRow(brush.random, n, s.scaleSize);
    };
    auto lumStep = [&](uint32_t v) {
        uint32_t g = v, b = v;
        luminanceStep(vary.nextLumFactor(), v, g, b);
        return v;
    };
    walkDab(engine, d, startRow, [&](int32_t i, const TipSample& sample, uint32_t w) {
        if (w == 0) return;  // the mask does not gate its own dab
        if (s.solidBrushMode) w = kMax;
        G16& m = row[i];
        uint32_t I;
        uint16_t* blend = nullptr;
        if (blendActive) {
            blend = blendChannelRow(brush, sample.row) + sample.col;
            I = *blend;
            if (vary.colour) I = clampTo16(int64_t(I) + vary.nextColourOffset());
            if (vary.lum) I = lumStep(I);
            if (pcs > 0) I = ((256 - pcs) * I + pcsM0) >> 8;
        } else {
            I = M0;
            if (vary.colour) I = clampTo16(int64_t(I) + vary.nextColourOffset());
            if (vary.lum) I = lumStep(M0);
        }
        if (blend && s.blendRemix) *blend = uint16_t(std::min((((256 - bs) * m + bs * I) >> 8) + 1, kMax));
        // Full coverage lays the value itself, so black paint opens the mask completely.
        m = uint16_t(w == kMax ? I : ((((65536 - w) * m) >> 8) + ((w * I) >> 8)) >> 8);
    });
    s.blendDisabledOnce = false;
}

}  // namespace calv
