#include "platform/memory_status.h"

#include <cstdio>
#include <cstring>

namespace calv::platform {
namespace {

// Reads the kilobyte figures of MemAvailable and SwapFree from /proc/meminfo.
void meminfoKB(uint64_t& available, uint64_t& swapFree) {
    available = swapFree = 0;
    std::FILE* f = std::fopen("/proc/meminfo", "r");
    if (!f) return;
    char line[256];
    auto field = [&line](const char* key, uint64_t& out) {
        const std::size_t n = std::strlen(key);
        unsigned long long kb = 0;
        if (std::strncmp(line, key, n) == 0 && line[n] == ':' && std::sscanf(line + n + 1, "%llu", &kb) == 1)
            out = kb;
    };
    while (std::fgets(line, sizeof line, f)) {
        field("MemAvailable", available);
        field("SwapFree", swapFree);
    }
    std::fclose(f);
}

}  // namespace

MemoryStatus memoryStatus() {
    uint64_t available = 0, swapFree = 0;
    meminfoKB(available, swapFree);
    return {available * 1024, (available + swapFree) * 1024};
}

uint64_t availableMemoryBytes() { return memoryStatus().withSwapBytes; }

}  // namespace calv::platform
