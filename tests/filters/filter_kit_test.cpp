#include "support/kit_fixture.h"

namespace calv::test {
namespace {

class FilterKitTest : public KitTest {
protected:
    static RGBA32 one(const char* name, const FilterArgs& args, RGBA32 p) { return run(name, args, {p}, 1, 1)[0]; }
};

TEST_F(FilterKitTest, NamesMatchExactly) {
    const Picture src = {{10, 20, 30, 40}};
    for (const char* name : {"invert", "Invert ", "Inv", "", "Value  Blur"})
        EXPECT_EQ(run(name, {}, src, 1, 1), src) << name;  // the copy of the source, nothing more
    EXPECT_EQ(one("Invert", {}, {10, 20, 30, 40}), (RGBA32{245, 235, 225, 40}));
    FilterArgs chained;
    chained.chained = 1;  // the destination is not refreshed from the source
    EXPECT_EQ(run("Unknown", chained, src, 1, 1), (Picture{RGBA32{1, 2, 3, 4}}));
}

TEST_F(FilterKitTest, WorkImageEntryNeedsBothImages) {
    makeCanvas(3, 2);
    setPixel(2, 0, 0, {10 << 8, 20 << 8, 30 << 8, 65535});
    EXPECT_FALSE(FilterKitRun(engine(), "Invert", {}));
    CVX_IPLAllocSrcBuffer32();
    EXPECT_FALSE(FilterKitRun(engine(), "Invert", {}));
    CVX_IPLAllocDstBuffer32();
    EXPECT_TRUE(FilterKitRun(engine(), "Invert", {}));
    EXPECT_EQ(engine().effects.dest32.at(0, 0), (RGBA32{245, 235, 225, 255}));
    EXPECT_EQ(engine().effects.kit.width, 3);
    EXPECT_EQ(engine().effects.kit.stride, 12);
}

TEST_F(FilterKitTest, WorkImagesFollowTheCurrentLayerOrTheHost) {
    EXPECT_EQ(CVX_IPLUpdateSrcBuffer32(), 0);  // no image
    makeCanvas(2, 2);
    setPixel(2, 1, 1, {0x1234, 0x5678, 0x9ABC, 0xFFFF});
    CVX_IPLAllocSrcBuffer32();
    CVX_IPLAllocSrcBuffer24();
    EXPECT_EQ(engine().effects.source32.at(1, 1), (RGBA32{0x12, 0x56, 0x9A, 0xFF}));
    EXPECT_EQ(engine().effects.source24.at(1, 1), (RGB24{0x12, 0x56, 0x9A}));
    const uint8_t host[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    CVX_IPLSetSrcBuffer32(host);
    EXPECT_EQ(engine().effects.source32.at(1, 1), (RGBA32{13, 14, 15, 16}));
    EXPECT_EQ(CVX_IPLUpdateSrcBuffer32(), 2);  // the canvas height
    EXPECT_EQ(engine().effects.source32.at(1, 1), (RGBA32{0x12, 0x56, 0x9A, 0xFF}));
    CVX_IPLSetDstBuffer32(host);  // no destination yet: nothing
    CVX_IPLAllocDstBuffer32();
    CVX_IPLSetDstBuffer32(host);
    EXPECT_EQ(engine().effects.dest32.at(0, 0), (RGBA32{1, 2, 3, 4}));
    CVX_SetLastError("");
    failBlocksForTesting(0, 1);
    CVX_IPLAllocDstBuffer32();
    EXPECT_STREQ(CVX_GetLastError(), "IPLAllocDstBuffer32 Excpt");
    EXPECT_TRUE(engine().effects.dest32.empty());
    CVX_IPLFreeSrcBuffer32();
    CVX_IPLFreeSrcBuffer24();
    EXPECT_TRUE(engine().effects.source32.empty());
    EXPECT_EQ(CVX_IPLUpdateSrcBuffer32(), 0);
}

TEST_F(FilterKitTest, PointFilters) {
    struct Case {
        const char* name;
        FilterArgs args;
        RGBA32 in, out;
    } cases[] = {
        {"Basic Threshold", kitArgs({0}), {0, 0, 0, 9}, {255, 255, 255, 9}},
        {"Basic Threshold", kitArgs({1000}), {255, 255, 255, 9}, {255, 255, 255, 9}},  // 255 < 255 is false
        {"Basic Threshold", kitArgs({1000}), {255, 255, 254, 9}, {0, 0, 0, 9}},
        {"Grayscale", {}, {10, 20, 31, 7}, {20, 20, 20, 7}},
        {"Channel", kitArgs({}, {1}), {10, 20, 30, 40}, {255, 0, 0, 10}},
        {"Channel", kitArgs({}, {1}), {0, 20, 30, 40}, {0, 0, 0, 0}},
        {"Channel", kitArgs({}, {0, 1}), {10, 20, 30, 40}, {0, 255, 0, 20}},
        {"Channel", kitArgs({}, {1, 1}), {10, 20, 30, 40}, {0, 0, 0, 0}},  // green sees red's result
        {"Channel", kitArgs({}, {2, 0, 0}), {10, 20, 30, 40}, {10, 20, 30, 40}},
        // below 0.2 x 255 -> trunc(0.9 x 255) = 229, then above 127.5 -> trunc(0.1 x 255) = 25
        {"Clamp", kitArgs({200, 900, 500, 100}, {1, 0, 1, 1}), {10, 10, 10, 10}, {25, 10, 25, 25}},
        {"Adjust Lab", kitArgs({500, 500, 500}), {200, 30, 90, 3}, {199, 30, 90, 3}},
        {"Adjust Lab", kitArgs({1000, 500, 500}), {200, 30, 90, 3}, {255, 255, 255, 3}},
        {"Adjust Lab", kitArgs({500, 0, 750}), {200, 30, 90, 3}, {70, 117, 0, 3}},
        {"Hyper Contrast", kitArgs({0}), {100, 100, 100, 5}, {113, 113, 113, 5}},
        {"Hyper Contrast", kitArgs({0}), {200, 30, 90, 5}, {204, 32, 95, 5}},
        {"Hyper Contrast", kitArgs({500}), {200, 30, 90, 5}, {255, 0, 50, 5}},
        {"Hyper Contrast", kitArgs({1000}), {100, 100, 100, 5}, {0, 0, 0, 5}},  // e = 1: a threshold
        {"Hyper Contrast", kitArgs({1000}), {250, 240, 10, 5}, {255, 255, 0, 5}},
    };
    for (const Case& c : cases) EXPECT_EQ(one(c.name, c.args, c.in), c.out) << c.name;
}

TEST_F(FilterKitTest, FaderRampsAlphaAcrossTheRegion) {
    const Picture src(5, RGBA32{10, 20, 30, 200});
    // Neutral sliders: nothing changes, with alpha or with colour through HSL.
    EXPECT_EQ(run("Fader", kitArgs({500, 500, 500, 500}, {0, 0, 0, 1}), src, 5, 1), src);
    EXPECT_EQ(run("Fader", kitArgs({500, 500, 500, 500}, {0, 1, 1, 0}), src, 5, 1)[2], (RGBA32{10, 20, 30, 200}));
    // Horizontal factor 0 .. 2 over five columns: 0, 0.5, 1, 1.5, 2.
    const Picture ramp = run("Fader", kitArgs({500, 500, 0, 1000}, {0, 0, 0, 1}), src, 5, 1);
    const uint8_t expected[] = {0, 100, 200, 255, 255};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(ramp[size_t(x)].a, expected[x]) << x;
    // Lightness halved everywhere (factor 0.5 x 1).
    const Picture dark = run("Fader", kitArgs({250, 250, 500, 500}, {0, 0, 1, 0}), {{200, 100, 0, 9}}, 1, 1);
    EXPECT_EQ(dark[0], (RGBA32{100, 49, 0, 9}));  // truncated on the way back from HSL
}

TEST_F(FilterKitTest, SweepsFollowTheirOrder) {
    const RGBA32 k{0, 0, 0, 255};
    const Picture dot = {k, {200, 100, 50, 255}, k, k, k, k};
    // Value Blur, lighter predecessors at weight 0.5, darker ones off.
    const Picture blurred = run("Value Blur", kitArgs({500, 0}), dot, 3, 2);
    const Picture expected = {{100, 50, 25, 255}, {200, 100, 50, 255}, {100, 50, 25, 255},
                              {50, 25, 12, 255},  {150, 75, 37, 255},  {50, 25, 12, 255}};
    EXPECT_EQ(blurred, expected);
    EXPECT_TRUE(engine().effects.kit.chained);
    EXPECT_EQ(run("Value Blur", kitArgs({1000, 1000}), dot, 3, 2), dot);
    EXPECT_EQ(run("Value Blur", kitArgs({0, 0}), dot, 3, 2), dot);
    // One row only: no sweep visits anything.
    EXPECT_EQ(run("Value Blur", kitArgs({500, 500}), {k, {200, 100, 50, 255}, k}, 3, 1),
              (Picture{k, {200, 100, 50, 255}, k}));

    // Noise Reduction at full strength (pairs averaged) and no threshold limit.
    const Picture averaged = run("Noise Reduction", kitArgs({1000, 1000}), dot, 3, 2);
    EXPECT_EQ(averaged, (Picture{{27, 13, 6, 255}, {51, 24, 12, 255}, {25, 12, 6, 255},
                                 {18, 9, 4, 255},  {46, 22, 11, 255}, {12, 6, 3, 255}}));
    EXPECT_DOUBLE_EQ(engine().effects.kit.S[0], 0.5);  // the slider holds the weight now
    const Picture mixed = {{10, 10, 10, 255}, {30, 30, 30, 255}, {10, 10, 10, 255},
                           {20, 20, 20, 100}, {10, 10, 10, 255}, {0, 0, 0, 0}};
    EXPECT_EQ(run("Noise Reduction", kitArgs({1000, 100}), mixed, 3, 2),
              (Picture{{12, 12, 12, 219}, {13, 13, 13, 212}, {9, 9, 9, 157},
                       {12, 12, 12, 184}, {13, 13, 13, 204}, {6, 6, 6, 108}}));
    EXPECT_EQ(run("Noise Reduction", kitArgs({1000, 0}), mixed, 3, 2), mixed);  // nothing is below 0

    // Noise Reduction RGB: each channel on its own threshold, alpha untouched.
    const Picture rgb = run("Noise Reduction RGB", kitArgs({1000, 1000, 1000, 0, 0, 0}), mixed, 3, 2);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(rgb[i].a, mixed[i].a);
        EXPECT_EQ(rgb[i].g, mixed[i].g);  // green's threshold is 0
    }
    EXPECT_EQ(rgb[0].r, 12);
}

// A picture of nine rows, so that the sweeps' rows are taken several at a time; the
// checksums come from a plain pair-by-pair model of the eight sweeps.
TEST_F(FilterKitTest, SweepsOverManyRowsMatchThePairByPairModel) {
    const int32_t w = 6, h = 9;
    Picture src;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            src.push_back({uint8_t((x * 37 + y * 91) % 256), uint8_t((x * x * 13 + y * 7) % 256),
                           uint8_t((x * y * 29 + 5) % 256), uint8_t((x + y) % 3 ? 255 : 128)});
    auto checksum = [](const Picture& p) {
        int64_t sum = 0, i = 0;
        for (const RGBA32& q : p) sum += ++i * (q.r + 2 * q.g + 3 * q.b + 5 * q.a);
        return sum;
    };
    EXPECT_EQ(checksum(run("Value Blur", kitArgs({300, 700}), src, w, h)), 2820172);
    EXPECT_EQ(checksum(run("Noise Reduction", kitArgs({800, 400}), src, w, h)), 2531625);
}

TEST_F(FilterKitTest, AntiAliasSoftensStaircasesOnly) {
    const RGBA32 W{255, 255, 255, 255}, B{0, 0, 0, 255};
    const Picture stairs = {W, W, W, W, B, W, W, W, B, B, W, W, B, B, B, W};
    const RGBA32 g1{95, 95, 95, 255}, g2{191, 191, 191, 255};
    EXPECT_EQ(run("Anti Alias", kitArgs({500, 500, 500, 500}), stairs, 4, 4),
              (Picture{W, W, W, W, g1, g2, W, W, B, g1, g2, W, B, B, g1, W}));
    const Picture edge = {W, B, B, B, W, B, B, B, W, B, B, B, W, B, B, B};
    EXPECT_EQ(run("Anti Alias", kitArgs({500, 500, 500, 500}), edge, 4, 4), edge);
}

TEST_F(FilterKitTest, NeighbourhoodBlursLeaveTheBorder) {
    // A 3 x 3 picture: only the centre is interior.
    const RGBA32 g{100, 100, 100, 200};
    Picture src(9, g);
    src[4] = {250, 250, 250, 100};
    // Detail Blur: the centre stands out (250 vs a mean of 127) and takes the RGBA mean.
    const Picture detail = run("Detail Blur", kitArgs({100}), src, 3, 3);
    EXPECT_EQ(detail[4], (RGBA32{116, 116, 116, 188}));  // (8 x 100 + 250) / 9, (8 x 200 + 100) / 9
    for (size_t i : {0u, 1u, 3u, 5u, 8u}) EXPECT_EQ(detail[i], g);
    EXPECT_EQ(run("Detail Blur", kitArgs({600}), src, 3, 3), src);  // |250 - 116| = 134 is not above 153
    // Adaptive Blur: brighter than its left neighbour, weight S2 = 0.5:
    // P = trunc(0.5 x 250) = 125; a1 = 175; a2 = 350; a3 = 525; a4 = 700; 700 / 4 = 175.
    const Picture adaptive = run("Adaptive Blur", kitArgs({500, 500, 0}), src, 3, 3);
    EXPECT_EQ(adaptive[4], (RGBA32{175, 175, 175, 150}));  // alpha: 50; 150; 300; 450; 600 -> 150
    for (size_t i : {0u, 1u, 3u, 5u, 8u}) EXPECT_EQ(adaptive[i], g);
}

}  // namespace
}  // namespace calv::test
