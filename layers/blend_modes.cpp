#include "layers/blend_modes.h"

#include <cstring>

namespace calv {
namespace {

// Indexed by id; the empty entry is the unused id 20.
constexpr const char* kNames[kBlendModeCount] = {
    "Normal", "Multiply", "Screen", "Darken", "Lighten", "Difference", "Negation",
    "Exclusion", "Overlay", "Hard Light", "Soft Light", "Dodge", "Burn", "Reflect",
    "Glow", "Add", "Subtract", "Texturize", "Texturize2", "Texturize3", nullptr,
    "Alpha Normal", "Alpha Filter", "Alpha Black Outline", "Alpha Outline Tint 1",
    "Alpha Outline Tint 2", "Alpha Invert", "Alpha Shader", "Alpha Shader Color",
    "Alpha Shader Texture2", "Alpha Highlight Texture2", "Alpha Smooth", "Alpha Smooth Lum",
    "Alpha Smooth Lum2", "Alpha Smooth Lum3", "Alpha Smooth Lum4", "Alpha Smooth Lum5",
    "Alpha Overlay Outline", "Alpha Highlight", "Layer Mask", "Luminance Alpha",
    "Luminance Alpha Invert",
};

}  // namespace

int32_t blendModeId(const char* name) {
    if (!name) return kBlendNormal;
    for (int32_t id = 0; id < kBlendModeCount; ++id) {
        if (kNames[id] && std::strcmp(kNames[id], name) == 0) return id;
    }
    return kBlendNormal;
}

const char* blendModeName(int32_t id) { return id >= 0 && id < kBlendModeCount ? kNames[id] : nullptr; }

}  // namespace calv
