// Exports of the effect work images.
#include "api/calvcore.h"
#include "effects/dispatcher.h"
#include "effects/work_images.h"
#include "engine/engine.h"

using namespace calv;

namespace {
EffectsState& effects() { return globalEngine().effects; }

// Runs an allocation; on failure the image is left empty and `failure` reported.
template <class F>
void allocating(const char* failure, F&& body) {
    Engine& e = globalEngine();
    guarded(e, failure, [&] { body(e); });
}
}  // namespace

extern "C" {

void CVX_IPLAllocSrcBuffer32(void) { allocating("IPLAllocSrcBuffer32 Excpt", AllocSrcBuffer32); }
void CVX_IPLFreeSrcBuffer32(void) { effects().source32.release(); }
void CVX_IPLSetSrcBuffer32(const uint8_t* pixels) { SetBuffer32(effects().source32, pixels); }
int32_t CVX_IPLUpdateSrcBuffer32(void) { return UpdateSrcBuffer32(globalEngine()); }
void CVX_IPLAllocDstBuffer32(void) { allocating("IPLAllocDstBuffer32 Excpt", AllocDstBuffer32); }
void CVX_IPLSetDstBuffer32(const uint8_t* pixels) { SetBuffer32(effects().dest32, pixels); }
void CVX_IPLFreeDstBuffer32(void) { effects().dest32.release(); }
void CVX_IPLAllocSrcBuffer24(void) { allocating("IPLAllocSrcBuffer24 Excpt", AllocSrcBuffer24); }
void CVX_IPLFreeSrcBuffer24(void) { effects().source24.release(); }
void CVX_IPLAllocDstBuffer24(void) { allocating("IPLAllocDstBuffer24 Excpt", AllocDstBuffer24); }
void CVX_IPLFreeDstBuffer24(void) { effects().dest24.release(); }

int32_t CVX_IPLImageProcess(int32_t, const char* effectName, int32_t randomValue, int32_t slider1, int32_t slider2,
                            int32_t slider3, int32_t slider4, int32_t slider5, int32_t slider6, int32_t option1,
                            int32_t option2, int32_t flag1, int32_t flag2, int32_t flag3, int32_t flag4, int32_t flag5,
                            int32_t flag6, int32_t red, int32_t green, int32_t blue, const char* path) {
    Engine& e = globalEngine();
    const EffectParams p{randomValue, {slider1, slider2, slider3, slider4, slider5, slider6}, option1, option2,
                         {flag1, flag2, flag3, flag4, flag5, flag6}, red, green, blue, path};
    return guarded(e, "IPLImageProc Excpt", 0, [&] { return ImageProcess(e, effectName, p) ? 1 : 0; });
}

}  // extern "C"
