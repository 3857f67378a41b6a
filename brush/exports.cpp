// Exports of the brush engine.
#include "api/calvcore.h"
#include "brush/texture.h"
#include "engine/engine.h"

using namespace calv;

extern "C" {

uint8_t* CVX_CreateTexture(int32_t slot) { return CreateTexture(globalEngine(), slot); }

void CVX_DeleteTexture(void) { DeleteTexture(globalEngine()); }

}  // extern "C"
