// Blend-mode names and ids. Names match exactly (case-sensitive, whole string); id 20 is
// unused.
#pragma once
#include <cstdint>

namespace calv {

constexpr int32_t kBlendNormal = 0;
constexpr int32_t kBlendTexturize3 = 19;
constexpr int32_t kBlendLayerMask = 39;
constexpr int32_t kBlendModeCount = 42;  // ids 0..41

// The id of `name`; a null name or one not in the list gives 0, "Normal".
int32_t blendModeId(const char* name);
// The name of `id`, or null for an id that names no mode.
const char* blendModeName(int32_t id);

}  // namespace calv
