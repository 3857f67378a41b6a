#include <vector>

#include "engine/row_codec.h"
#include "support/engine_fixture.h"

namespace calv::test {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(RowCodec, ColourRunsJoinEqualHighBytesUpTo255) {
    struct Case {
        const char* what;
        std::vector<RGBA64> pixels;
        Bytes stream;
    } cases[] = {
        {"one pixel", {{0x1234, 0xFF00, 0, 0x80FF}}, {1, 0x12, 0xFF, 0, 0x80}},
        {"low bytes ignored", {{0x1234, 0, 0, 0}, {0x12FF, 0x00FF, 0, 0}}, {2, 0x12, 0, 0, 0}},
        {"alpha splits", {{0, 0, 0, 0x0100}, {0, 0, 0, 0x0200}, {0, 0, 0, 0x0200}}, {1, 0, 0, 0, 1, 2, 0, 0, 0, 2}},
        {"600 white", std::vector<RGBA64>(600, RGBA64{65535, 65535, 65535, 65535}),
         {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 90, 255, 255, 255, 255}},
    };
    for (const Case& c : cases) {
        Bytes out(c.pixels.size() * 5 + 5, 0xEE);
        const std::size_t n = EncodeColourRuns(c.pixels.data(), int32_t(c.pixels.size()), out.data());
        EXPECT_EQ(Bytes(out.begin(), out.begin() + long(n)), c.stream) << c.what;
        EXPECT_EQ(out[n], 0xEE) << c.what;  // nothing past the stream
    }
}

TEST(RowCodec, MaskRunsAndShortCounts) {
    const std::vector<G16> mask = {65535, 65535, 0x00FF, 0x0000, 0x8000};
    Bytes out(16, 0xEE);
    EXPECT_EQ(CVX_RLECompressG16ToG8(mask.data(), out.data(), 5), 6);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 6), (Bytes{2, 255, 2, 0, 1, 128}));
    // Below two pixels one run of the first pixel is written, even for a count of 0.
    EXPECT_EQ(CVX_RLECompressG16ToG8(mask.data(), out.data(), 1), 2);
    EXPECT_EQ(CVX_RLECompressG16ToG8(mask.data(), out.data(), 0), 2);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 2), (Bytes{1, 255}));
    EXPECT_EQ(CVX_RLECompressG16ToG8(nullptr, out.data(), 5), 0);
    EXPECT_EQ(CVX_RLECompressRGBA64ToRGBA32(&std::vector<uint16_t>(8).front(), nullptr, 2), 0);
}

TEST(RowCodec, DecodingWidensAndCutsTheLastRun) {
    const Bytes colour = {3, 10, 20, 30, 40, 9, 1, 2, 3, 4};
    std::vector<RGBA64> pixels(6, RGBA64{7, 7, 7, 7});
    CVX_RLEUncompressRGBA32ToRGBA64(colour.data(), &pixels[0].r, 5);  // the second run is cut to 2
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pixels[size_t(i)], (RGBA64{2560, 5120, 7680, 10240}));
    EXPECT_EQ(pixels[4], (RGBA64{256, 512, 768, 1024}));
    EXPECT_EQ(pixels[5], (RGBA64{7, 7, 7, 7}));

    const Bytes mask = {0, 9, 2, 255, 1, 0};  // a run of length 0 writes nothing
    std::vector<G16> values(4, 7);
    CVX_RLEUncompressG8ToG16(mask.data(), values.data(), 3);
    EXPECT_EQ(values, (std::vector<G16>{65280, 65280, 0, 7}));
    CVX_RLEUncompressG8ToG16(mask.data(), values.data(), 0);
    CVX_RLEUncompressG8ToG16(nullptr, values.data(), 3);
}

TEST(RowCodec, DecodingStopsAtTheEndOfTheInput) {
    const Bytes truncated = {2, 1, 1, 1, 1, 200, 9, 9};  // the second run is incomplete
    std::vector<RGBA64> pixels(10, RGBA64{7, 7, 7, 7});
    DecodeColourRuns(truncated.data(), truncated.size(), pixels.data(), 10);
    EXPECT_EQ(pixels[1], (RGBA64{256, 256, 256, 256}));
    EXPECT_EQ(pixels[2], (RGBA64{7, 7, 7, 7}));
    const Bytes zeros(64, 0);  // runs of length 0 only: ends with the input
    DecodeMaskRuns(zeros.data(), zeros.size(), &std::vector<G16>(4).front(), 4);
}

