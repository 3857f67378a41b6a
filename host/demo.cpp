// The demo host: drives calvcore through its public header as a painting program does,
// and writes the flattened picture to a PNG file.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "calvcore.h"

namespace {

constexpr int W = 640, H = 400;

void step(const char* text) { std::printf("demo: %s\n", text); }

[[noreturn]] void fail(const char* text) {
    std::fprintf(stderr, "demo: FAILED: %s (last error \"%s\")\n", text, CVX_GetLastError());
    std::exit(1);
}

// The engine writes the demo's pictures too.
bool writePng(const char* path, const std::vector<uint8_t>& rgba, int w, int h) {
    return CVX_WriteToFileRGBA32(rgba.data(), w, h, path, ".png", 72) == 1;
}

// A colour wheel disc with soft edges: RGBA32, transparent outside.
std::vector<uint8_t> colourDisc() {
    std::vector<uint8_t> p(size_t(W) * H * 4, 0);
    const double cx = W * 0.38, cy = H * 0.5, radius = H * 0.42;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
            if (d > radius) continue;
            const double hue = std::atan2(dy, dx) / (2 * M_PI) + 0.5, sat = d / radius;
            uint8_t* q = &p[(size_t(y) * W + size_t(x)) * 4];
            for (int c = 0; c < 3; ++c) {
                const double k = std::fmod(hue * 6 + (4 - 2 * c) + 6, 6);
                const double v = 1 - std::fmax(0.0, std::fmin(std::fmin(k, 4 - k), 1.0));
                q[c] = uint8_t(255 * (1 - sat * v));
            }
            q[3] = uint8_t(255 * std::fmin(1.0, (radius - d) / 6));
        }
    return p;
}

// Woven paper: a grey pattern whose dark threads let less paint through.
std::vector<uint8_t> paper() {
    std::vector<uint8_t> p(size_t(W) * H * 4);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double v = 0.5 + 0.25 * std::sin(x * 0.45) * std::cos(y * 0.45) + 0.25 * std::sin((x + y) * 0.08);
            uint8_t* q = &p[(size_t(y) * W + size_t(x)) * 4];
            q[0] = q[1] = q[2] = uint8_t(255 * std::fmin(1.0, std::fmax(0.0, v)));
            q[3] = 255;
        }
    return p;
}

// A warm band whose alpha comes from a separate grey ramp.
void band(std::vector<uint8_t>& rgba, std::vector<uint8_t>& ramp) {
    rgba.assign(size_t(W) * H * 4, 0);
    ramp.assign(size_t(W) * H * 3, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t* q = &rgba[(size_t(y) * W + size_t(x)) * 4];
            const bool inBand = y > H * 0.62 && y < H * 0.86;
            q[0] = 230;
            q[1] = uint8_t(80 + 150 * x / W);
            q[2] = 40;
            q[3] = inBand ? 255 : 0;
            ramp[(size_t(y) * W + size_t(x)) * 3] = uint8_t(255 * x / W);
        }
}

bool sameVisiblePixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    for (size_t i = 0; i < a.size(); i += 4) {
        if (a[i + 3] != b[i + 3]) return false;
        if (a[i + 3] != 0 && std::memcmp(&a[i], &b[i], 3) != 0) return false;
    }
    return true;
}

// Vertical stripes of cool colour, for a "Multiply" layer.
std::vector<uint8_t> stripes() {
    std::vector<uint8_t> p(size_t(W) * H * 4, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if ((x / 24) % 3 != 0 || y < H / 8 || y > H * 7 / 8) continue;
            uint8_t* q = &p[(size_t(y) * W + size_t(x)) * 4];
            q[0] = uint8_t(120 + 100 * y / H), q[1] = 170, q[2] = 255, q[3] = 255;
        }
    return p;
}

// A bright "Difference" glow on the right, and the "Layer Mask" that fades it: black
// (hiding) on the left of the glow, white (showing) on its right.
std::vector<uint8_t> glow() {
    std::vector<uint8_t> p(size_t(W) * H * 4, 0);
    const double cx = W * 0.75, cy = H * 0.4, radius = H * 0.35;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double d = std::hypot(x - cx, y - cy);
            if (d > radius) continue;
            uint8_t* q = &p[(size_t(y) * W + size_t(x)) * 4];
            q[0] = 255, q[1] = uint8_t(60 + 120 * d / radius), q[2] = 200;
            q[3] = uint8_t(255 * (1 - d / radius));
        }
    return p;
}

