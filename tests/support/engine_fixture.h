// A fresh engine for every test, driven through the C API as a host drives it.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "api/calvcore.h"
#include "engine/alloc.h"
#include "engine/engine.h"

namespace calv::test {

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override {
        CVX_DeleteImage();
        reset();
    }
    static void reset() {
        failBlocksForTesting(0, 0);
        globalEngine() = Engine{};
    }
    static Engine& engine() { return globalEngine(); }

    // A canvas with the white background in slot 1 and, if asked, a transparent slot 2
    // selected as the current layer.
    static void makeCanvas(int32_t w, int32_t h, bool withLayer2 = true) {
        CVX_CreateImage(nullptr, w, h, 16, 0);
        ASSERT_EQ(CVX_CreateLayer(1, w, h), 1);
        CVX_SetLayerOptions(1, 1, 0, 100, "Normal");
        if (withLayer2) {
            ASSERT_EQ(CVX_CreateLayer(2, w, h), 1);
            CVX_SetLayerOptions(2, 1, 0, 100, "Normal");
            CVX_SetLayer(2);
        }
    }
    static RGBA64 pixel(int32_t slot, int32_t x, int32_t y) { return engine().layers.table[size_t(slot)].pixels.at(x, y); }
    static void setPixel(int32_t slot, int32_t x, int32_t y, RGBA64 p) {
        engine().layers.table[size_t(slot)].pixels.at(x, y) = p;
    }
    static void fillMask(uint16_t m) { engine().mask.plane.fill(m); }
};

}  // namespace calv::test

namespace calv {
inline std::ostream& operator<<(std::ostream& os, const RGBA64& p) {
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}
}  // namespace calv
