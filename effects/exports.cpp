// Exports of the effect work images.
#include "api/calvcore.h"
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

}  // extern "C"