using LineCodecTest = EngineTest;

TEST_F(LineCodecTest, PaintedRowsRoundTripThroughTheLineExports) {
    makeCanvas(300, 4);
    for (int x = 0; x < 300; ++x)
        setPixel(2, x, 1, widen(RGBA32{uint8_t(x / 7), uint8_t(x < 150 ? 40 : 200), uint8_t(x * 13), 255}));
    for (int x = 0; x < 300; ++x) engine().mask.plane.at(x, 2) = uint16_t((x / 40) << 12);
    Bytes stream(300 * 5);
    const int32_t n = CVX_GetRGBA32LayerLineRLE(stream.data(), 2, 1);
    ASSERT_GT(n, 0);
    ASSERT_LE(n, 300 * 5);
    ASSERT_EQ(CVX_CreateLayer(3, 300, 4), 1);
    CVX_PutRGBA32LayerLineRLE(stream.data(), 3, 1);
    for (int x = 0; x < 300; ++x) ASSERT_EQ(pixel(3, x, 1), pixel(2, x, 1)) << x;
    EXPECT_EQ(pixel(3, 0, 0), (RGBA64{0, 0, 0, 0}));

    Bytes maskStream(300 * 2);
    EXPECT_EQ(CVX_GetMaskLineRLE(maskStream.data(), 2), 8 * 2);  // 8 runs of 40 or fewer
    CVX_PutMaskLineRLE(maskStream.data(), 0);
    for (int x = 0; x < 300; ++x) ASSERT_EQ(engine().mask.plane.at(x, 0), engine().mask.plane.at(x, 2)) << x;
}

TEST_F(LineCodecTest, OpenMaskRowComesBackAs65280) {
    makeCanvas(10, 2);
    Bytes stream(20);
    EXPECT_EQ(CVX_GetMaskLineRLE(stream.data(), 1), 2);
    CVX_PutMaskLineRLE(stream.data(), 1);
    EXPECT_EQ(engine().mask.plane.at(9, 1), 65280);
}

TEST_F(LineCodecTest, RowsAndSlotsOutsideAreRejected) {
    makeCanvas(8, 3);
    Bytes stream(8 * 5, 0xEE);
    const int32_t rows[] = {-1, 3, INT32_MAX, INT32_MIN};
    for (int32_t row : rows) {
        EXPECT_EQ(CVX_GetRGBA32LayerLineRLE(stream.data(), 2, row), 0) << row;
        EXPECT_EQ(CVX_GetMaskLineRLE(stream.data(), row), 0) << row;
        CVX_PutRGBA32LayerLineRLE(stream.data(), 2, row);
        CVX_PutMaskLineRLE(stream.data(), row);
    }
    EXPECT_EQ(CVX_GetRGBA32LayerLineRLE(stream.data(), 64, 0), 0);
    EXPECT_EQ(CVX_GetRGBA32LayerLineRLE(stream.data(), 9, 0), 0);  // no pixels
    EXPECT_EQ(CVX_GetRGBA32LayerLineRLE(nullptr, 2, 0), 0);
    CVX_PutRGBA32LayerLineRLE(nullptr, 2, 0);
    EXPECT_EQ(stream[0], 0xEE);
    CVX_DeleteImage();
    EXPECT_EQ(CVX_GetMaskLineRLE(stream.data(), 0), 0);  // no mask plane
}

TEST_F(LineCodecTest, LayersSmallerThanTheCanvasEncodeTheirOwnWidth) {
    makeCanvas(4, 4);
    CVX_NewSize(nullptr, 10, 10, 8, 0);
    Bytes stream(10 * 5);
    EXPECT_EQ(CVX_GetRGBA32LayerLineRLE(stream.data(), 2, 3), 5);  // 4 transparent pixels
    EXPECT_EQ(stream[0], 4);
    EXPECT_EQ(CVX_GetRGBA32LayerLineRLE(stream.data(), 2, 4), 0);  // past the layer
}

}  // namespace
}  // namespace calv::test
