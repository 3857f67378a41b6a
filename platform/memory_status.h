// Memory the system can still give this process.
#pragma once
#include <cstdint>

namespace calv::platform {

// Bytes of physical memory and swap available now, or 0 when the system does not say.
uint64_t availableMemoryBytes();

// Bytes available now, read in one pass: physical memory alone, and with free swap.
// Zeros when the system does not say.
struct MemoryStatus {
    uint64_t physicalBytes = 0;
    uint64_t withSwapBytes = 0;
};
MemoryStatus memoryStatus();

}  // namespace calv::platform
