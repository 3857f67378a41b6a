#include <random>
#include <vector>

#include "support/engine_fixture.h"

namespace calv::test {
namespace {

// Every layer's pixels and the mask, to compare whole pictures.
struct Picture {
    std::vector<std::vector<RGBA64>> layers;
    std::vector<uint16_t> mask;
    bool operator==(const Picture&) const = default;
};

class UndoTest : public EngineTest {
protected:
    static constexpr int32_t kW = 48, kH = 40;

    void SetUp() override {
        EngineTest::SetUp();
        CVX_SetRandomSeed(7);
        makeCanvas(kW, kH);
        for (int32_t slot = 3; slot <= 4; ++slot) {
            ASSERT_EQ(CVX_CreateLayer(slot, kW, kH), 1);
            CVX_SetLayerOptions(slot, 1, 0, 100, "Normal");
        }
        CVX_SetLayer(2);
        CVX_SetSize(6);
        CVX_SetAlpha(100);
        CVX_SetDensity(256);
        CVX_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
        CVX_SetUndoMB(512);
        CVX_SetUndoLevels(100);
    }

    static Picture picture() {
        Picture p;
        for (int32_t slot = 1; slot <= 4; ++slot) {
            const Plane<RGBA64>& pl = engine().layers.table[size_t(slot)].pixels;
            p.layers.emplace_back(pl.data(), pl.data() + pl.pixelCount());
        }
        const Plane<G16>& m = engine().mask.plane;
        p.mask.assign(m.data(), m.data() + m.pixelCount());
        return p;
    }
    // A stroke of dabs on `slot`, saved as one step.
    static void stroke(int32_t slot, std::vector<std::pair<int32_t, int32_t>> dabs, int32_t grey) {
        CVX_SetLayer(slot);
        for (auto [x, y] : dabs) CVX_DrawDabGrit(x, y, grey, 65280 - grey, grey / 2);
        CVX_SaveUndoBuffer(1, 0);
    }
    static const UndoStep& newest() { return engine().history.steps[0]; }
};

TEST_F(UndoTest, StepCoversTheDabsPlusOneColumnAndRow) {
    // Dabs leave exclusive edges 20 and 30; the step reads them inclusive: 11 x 21 pixels.
    const int32_t before = engine().history.undoMemoryKB;
    engine().history.undoLeft = 10, engine().history.undoTop = 10;
    engine().history.undoRight = 20, engine().history.undoBottom = 30;
    CVX_SaveUndoBuffer(1, 1);
    EXPECT_EQ(newest().left, 10);
    EXPECT_EQ(newest().bottom, 30);
    EXPECT_EQ(newest().colour.bytes(), 1848u);
    EXPECT_EQ(newest().mask.bytes(), 462u);
    EXPECT_EQ(engine().history.undoMemoryKB - before, 1);  // 1848 bytes count 1 KB, 462 count 0
    EXPECT_EQ(engine().history.undoLeft, kW - 1);           // the area is empty again
    EXPECT_EQ(engine().history.undoRight, 0);
}

TEST_F(UndoTest, EmptyOrThinAreaSavesTheWholeCanvas) {
    struct Case {
        int32_t left, top, right, bottom;
    } cases[] = {{kW - 1, kH - 1, 0, 0}, {5, 5, 5, 30}, {5, 5, 30, 5}, {-20, -20, 0, 500}};
    for (const Case& c : cases) {
        engine().history.undoLeft = c.left, engine().history.undoTop = c.top;
        engine().history.undoRight = c.right, engine().history.undoBottom = c.bottom;
        CVX_SaveUndoBuffer(1, 0);
        EXPECT_EQ(newest().colour.width(), kW) << c.left << "," << c.top << "," << c.right;
        EXPECT_EQ(newest().colour.height(), kH);
    }
}

TEST_F(UndoTest, UndoRedoRestoreExactlyAndANewSaveDropsRedo) {
    const Picture p0 = picture();
    stroke(2, {{10, 10}, {14, 12}}, 0x4000);
    const Picture p1 = picture();
    stroke(2, {{30, 20}}, 0x9000);
    const Picture p2 = picture();
    CVX_Undo();
    EXPECT_EQ(picture(), p1);
    EXPECT_EQ(CVX_GetRedoCount(), 1);
    CVX_Undo();
    EXPECT_EQ(picture(), p0);
    EXPECT_EQ(CVX_CanUndo(), 0);
    CVX_Undo();  // nothing left to undo
    EXPECT_EQ(picture(), p0);
    CVX_Redo();
    CVX_Redo();
    EXPECT_EQ(picture(), p2);
    EXPECT_EQ(CVX_CanRedo(), 0);

    CVX_Undo();
    stroke(2, {{5, 30}}, 0xFF00);  // drops the undone step
    EXPECT_EQ(CVX_CanRedo(), 0);
    EXPECT_EQ(CVX_GetUndoCount(), 2);
    CVX_Undo();
    EXPECT_EQ(picture(), p1);
    CVX_Undo();
    EXPECT_EQ(picture(), p0);
}

TEST_F(UndoTest, UndoSelectsTheLayerOfTheStep) {
    stroke(4, {{10, 10}}, 0x1000);
    CVX_SetLayer(2);
    CVX_Undo();
    EXPECT_EQ(CVX_GetLayerNum(), 4);
    EXPECT_EQ(pixel(4, 10, 10).a, 0);
}

TEST_F(UndoTest, UndoOfADeletedLayersStepLeavesOtherLayersAlone) {
    stroke(4, {{10, 10}}, 0x1000);
    CVX_SetLayer(2);
    CVX_DeleteLayer(4);
    const Picture p = picture();
    CVX_Undo();
    EXPECT_EQ(picture(), p);
}

TEST_F(UndoTest, LevelsBoundTheSteps) {
    CVX_SetUndoLevels(3);
    const Picture p0 = picture();
    for (int k = 0; k < 4; ++k) stroke(2, {{8 + 8 * k, 8}}, 0x2000 * k);
    EXPECT_EQ(CVX_GetUndoCount(), 3);
    for (int k = 0; k < 3; ++k) CVX_Undo();
    EXPECT_EQ(CVX_CanUndo(), 0);
    EXPECT_NE(picture(), p0);  // the first stroke's step was dropped
    EXPECT_EQ(CVX_SetUndoLevels(900), 500);
    EXPECT_EQ(CVX_SetUndoLevels(-3), 0);
    stroke(2, {{8, 8}}, 0);
    EXPECT_EQ(CVX_CanUndo(), 0);  // no levels: nothing recorded
}

TEST_F(UndoTest, SmallBudgetKeepsOnlyTheNewestStepAndItUndoesExactly) {
    CVX_CreateImage(nullptr, 1000, 1000, 32, 0);
    ASSERT_EQ(CVX_CreateLayer(2, 1000, 1000), 1);
    CVX_SetLayer(2);
    CVX_SetUndoMB(1);
    CVX_SetUndoLevels(10);
    EXPECT_EQ(CVX_GetTotalUndoMemory(), 1);
    CVX_SetSize(30);
    CVX_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    for (int k = 0; k < 3; ++k) {
        CVX_DrawDabGrit(100 + 200 * k, 100, 0x3000, 0, 0);
        CVX_SaveUndoBuffer(1, 0);
    }
    const std::vector<RGBA64> after(engine().layers.table[2].pixels.data(),
                                    engine().layers.table[2].pixels.data() + 1000 * 1000);
    EXPECT_EQ(CVX_GetUndoCount(), 1);
    EXPECT_EQ(CVX_GetCurrentUndoMemory(), (1000 * 1000 * 10 / 1024 + 31 * 31 * 8 / 1024) / 1024);
    CVX_Undo();
    EXPECT_EQ(pixel(2, 500, 100).a, 0);
    EXPECT_GT(pixel(2, 300, 100).a, 65000);  // the older strokes stay
    CVX_Redo();
    EXPECT_TRUE(std::equal(after.begin(), after.end(), engine().layers.table[2].pixels.data()));
}

TEST_F(UndoTest, AutomaticBudgetHasItsFloor) {
    CVX_SetUndoMB(0);
    EXPECT_TRUE(engine().history.budgetAuto);
    // At least 15 bytes a canvas pixel: (48 x 40 / 1024) x 15 KB.
    EXPECT_GE(engine().history.budgetKB, 15);
    CVX_SetUndoMB(3);
    EXPECT_FALSE(engine().history.budgetAuto);
    EXPECT_EQ(CVX_GetTotalUndoMemory(), 3);
}

TEST_F(UndoTest, PauseMakesSavingUndoAndRedoDoNothing) {
    stroke(2, {{10, 10}}, 0x1000);
    CVX_PauseUndo();
    const Picture p = picture();
    stroke(2, {{30, 30}}, 0x1000);  // painted while paused: not recorded
    const Picture painted = picture();
    EXPECT_EQ(CVX_GetUndoCount(), 1);
    CVX_Undo();
    EXPECT_EQ(picture(), painted);
    CVX_ResumeUndo();
    CVX_SaveUndoBuffer(1, 0);  // the paused work becomes one step (the whole canvas)
    CVX_Undo();
    EXPECT_EQ(picture(), p);
    CVX_PauseUndo();
    CVX_Redo();
    EXPECT_EQ(picture(), p);
}

TEST_F(UndoTest, ClearUndoLeavesNothingToUndo) {
    stroke(2, {{10, 10}}, 0x1000);
    EXPECT_EQ(CVX_CanUndo(), 1);
    EXPECT_NE(CVX_GetColorAtHistory(10, 10), 0u);
    CVX_ClearUndo();
    EXPECT_EQ(CVX_CanUndo(), 0);
    EXPECT_EQ(CVX_GetUndoCount(), 0);
    EXPECT_EQ(CVX_GetColorAtHistory(10, 10), 0u);
    EXPECT_EQ(CVX_GetCurrentUndoMemory(), 0);  // 48 x 40 x 10 bytes is under a megabyte
}

TEST_F(UndoTest, ReduceUndoDropsRedoThenFreesOldestColourStepsFirst) {
    CVX_SaveUndoBuffer(1, 0);  // an empty area: the whole canvas, 48 x 40 x 8 bytes = 15 KB
    engine().history.undoLeft = 0, engine().history.undoTop = 0;
    engine().history.undoRight = 5, engine().history.undoBottom = 5;
    CVX_SaveUndoBuffer(0, 1);  // a step of the mask alone, kept
    for (int k = 0; k < 3; ++k) stroke(2, {{10 + 10 * k, 10}}, 0x1000 * k);  // 7 x 7 pixels: 0 KB each
    CVX_Undo();
    EXPECT_EQ(CVX_ReduceUndo(1), 15);
    EXPECT_EQ(CVX_GetRedoCount(), 0);
    EXPECT_EQ(CVX_GetUndoCount(), 3);  // two strokes and the mask step
    EXPECT_EQ(engine().history.undoMemoryKB, 48 * 40 * 10 / 1024);
    EXPECT_EQ(CVX_ReduceUndo(100), 0);
    EXPECT_EQ(CVX_GetUndoCount(), 1);
    EXPECT_FALSE(engine().history.steps[2].mask.empty());
}

TEST_F(UndoTest, LayerCreationTakesMemoryBackFromTheHistory) {
    CVX_SaveUndoBuffer(1, 0);  // the whole canvas: 15 KB
    stroke(2, {{10, 10}}, 0x1000);
    failBlocksForTesting(0, 1);  // the first try for the layer fails
    EXPECT_EQ(CVX_CreateLayer(5, kW, kH), 1);
    EXPECT_EQ(CVX_GetUndoCount(), 1);  // the oldest step gave its 15 KB back
    EXPECT_EQ(CVX_CanUndo(), 1);
}

TEST_F(UndoTest, FailedSaveReportsAndKeepsLayerAndUnderLayerInStep) {
    stroke(2, {{10, 10}}, 0x1000);
    CVX_SetLayer(2);
    CVX_DrawDabGrit(20, 20, 0x8000, 0, 0);
    const Picture painted = picture();
    CVX_SetLastError("");
    failBlocksForTesting(0, 1000);
    CVX_SaveUndoBuffer(1, 0);
    failBlocksForTesting(0, 0);
    EXPECT_STREQ(CVX_GetLastError(), "SaveUndoBuf Excpt");
    EXPECT_EQ(picture(), painted);
    EXPECT_EQ(engine().history.underLayer.at(20, 20), pixel(2, 20, 20));
    // The next step starts from the picture as it was when the save failed.
    stroke(2, {{30, 30}}, 0x2000);
    CVX_Undo();
    EXPECT_EQ(picture(), painted);
}

TEST_F(UndoTest, RandomEditsUndoAndRedoLikeFullCopies) {
    std::mt19937 rng(12345);
    auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
    std::vector<Picture> states{picture()};  // the model: a full copy after every step
    size_t at = 0;
    auto saved = [&] {
        states.resize(at + 1);
        states.push_back(picture());
        ++at;
    };
    for (int op = 0; op < 120; ++op) {
        switch (pick(0, 6)) {
        case 0:
        case 1: {  // a stroke on one of three layers
            std::vector<std::pair<int32_t, int32_t>> dabs;
            for (int k = pick(1, 4); k > 0; --k) dabs.emplace_back(pick(-3, kW + 2), pick(-3, kH + 2));
            stroke(pick(2, 4), dabs, pick(0, 255) << 8);
            saved();
            break;
        }
        case 6: {  // a mask edit: a few mask-maker dabs
            CVX_SetMaskMakerOn();
            for (int k = pick(1, 3); k > 0; --k) CVX_DrawDabGrit(pick(0, kW), pick(0, kH), pick(0, 255) << 8, 0, 0);
            CVX_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
            CVX_SaveUndoBuffer(0, 1);
            saved();
            break;
        }
        case 2: {  // a mask edit: a picture loaded into the mask
            std::vector<uint8_t> grey(size_t(kW * kH * 3));
            for (auto& g : grey) g = uint8_t(pick(0, 255));
            CVX_LoadMask(grey.data(), kW * 3, pick(1, kW), pick(1, kH));
            CVX_SaveUndoBuffer(0, 1);
            saved();
            break;
        }
        case 3: {  // a whole-layer change with the mask taken from it
            CVX_SetLayer(pick(2, 4));
            Plane<RGBA64>& layer = engine().layers.currentRecord->pixels;
            for (size_t i = 0; i < layer.pixelCount(); ++i)
                layer.data()[i].r = uint16_t(65280 - layer.data()[i].r);
            CVX_CreateMaskFromImage();
            CVX_SaveUndoBuffer(1, 1);
            saved();
            break;
        }
        case 4:
            if (at > 0) --at;
            CVX_Undo();
            break;
        default:
            if (at + 1 < states.size()) ++at;
            CVX_Redo();
            break;
        }
        ASSERT_EQ(picture(), states[at]) << "after operation " << op;
    }
    while (CVX_CanUndo()) CVX_Undo();
    EXPECT_EQ(picture(), states.front());
    while (CVX_CanRedo()) CVX_Redo();
    EXPECT_EQ(picture(), states.back());
}

}  // namespace
}  // namespace calv::test
