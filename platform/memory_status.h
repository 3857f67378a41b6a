// Memory the system can still give this process.
#pragma once
#include <cstdint>

namespace calv::platform {

// Bytes of physical memory and swap available now, or 0 when the system does not say.
uint64_t availableMemoryBytes();

// Bytes of physical memory available now (swap not counted), or 0 when the system does
// not say.
uint64_t availablePhysicalBytes();

}  // namespace calv::platform