std::vector<uint8_t> fadeMask() {
    std::vector<uint8_t> p(size_t(W) * H * 4);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t* q = &p[(size_t(y) * W + size_t(x)) * 4];
            const int v = std::clamp((x - W / 2) * 255 / (W / 2), 0, 255);
            q[0] = q[1] = q[2] = uint8_t(v);
            q[3] = 255;
        }
    return p;
}

// Writes a B, G, R view as a PNG.
bool writeViewPng(const char* path, const std::vector<uint8_t>& bgr, int w, int h) {
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
    for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = bgr[i + 2], rgb[i + 1] = bgr[i + 1], rgb[i + 2] = bgr[i];
    return CVX_WriteToFileRGB24(rgb.data(), w, h, path, ".png", 72) == 1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "demo.png";

    CVX_SetRandomSeed(1234);
    CVX_CreateImage(nullptr, W, H, 64, 0);
    step("created a 640 x 400 canvas");

    if (!CVX_CreateLayer(1, W, H)) fail("background layer");
    CVX_SetLayerOptions(1, 1, 0, 100, "Normal");
    step("white background in slot 1");

    if (!CVX_CreateLayer(2, W, H) || !CVX_CreateLayer(3, W, H) || !CVX_CreateLayer(4, W, H)) fail("layers");
    CVX_SetLayerOptions(2, 1, 0, 100, "Normal");
    CVX_SetLayerOptions(3, 1, 0, 85, "Normal");
    step("layers 2 (Normal, 100%) and 3 (Normal, 85%)");

    const auto paperPicture = paper();
    CVX_LoadRGBA32Layer(paperPicture.data(), W * 4, 4, 0, 0, W, H, 0);
    CVX_SetLayerOptions(4, 1, 0, 100, "Texturize3");
    if (!CVX_CreateTexture(4)) fail("paper texture");
    step("paper texture taken from the Texturize3 layer 4");

    CVX_SetLayer(2);
    const auto disc = colourDisc();
    CVX_LoadRGBA32Into(disc.data(), W * 4, 2, 0, 0, W, H);
    step("colour disc loaded into layer 2 through the mask and the paper texture");

    CVX_SetLayer(3);
    std::vector<uint8_t> bandPicture, ramp;
    band(bandPicture, ramp);
    CVX_LoadRGBA32(bandPicture.data(), W * 4, 0);
    CVX_LoadRGB24ToAlpha(ramp.data(), W * 3, 0);
    step("warm band in layer 3, its alpha faded by a grey ramp");

    // Store layer 2 as a deflated block and restore it into slot 5: the round trip must
    // give back every visible pixel (loading clears the colour of transparent ones).
    std::vector<uint8_t> original(size_t(W) * H * 4), restored(size_t(W) * H * 4), block(size_t(W) * H * 5);
    CVX_GetRGBA32Layer(original.data(), W * 4, 2);
    const int32_t length = CVX_GetRGBA32LayerCompressed(block.data(), 0, int32_t(block.size()), 2, 6);
    if (length <= 0 || !CVX_CreateLayer(5, W, H) || !CVX_LoadRGBA32LayerCompressed(block.data(), 0, length, 5))
        fail("deflated layer block");
    CVX_GetRGBA32Layer(restored.data(), W * 4, 5);
    if (!sameVisiblePixels(original, restored)) fail("deflated layer block round trip");
    std::printf("demo: layer 2 stored as a %d-byte deflated block and restored exactly\n", length);
    CVX_DeleteLayer(5);

    // Store layer 3 and the mask row by row as run-length streams and play them back
    // into a fresh slot: the rows must come back as they were.
    std::vector<uint8_t> stream(size_t(W) * 5);
    size_t streamBytes = 0;
    if (!CVX_CreateLayer(6, W, H)) fail("slot 6");
    for (int y = 0; y < H; ++y) {
        const int32_t n = CVX_GetRGBA32LayerLineRLE(stream.data(), 3, y);
        if (n <= 0) fail("encoding a layer row");
        streamBytes += size_t(n);
        CVX_PutRGBA32LayerLineRLE(stream.data(), 6, y);
        if (CVX_GetMaskLineRLE(stream.data(), y) <= 0) fail("encoding a mask row");
        CVX_PutMaskLineRLE(stream.data(), y);
    }
    CVX_GetRGBA32Layer(original.data(), W * 4, 3);
    CVX_GetRGBA32Layer(restored.data(), W * 4, 6);
    if (restored != original) fail("row codec round trip");
    std::printf("demo: layer 3 stored as %zu bytes of row runs (%zu raw) and restored exactly\n", streamBytes,
                size_t(W) * H * 4);
    CVX_DeleteLayer(6);

    // Three more layers under other blend modes: "Multiply" stripes, a "Difference" glow and
    // above it the "Layer Mask" that fades the glow from left to right.
    const auto stripePicture = stripes(), glowPicture = glow(), maskPicture = fadeMask();
    if (!CVX_CreateLayer(7, W, H) || !CVX_CreateLayer(8, W, H) || !CVX_CreateLayer(9, W, H)) fail("layers 7-9");
    CVX_SetLayerOptions(7, 1, 0, 60, "Multiply");
    CVX_SetLayerOptions(8, 1, 0, 100, "Difference");
    CVX_SetLayerOptions(9, 1, 0, 100, "Layer Mask");
    CVX_LoadRGBA32Layer(stripePicture.data(), W * 4, 7, 0, 0, W, H, 0);
    CVX_LoadRGBA32Layer(glowPicture.data(), W * 4, 8, 0, 0, W, H, 0);
    CVX_LoadRGBA32Layer(maskPicture.data(), W * 4, 9, 0, 0, W, H, 0);
    step("layers 7 (Multiply, 60%), 8 (Difference) and 9 (Layer Mask over layer 8)");

    // Strokes: a soft round brush, a grit brush and a mix-mode stroke over the first,
    // each laid into the paint layer dab by dab and merged into layer 10.
    if (!CVX_CreateLayer(10, W, H)) fail("stroke layer");
    CVX_SetLayerOptions(10, 1, 0, 100, "Normal");
    CVX_SetLayer(10);
    auto stroke = [](int y0, int amplitude, int sizeFrom, int sizeTo, int colourShift) {
        CVX_CreatePaintLayer(100, "Normal");
        for (int i = 0; i <= 120; ++i) {
            const double t = i / 120.0;
            const int x = int(40 + t * (W - 80)), y = int(y0 + amplitude * std::sin(t * 2 * M_PI));
            const int size = int(sizeFrom + (sizeTo - sizeFrom) * t);
            CVX_SetSize(size);
            CVX_SetBrushShape("", 0);
            const int r = int(255 * (1 - t)), g = (colourShift + int(200 * t)) % 256, b = int(255 * t);
            CVX_DrawDabGrit(x, y, r << 8, g << 8, b << 8);
            CVX_DecDrawingLength();
        }
        CVX_MergePaintLayer(10);
    };
    CVX_SetAlpha(90);
    CVX_SetDensity(256);
    CVX_SetSize(40);
    CVX_SetTool(1.0f, 0, 0, 0, 200, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    stroke(110, 40, 20, 48, 40);
    step("soft round stroke merged from the paint layer");
    CVX_SetDensity(180);
    CVX_SetTool(1.0f, 3, 110, 170, 40, 12, 4, 0, 0, 0, 0, 0, 0, "", "", 0);
    stroke(300, -30, 36, 24, 120);
    step("grit stroke");
    CVX_SetDensity(256);
    CVX_SetTool(1.0f, 0, 0, 0, 120, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    CVX_SetMixMode(37, 220);  // Difference over the soft stroke
    stroke(130, 25, 30, 30, 0);
    step("mix-mode (Difference) stroke over the soft stroke");

    // A selection painted with the mask-maker dab: the mask is closed everywhere, then
    // black dabs open an oval on the lower left. A wide stroke painted across the canvas
    // only lands inside it. Both changes are recorded as undo steps.
    CVX_SetUndoMB(0);
    CVX_SetUndoLevels(20);
    CVX_SetLayer(10);
    CVX_ClearMask(65280, 65280, 65280);
    CVX_SaveUndoBuffer(0, 1);
    CVX_SetSize(30);
    CVX_SetAlpha(100);
    CVX_SetTool(1.0f, 0, 0, 0, 60, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    CVX_SetMaskMakerOn();
    for (int i = 0; i < 90; ++i) {
        const double a = i * 2 * M_PI / 90;
        for (int r = 0; r <= 2; ++r)
            CVX_DrawDabGrit(int(150 + r * 30 * std::cos(a)), int(290 + r * 18 * std::sin(a)), 0, 0, 0);
    }
    CVX_SaveUndoBuffer(0, 1);
    step("selection painted into the mask with the mask-maker dab");
    CVX_SetTool(1.0f, 0, 0, 0, 60, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    CVX_SetSize(50);
    CVX_SetBrushShape("", 0);
    CVX_CreatePaintLayer(100, "Normal");
    for (int x = 20; x <= W - 20; x += 4) CVX_DrawDabGrit(x, 290, 40 << 8, 90 << 8, 200 << 8);
    CVX_MergePaintLayer(10);
    CVX_SaveUndoBuffer(1, 0);
    step("blue stroke across the canvas, laid only inside the selection");
    CVX_EnableMask(0);

    // A smudge: the blend buffer picks up the colour disc and the paint it carries is
    // laid along a curve straight into layer 2, mixed a little with what lies under each
    // dab and remixed with it.
    CVX_DeletePaintLayer();
    CVX_SetLayer(2);
    CVX_SetSize(28);
    CVX_SetAlpha(100);
    CVX_SetTool(1.0f, 0, 0, 0, 100, 0, 0, 200, 0, 1, 0, 0, 0, "", "", 0);
    CVX_SetMixMode(32, 256);
    CVX_CopyBlendBufferSurface(250, 200, 0, 0);
    for (int i = 0; i <= 60; ++i) {
        const int x = 250 + i * 3, y = int(200 + 40 * std::sin(i / 60.0 * M_PI));
        CVX_MixBlendBufferSurface(x, y, 20);
        CVX_DrawDabGrit(x, y, 0, 0, 0);
    }
    CVX_SaveUndoBuffer(1, 0);
    step("smudge stroke carried by the blend buffer across the colour disc");

    // Undo the smudge and redo it: the layer must come back exactly.
    std::vector<uint8_t> smudged(size_t(W) * H * 4), undone(size_t(W) * H * 4), redone(size_t(W) * H * 4);
    CVX_GetRGBA32Layer(smudged.data(), W * 4, 2);
    CVX_Undo();
    CVX_GetRGBA32Layer(undone.data(), W * 4, 2);
    CVX_Redo();
    CVX_GetRGBA32Layer(redone.data(), W * 4, 2);
    if (undone == smudged || redone != smudged) fail("undo and redo of the smudge");
    std::printf("demo: smudge undone and redone exactly (%d steps held, %d MB)\n", CVX_GetUndoCount(),
                CVX_GetCurrentUndoMemory());

    // Three filters of the kit through the effect entry, each on part of the picture
    // chosen by the mask: a grey picture loaded into the mask (black lets the effect in).
    auto selectColumns = [](int from, int to) {
        std::vector<uint8_t> grey(size_t(W) * H * 3, 255);
        for (int y = 0; y < H; ++y)
            for (int x = from; x < to; ++x) std::memset(&grey[(size_t(y) * W + x) * 3], 0, 3);
        CVX_LoadMask(grey.data(), W * 3, W, H);
        CVX_EnableMask(1);
    };
    auto effect = [](const char* name, int s1, int s2, int s3, int s4, int s5, int s6, int f1, int f2) {
        CVX_IPLAllocSrcBuffer32();
        CVX_IPLAllocDstBuffer32();
        if (!CVX_IPLImageProcess(0, name, 0, s1, s2, s3, s4, s5, s6, 0, 0, f1, f2, 0, 0, 0, 0, 0, 0, 0, ""))
            fail(name);
        CVX_SaveUndoBuffer(1, 0);
    };
    CVX_SetLayer(2);
    selectColumns(0, W / 3);
    effect("Hyper Contrast", 600, 0, 0, 0, 0, 0, 0, 0);
    CVX_SetLayer(3);
    selectColumns(W / 2, W);
    effect("Value Blur", 0, 300, 0, 0, 0, 0, 0, 0);
    CVX_SetLayer(10);
    selectColumns(0, W);
    effect("Vignette", 0, 0, 0, 600, 300, 900, 0, 1);  // strokes fade out towards the edges
    // A selection by hue: the greens of the colour disc (within 15 % of a half turn of pure
    // green) are opened in a closed mask, and an "Adjust Lab" shift turns them purple.
    CVX_SetLayer(2);
    std::vector<uint8_t> disc32(size_t(W) * H * 4);
    CVX_GetRGBA32Layer(disc32.data(), W * 4, 2);
    CVX_ClearMask(65280, 65280, 65280);
    CVX_CreateMaskFromRGBAImageHueRange(disc32.data(), 0, 255, 0, 15, 0);
    effect("Adjust Lab", 500, 900, 300, 0, 0, 0, 0, 0);
    step("greens of the disc selected by hue and shifted in Lab");
    CVX_IPLFreeSrcBuffer32();
    CVX_IPLFreeDstBuffer32();
    CVX_EnableMask(0);
    step("kit filters through the mask: Hyper Contrast on the left third of the disc, Value Blur on the right "
         "half of the band, a Vignette on the strokes");

    // A picture from a file as a layer of its own: the Debian logo, four times across the
    // bottom right, each laid from the transfer image and moved along.
    const char* logo = "/usr/share/pixmaps/debian-logo.png";
    if (!CVX_ReadFromFile(logo)) fail("reading the logo file");
    const int lw = CVX_GetNewRGBAWidth(), lh = CVX_GetNewRGBAHeight();
    std::vector<uint8_t> logoPixels(size_t(lw) * lh * 4);
    CVX_GetNewRGBA32(logoPixels.data());
    if (!CVX_CreateLayer(11, W, H)) fail("logo layer");
    CVX_SetLayerOptions(11, 1, 0, 100, "Normal");
    for (int k = 0; k < 4; ++k)
        CVX_LoadRGBA32Layer(logoPixels.data(), lw * 4, 11, W - 4 * (lw + 8) + k * (lw + 8), H - lh - 6, lw, lh, 0);
    std::printf("demo: %s (%d x %d) read through the transfer image into layer 11\n", logo, lw, lh);

    // Flatten with the engine's merge and write the picture.
    std::vector<uint16_t> flat(size_t(W) * H * 4);
    CVX_Merge(flat.data());
    std::vector<uint8_t> picture(size_t(W) * H * 4);
    CVX_RGBA64RectToRGBA32(flat.data(), 0, 0, W, H, W, 0, picture.data());
    if (!writePng(path, picture, W, H)) fail("writing the picture");
    std::printf("demo: wrote %s, flattened from %d layers\n", path, CVX_GetLayerCount());

    // The view as a host shows it: reduced to half size, and a corner magnified three times.
    const std::string base(path);
    const std::string stem = base.size() > 4 && base.compare(base.size() - 4, 4, ".png") == 0
                                 ? base.substr(0, base.size() - 4) : base;
    std::vector<uint8_t> view(size_t(W) * H * 3);
    CVX_SetViewSize(W / 2, H / 2);
    CVX_SetScale(1, 2.0f);
    CVX_Render(view.data(), (W / 2) * 3, 0, 0, W, H);
    if (!writeViewPng((stem + "-view-half.png").c_str(), view, W / 2, H / 2)) fail("writing the reduced view");
    CVX_SetViewSize(360, 240);
    CVX_SetScale(3, 1.0f);
    CVX_Render(view.data(), 360 * 3, 150, 40, 120, 80);
    if (!writeViewPng((stem + "-view-3x.png").c_str(), view, 360, 240)) fail("writing the magnified view");
    std::printf("demo: rendered the view at half size and 3x into %s-view-half.png and %s-view-3x.png\n",
                stem.c_str(), stem.c_str());

    // The page written a row at a time as PNG, JPEG and TIFF, and a thumbnail of it.
    const std::string page = stem + "-page";
    if (!CVX_SavePageToFileRGB24((page + ".png").c_str(), ".png", 150) ||
        !CVX_SavePageToFileRGB24((page + ".jpg").c_str(), ".jpg", 150) ||
        !CVX_SavePageToFileRGB32((page + ".tif").c_str(), ".tif", 150) ||
        !CVX_MakeThumbnail((page + ".png").c_str(), (stem + "-thumb.bmp").c_str()))
        fail("page export");
    std::printf("demo: page exported as %s.png, .jpg and .tif (%d dpi), thumbnail %s-thumb.bmp\n", page.c_str(),
                CVX_GetDPIFromFile((page + ".tif").c_str()), stem.c_str());

    CVX_DeleteImage();
    step("canvas deleted");
    return 0;
}
