// Helpers shared by the exports of every subsystem.
#pragma once
#include <cstdint>

namespace calv {

// Flags from the host are tested on their low byte only.
constexpr bool flagSet(int32_t flag) { return uint8_t(flag) != 0; }
// 8-bit channel arguments are taken by their low byte.
constexpr uint8_t byteArg(int32_t v) { return uint8_t(v); }

}  // namespace calv
