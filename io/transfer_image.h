// The transfer image and what the host does with it.
#pragma once
#include <cstdint>

#include "engine/engine.h"

namespace calv {

// Replaces the transfer image by an unset width x height one. Throws std::bad_alloc (the
// image is then gone, its size still recorded).
RGBA32* CreateNewRGBA(Engine& engine, int32_t width, int32_t height);
void DeleteNewRGBA(Engine& engine);
bool IsNewRGBATransparent(const Engine& engine);
// Lays it into the current layer at (0, 0) through the mask and texture.
void SetInNewRGBA(Engine& engine);
void GetNewRGBA32(const Engine& engine, uint8_t* dst);
void GetNewRGBA24(const Engine& engine, uint8_t* dst);
// Scaled to width x height, as R, G, B. Throws std::bad_alloc.
void GetResizedNewRGBA24(const Engine& engine, uint8_t* dst, int32_t width, int32_t height);

}  // namespace calv
